// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>

#include "platform/Streams.h"

namespace zelk::lsp {

// The language server of ZelkScript: the protocol's life cycle, the open documents with their
// diagnostics, and the answers to requests. It changes no setting, and reads and writes no file but
// for the compile command (which reads an options file and a source and writes a compiled file):
// every message it handles is answered (or, where the protocol says so, ignored) through send.
class LanguageServer {
 public:
  // Receives each message the server sends, as a JSON body for the caller to frame.
  using Send = std::function<void(const std::string& body)>;

  explicit LanguageServer(Send send);
  ~LanguageServer();
  LanguageServer(const LanguageServer&) = delete;
  LanguageServer& operator=(const LanguageServer&) = delete;

  // Handles one message body of the base protocol.
  void HandleMessage(std::string_view body);
  // Answers a message that could not be cut from the stream (a broken header, a body too
  // large to read) with a parse error that names no request.
  void HandleUnreadable(std::string_view detail);

  // True after the exit notification.
  bool Exited() const;
  // The exit status the protocol asks for: 0 when shutdown came before exit (or before the end of
  // the input), 1 otherwise.
  int ExitStatus() const;

  // Keeps the server's whole state (its phase, the client's options and switches, the open
  // documents, its counters), and returns to it, for a caller that serves many sessions from one
  // state, each as if the server were new at that point (the fuzzers).
  void Checkpoint();
  void Rewind();

 private:
  class Impl;
  std::unique_ptr<Impl> m_impl;
  std::unique_ptr<Impl> m_checkpoint;
};

// Serves the protocol on an input and an output stream (standard input and output) until the exit
// notification, the end of the input or the stop notice; returns the exit status.
int RunLanguageServer(InputStream& in, std::ostream& out);

}  // namespace zelk::lsp

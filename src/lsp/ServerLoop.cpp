// SPDX-License-Identifier: MIT
#include <memory>
#include <ostream>

#include "lsp/LanguageServer.h"
#include "lsp/MessageReader.h"
#include "platform/StopNotice.h"
#include "platform/Streams.h"

namespace zelk::lsp {

int RunLanguageServer(InputStream& in, std::ostream& out) {
  // While the server runs, a client that goes away does not end the process: the failed write
  // ends the server instead.
  const ClosedPipeWritesFail closedPipeWritesFail;
  bool broken = false;
  LanguageServer server([&](const std::string& body) {
    if (broken) return;
    out << FrameMessage(body);
    out.flush();
    broken = !out;
  });
  MessageReader reader;
  MessageReader::Event event;
  constexpr std::size_t kChunk = 1 << 16;
  const std::unique_ptr<char[]> chunk(new char[kChunk]);
  while (!server.Exited() && !broken && StopNotice() == 0) {
    const long long n = in.Read(chunk.get(), kChunk);
    if (n <= 0) break;
    reader.Feed(std::string_view(chunk.get(), static_cast<std::size_t>(n)));
    while (!server.Exited() && reader.Next(event)) {
      if (event.kind == MessageReader::Event::Kind::Message) {
        server.HandleMessage(event.body);
      } else {
        server.HandleUnreadable(event.detail);
      }
    }
  }
  return server.ExitStatus();
}

}  // namespace zelk::lsp

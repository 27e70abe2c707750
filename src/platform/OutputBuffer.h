// SPDX-License-Identifier: MIT
#pragma once

#include <streambuf>
#include <string>

#include "platform/Streams.h"

namespace zelk {

// A buffered output stream buffer on an output stream (standard output) that keeps the reason of
// its first failed write, so that a program can say why its output was lost instead of ending as
// if all was well. After a failure nothing more is written.
class OutputBuffer final : public std::streambuf {
 public:
  explicit OutputBuffer(OutputStream& stream) : m_stream(stream) {
    setp(m_buffer, m_buffer + sizeof m_buffer);
  }
  ~OutputBuffer() override { sync(); }
  OutputBuffer(const OutputBuffer&) = delete;
  OutputBuffer& operator=(const OutputBuffer&) = delete;

  bool Failed() const { return m_failed; }
  // The system's text for the failed write ("" while none failed).
  std::string ErrorText() const { return m_failed ? m_stream.ErrorText() : std::string(); }

 protected:
  int overflow(int_type c) override;
  int sync() override;

 private:
  // Writes out the buffer; false once a write has failed.
  bool Drain();

  OutputStream& m_stream;
  bool m_failed = false;
  char m_buffer[1 << 14];
};

}  // namespace zelk

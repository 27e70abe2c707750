// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <memory>
#include <string>

// The streams of the process: standard input and output, and files or pipes read as a stream.
// Each host implements them (posix/Streams.cpp, windows/Streams.cpp); the core sees only these.
namespace zelk {

// What Read reports besides a count of bytes.
inline constexpr long long READ_END = 0;
inline constexpr long long READ_FAILED = -1;
// The stop notice came (see StopNotice.h) while the reader waited.
inline constexpr long long READ_STOPPED = -2;

// A stream of bytes to read: a file, a pipe, a terminal or console. Reads block until some bytes
// are there, the input ends or, on a stream that watches for it, the stop notice comes.
class InputStream {
 public:
  virtual ~InputStream() = default;
  // Up to size bytes; the count, READ_END, READ_FAILED or READ_STOPPED.
  virtual long long Read(char* buffer, std::size_t size) = 0;
};

// A stream of bytes to write.
class OutputStream {
 public:
  virtual ~OutputStream() = default;
  // Writes all size bytes; false when that fails (ErrorText says why).
  virtual bool Write(const char* data, std::size_t size) = 0;
  // The system's text for the first failed write.
  virtual std::string ErrorText() const = 0;
};

// Standard input, watching for the stop notice. Bytes arrive as they are sent (no translation of
// line ends); from a console, what is typed arrives in UTF-8.
std::unique_ptr<InputStream> StandardInput();

// Standard output. Bytes go out as they are given (UTF-8 text, no translation of line ends); to a
// console, the text is shown with its characters whatever the console's code page.
std::unique_ptr<OutputStream> StandardOutput();
// Standard error, as standard output.
std::unique_ptr<OutputStream> StandardError();

// A file or a pipe named by a host path, read as a stream that watches for the stop notice;
// nullptr with the system's text for the error in reason (a directory is refused: "Is a
// directory").
std::unique_ptr<InputStream> OpenInputStream(const std::string& hostPath, std::string& reason);

// While one lives, a write to a pipe whose reader has gone fails (the writer then ends the normal
// way) instead of ending the process.
class ClosedPipeWritesFail {
 public:
  ClosedPipeWritesFail();
  ~ClosedPipeWritesFail();
  ClosedPipeWritesFail(const ClosedPipeWritesFail&) = delete;
  ClosedPipeWritesFail& operator=(const ClosedPipeWritesFail&) = delete;

 private:
  void (*m_previous)(int) = nullptr;
};

}  // namespace zelk

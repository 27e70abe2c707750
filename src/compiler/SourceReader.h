#pragma once

#include <memory>

#include "platform/FileSystem.h"

namespace zelk {

// Reads a source file line by line into a 256-byte statement buffer, in large blocks, with the
// result of reading it one byte at a time: a line feed ends a line; a tab is stored as a space;
// every other byte (carriage return and NUL included) is stored while the line holds fewer than
// 255 characters, and the rest of a longer line is dropped; a last line without a line feed is
// not a line.
class SourceReader {
 public:
  enum class Result { Line, End, Error };

  explicit SourceReader(InputFile& file);

  // Reads the next line into statement (terminated); length is the number of characters stored.
  Result Next(char* statement, int& length);

 private:
  bool Refill();

  InputFile& m_file;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_pos = 0;
  std::size_t m_end = 0;
  bool m_failed = false;
};

}  // namespace zelk

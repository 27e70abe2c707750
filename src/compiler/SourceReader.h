// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string_view>

#include "platform/FileSystem.h"

namespace zelk {

// Reads a source file line by line, in large blocks, with the result of reading it one byte at a
// time: a line feed ends a line; a tab is read as a space; every other byte (carriage return and
// NUL included) is kept while the line holds fewer than 255 characters, and the rest of a longer
// line is dropped; a last line without a line feed is not a line.
class SourceReader {
 public:
  enum class Result { Line, End, Error };

  explicit SourceReader(InputFile& file);

  // Reads the next line; line views the reader's own buffer until the next call.
  Result Next(std::string_view& line);

 private:
  bool Refill();

  InputFile& m_file;
  std::unique_ptr<char[]> m_buffer;
  std::size_t m_capacity;
  std::size_t m_pos = 0;
  std::size_t m_end = 0;
  bool m_failed = false;
  char m_line[256] = {};
};

// A source line as it is compiled: the text before a NUL, without a "//" comment (outside double
// quotes) and without the trailing blanks, control characters and bytes from 128 up.
std::string_view CleanLine(std::string_view line);

}  // namespace zelk

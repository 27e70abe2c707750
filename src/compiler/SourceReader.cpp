// SPDX-License-Identifier: MIT
#include "compiler/SourceReader.h"

#include <algorithm>
#include <cstring>

namespace zelk {
namespace {

// Blocks start small, since most sources are small (and the compile opens its source three
// times), and grow to the large block while the reads fill them whole.
constexpr std::size_t kFirstBlock = 1 << 10;
constexpr std::size_t kLargestBlock = 1 << 16;
constexpr std::size_t kMaxLine = 255;

// Every tab of a block becomes a space as the block is read (memchr passes over the many bytes
// between tabs quickly).
void TabsToSpaces(char* bytes, std::size_t size) {
  char* const end = bytes + size;
  for (char* tab = bytes; (tab = static_cast<char*>(std::memchr(tab, '\t', end - tab)));) {
    *tab++ = ' ';
  }
}

}  // namespace

SourceReader::SourceReader(InputFile& file)
    : m_file(file), m_buffer(std::make_unique_for_overwrite<char[]>(kFirstBlock)),
      m_capacity(kFirstBlock) {}

bool SourceReader::Refill() {
  if (m_failed) return false;
  if (m_end == m_capacity && m_capacity < kLargestBlock) {
    m_capacity *= 2;
    m_buffer = std::make_unique_for_overwrite<char[]>(m_capacity);
  }
  const long long n = m_file.Read(m_buffer.get(), m_capacity);
  if (n < 0) m_failed = true;
  m_pos = 0;
  m_end = n > 0 ? static_cast<std::size_t>(n) : 0;
  TabsToSpaces(m_buffer.get(), m_end);
  return n > 0;
}

SourceReader::Result SourceReader::Next(std::string_view& line) {
  // Most lines lie whole in the block: the line is a view into it.
  const char* start = m_buffer.get() + m_pos;
  const auto* newline = static_cast<const char*>(std::memchr(start, '\n', m_end - m_pos));
  if (newline != nullptr) {
    const auto length = static_cast<std::size_t>(newline - start);
    m_pos += length + 1;
    line = std::string_view(start, std::min(length, kMaxLine));
    return Result::Line;
  }

  // A line that goes on in the next block is gathered in m_line.
  std::size_t length = 0;
  for (;;) {
    if (m_pos == m_end && !Refill()) {
      line = std::string_view(m_line, length);
      return m_failed ? Result::Error : Result::End;
    }
    start = m_buffer.get() + m_pos;
    const std::size_t available = m_end - m_pos;
    newline = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t segment =
        newline != nullptr ? static_cast<std::size_t>(newline - start) : available;
    const std::size_t taken = std::min(segment, kMaxLine - length);
    std::memcpy(m_line + length, start, taken);
    length += taken;
    if (newline != nullptr) {
      m_pos += segment + 1;
      line = std::string_view(m_line, length);
      return Result::Line;
    }
    m_pos = m_end;
  }
}

std::string_view CleanLine(std::string_view line) {
  line = line.substr(0, std::min(line.find('\0'), kMaxLine));
  // A comment starts at the first "//" that has an even number of double quotes before it.
  std::size_t quotes = 0;
  std::size_t counted = 0;
  for (std::size_t slash = line.find('/');
       slash != std::string_view::npos && slash + 1 < line.size();
       slash = line.find('/', slash + 1)) {
    quotes +=
        static_cast<std::size_t>(std::count(line.begin() + counted, line.begin() + slash, '"'));
    counted = slash;
    if (quotes % 2 == 0 && line[slash + 1] == '/') {
      line = line.substr(0, slash);
      break;
    }
  }
  while (!line.empty() && static_cast<signed char>(line.back()) <= 32) line.remove_suffix(1);
  return line;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/SourceReader.h"

#include <algorithm>
#include <cstring>

namespace zelk {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::size_t kMaxLine = 255;

}  // namespace

SourceReader::SourceReader(InputFile& file)
    : m_file(file), m_buffer(std::make_unique<char[]>(kBufferSize)) {}

bool SourceReader::Refill() {
  if (m_failed) return false;
  const long long n = m_file.Read(m_buffer.get(), kBufferSize);
  if (n < 0) m_failed = true;
  m_pos = 0;
  m_end = n > 0 ? static_cast<std::size_t>(n) : 0;
  return n > 0;
}

SourceReader::Result SourceReader::Next(std::string_view& line) {
  std::size_t length = 0;
  for (;;) {
    if (m_pos == m_end && !Refill()) {
      line = std::string_view(m_line, length);
      return m_failed ? Result::Error : Result::End;
    }
    const char* start = m_buffer.get() + m_pos;
    const std::size_t available = m_end - m_pos;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t segment =
        newline != nullptr ? static_cast<std::size_t>(newline - start) : available;
    const std::size_t taken = std::min(segment, kMaxLine - length);
    char* stored = m_line + length;
    std::memcpy(stored, start, taken);
    std::replace(stored, stored + taken, '\t', ' ');
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
  bool inQuotes = false;
  // Only quotes and slashes matter to the walk.
  for (std::size_t i = line.find_first_of("\"/"); i != std::string_view::npos;
       i = line.find_first_of("\"/", i + 1)) {
    if (line[i] == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && i + 1 < line.size() && line[i + 1] == '/') {
      line = line.substr(0, i);
      break;
    }
  }
  while (!line.empty() && static_cast<signed char>(line.back()) <= 32) line.remove_suffix(1);
  return line;
}

}  // namespace zelk

#include "compiler/SourceReader.h"

#include <cstring>

namespace zelk {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr int kMaxLine = 255;

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

SourceReader::Result SourceReader::Next(char* statement, int& length) {
  length = 0;
  for (;;) {
    if (m_pos == m_end && !Refill()) {
      statement[length] = '\0';
      return m_failed ? Result::Error : Result::End;
    }
    const char* start = m_buffer.get() + m_pos;
    const std::size_t available = m_end - m_pos;
    const auto* newline = static_cast<const char*>(std::memchr(start, '\n', available));
    const std::size_t segment = newline != nullptr ? static_cast<std::size_t>(newline - start)
                                                   : available;
    const std::size_t room = static_cast<std::size_t>(kMaxLine - length);
    const std::size_t taken = segment < room ? segment : room;
    char* stored = statement + length;
    std::memcpy(stored, start, taken);
    for (char* tab = stored; (tab = static_cast<char*>(std::memchr(tab, '\t', taken - static_cast<std::size_t>(tab - stored)))) != nullptr;) {
      *tab = ' ';
    }
    length += static_cast<int>(taken);
    if (newline != nullptr) {
      m_pos += segment + 1;
      statement[length] = '\0';
      return Result::Line;
    }
    m_pos = m_end;
  }
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "platform/InputLines.h"

#include "platform/StopNotice.h"

namespace zelk {

bool InputLines::Fill() {
  char chunk[1 << 16];
  if (StopNotice() != 0) return false;
  const long long n = m_in.Read(chunk, sizeof chunk);
  if (n == READ_STOPPED) m_stopped = true;
  if (n <= 0) return false;
  // What was handed out is dropped, so the buffer holds at most one line and one chunk.
  m_buffer.erase(0, m_pos);
  m_pos = 0;
  m_buffer.append(chunk, static_cast<std::size_t>(n));
  return true;
}

bool InputLines::Next(std::string& line) {
  const auto stopped = [&] { return m_stopped || StopNotice() != 0; };
  for (;;) {
    const std::size_t newline = m_buffer.find('\n', m_pos);
    if (newline != std::string::npos) {
      line.assign(m_buffer, m_pos, newline - m_pos);
      m_pos = newline + 1;
      return !stopped();
    }
    if (!m_end && !Fill()) m_end = true;
    if (m_end) {
      if (m_pos == m_buffer.size() || stopped()) return false;
      line.assign(m_buffer, m_pos);
      m_pos = m_buffer.size();
      return true;
    }
  }
}

bool InputLines::Rest(std::string& bytes) {
  while (!m_end && Fill()) {
  }
  m_end = true;
  bytes.assign(m_buffer, m_pos);
  m_pos = m_buffer.size();
  return !m_stopped && StopNotice() == 0;
}

}  // namespace zelk

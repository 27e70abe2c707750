// SPDX-License-Identifier: MIT
#include "platform/InputLines.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>

#include "platform/StopSignals.h"

namespace zelk {

bool InputLines::Fill() {
  char chunk[1 << 16];
  for (;;) {
    if (StopSignal() != 0) return false;
    pollfd fds[2] = {{m_fd, POLLIN, 0}, {m_stopFd, POLLIN, 0}};
    if (::poll(fds, m_stopFd >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (m_stopFd >= 0 && (fds[1].revents & POLLIN) != 0) return false;
    const ssize_t n = ::read(m_fd, chunk, sizeof chunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) return false;
    // What was handed out is dropped, so the buffer holds at most one line and one chunk.
    m_buffer.erase(0, m_pos);
    m_pos = 0;
    m_buffer.append(chunk, static_cast<std::size_t>(n));
    return true;
  }
}

bool InputLines::Next(std::string& line) {
  for (;;) {
    const std::size_t newline = m_buffer.find('\n', m_pos);
    if (newline != std::string::npos) {
      line.assign(m_buffer, m_pos, newline - m_pos);
      m_pos = newline + 1;
      return StopSignal() == 0;
    }
    if (!m_end && !Fill()) m_end = true;
    if (m_end) {
      if (m_pos == m_buffer.size() || StopSignal() != 0) return false;
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
  return StopSignal() == 0;
}

}  // namespace zelk

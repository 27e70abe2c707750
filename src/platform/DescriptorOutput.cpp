// SPDX-License-Identifier: MIT
#include "platform/DescriptorOutput.h"

#include <unistd.h>

#include <cerrno>

namespace zelk {

bool DescriptorOutput::Drain() {
  const char* data = pbase();
  std::size_t left = static_cast<std::size_t>(pptr() - pbase());
  while (left > 0 && m_error == 0) {
    const ssize_t n = ::write(m_fd, data, left);
    if (n < 0) {
      if (errno != EINTR) m_error = errno;
      continue;
    }
    if (n == 0) {
      m_error = EIO;  // a write that takes nothing would never end
      continue;
    }
    data += n;
    left -= static_cast<std::size_t>(n);
  }
  setp(m_buffer, m_buffer + sizeof m_buffer);
  return m_error == 0;
}

int DescriptorOutput::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int DescriptorOutput::sync() {
  return Drain() ? 0 : -1;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "platform/OutputBuffer.h"

namespace zelk {

bool OutputBuffer::Drain() {
  const std::size_t size = static_cast<std::size_t>(pptr() - pbase());
  if (size > 0 && !m_failed && !m_stream.Write(pbase(), size)) m_failed = true;
  setp(m_buffer, m_buffer + sizeof m_buffer);
  return !m_failed;
}

int OutputBuffer::overflow(int_type c) {
  if (!Drain()) return traits_type::eof();
  if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
  *pptr() = traits_type::to_char_type(c);
  pbump(1);
  return c;
}

int OutputBuffer::sync() { return Drain() ? 0 : -1; }

}  // namespace zelk

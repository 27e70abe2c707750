// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/Streams.h"

namespace zelk::test {

// An input stream that gives the bytes of a string, at most chunk bytes a read (as a pipe gives
// what was written so far), then its end.
class StringInput final : public InputStream {
 public:
  explicit StringInput(std::string bytes, std::size_t chunk = 4096)
      : m_bytes(std::move(bytes)), m_chunk(chunk) {}

  long long Read(char* buffer, std::size_t size) override {
    const std::size_t n = std::min({size, m_chunk, m_bytes.size() - m_pos});
    std::memcpy(buffer, m_bytes.data() + m_pos, n);
    m_pos += n;
    return static_cast<long long>(n);
  }

 private:
  std::string m_bytes;
  std::size_t m_chunk;
  std::size_t m_pos = 0;
};

}  // namespace zelk::test

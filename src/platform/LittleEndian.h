// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstring>

// File formats are little-endian whatever the host; these read and write 32-bit values in that
// order byte by byte.
namespace zelk {

inline void PutInt32(unsigned char* out, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  out[0] = static_cast<unsigned char>(bits);
  out[1] = static_cast<unsigned char>(bits >> 8);
  out[2] = static_cast<unsigned char>(bits >> 16);
  out[3] = static_cast<unsigned char>(bits >> 24);
}

inline std::int32_t GetInt32(const unsigned char* in) {
  const std::uint32_t bits = std::uint32_t{in[0]} | (std::uint32_t{in[1]} << 8) |
                             (std::uint32_t{in[2]} << 16) | (std::uint32_t{in[3]} << 24);
  return static_cast<std::int32_t>(bits);
}

inline void PutFloat(unsigned char* out, float value) {
  std::uint32_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  PutInt32(out, static_cast<std::int32_t>(bits));
}

inline float GetFloat(const unsigned char* in) {
  const auto bits = static_cast<std::uint32_t>(GetInt32(in));
  float value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

}  // namespace zelk

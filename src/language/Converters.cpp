// SPDX-License-Identifier: MIT
#include "language/Converters.h"

#include <cfloat>
#include <cmath>
#include <limits>

namespace zelk {
namespace {

// Leading "-" or "+"; returns true for "-".
bool TakeSign(std::string_view& token) {
  if (token.empty()) return false;
  if (token[0] == '-') {
    token.remove_prefix(1);
    return true;
  }
  if (token[0] == '+') token.remove_prefix(1);
  return false;
}

// 10^-k for the fraction digits; exact decimal literals keep the sum as close as double allows.
constexpr double kFractionScale[] = {1e0,  1e-1,  1e-2,  1e-3,  1e-4,  1e-5,  1e-6,  1e-7,
                                     1e-8, 1e-9,  1e-10, 1e-11, 1e-12, 1e-13, 1e-14, 1e-15,
                                     1e-16, 1e-17, 1e-18, 1e-19, 1e-20, 1e-21, 1e-22};

}  // namespace

std::int32_t TextToInt(std::string_view token) {
  const bool negative = TakeSign(token);
  std::uint32_t value = 0;
  for (const char c : token) {
    value = value * 10u + static_cast<std::uint32_t>(static_cast<unsigned char>(c) - '0');
  }
  if (negative) value = 0u - value;
  return static_cast<std::int32_t>(value);
}

double TextToReal(std::string_view token) {
  const bool negative = TakeSign(token);
  double value = 0.0;
  std::size_t i = 0;
  for (; i < token.size() && token[i] != '.'; ++i) value = value * 10.0 + (token[i] - '0');
  if (i < token.size()) {
    ++i;  // the point
    for (std::size_t k = 1; i < token.size(); ++i, ++k) {
      const double scale = k < std::size(kFractionScale) ? kFractionScale[k]
                                                          : std::pow(10.0, -static_cast<double>(k));
      value += (token[i] - '0') * scale;
    }
  }
  return negative ? -value : value;
}

float ToFloat(double value) {
  // Halfway between FLT_MAX and the next power of two: from there on, round-to-nearest gives
  // infinity. The conversion itself is only defined inside the float range.
  constexpr double kOverflow = 340282356779733661637539395458142568448.0;  // 2^128 - 2^103
  if (std::isnan(value)) return std::numeric_limits<float>::quiet_NaN();
  if (value >= kOverflow) return std::numeric_limits<float>::infinity();
  if (value <= -kOverflow) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(value);
}

std::size_t ExpandNewlines(std::string_view token, char* out, std::size_t capacity) {
  std::size_t length = 0;
  for (std::size_t in = 0; in < token.size() && length < capacity; ++in) {
    if (token[in] == '\\' && in + 1 < token.size() && token[in + 1] == 'n') {
      out[length++] = '\n';
      ++in;
    } else {
      out[length++] = token[in];
    }
  }
  return length;
}

std::string ExpandNewlines(std::string_view token) {
  std::string text(token.size(), '\0');
  text.resize(ExpandNewlines(token, text.data(), text.size()));
  return text;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

// Optional sign and decimal digits; values beyond 32 bits wrap around modulo 2^32.
std::int32_t TextToInt(std::string_view token);

// Optional sign, digits, optional "." and fraction digits, in double precision. An empty token or
// a lone sign gives 0.
double TextToReal(std::string_view token);

// A real as it is stored: a 32-bit float, rounded to nearest; values beyond the float range
// become infinities (never undefined behaviour).
float ToFloat(double value);

// The token with each backslash that is directly followed by "n" replaced, together with the
// "n", by one newline character. Every other character stays.
std::string ExpandNewlines(std::string_view token);
// The same, written into out (at most capacity characters, no terminator); returns the length.
std::size_t ExpandNewlines(std::string_view token, char* out, std::size_t capacity);

}  // namespace zelk

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

// Replaces each backslash that is directly followed by "n", together with the "n", by one
// newline character. Every other character stays.
void ExpandNewlines(std::string& token);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "language/Converters.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace zelk {
namespace {

TEST(Converters, TextToIntReadsSignsAndWrapsAroundBeyond32Bits) {
  struct Case {
    const char* token;
    std::int32_t value;
  };
  const Case cases[] = {
      {"42", 42},
      {"-7", -7},
      {"+5", 5},
      {"0", 0},
      {"-0", 0},
      {"", 0},
      {"2147483647", 2147483647},
      {"2147483648", std::numeric_limits<std::int32_t>::min()},
      {"-2147483648", std::numeric_limits<std::int32_t>::min()},
      {"4294967296", 0},
      {"4294967297", 1},
      {"99999999999999999999", static_cast<std::int32_t>(0x630FFFFFu)},
  };
  for (const Case& c : cases) EXPECT_EQ(TextToInt(c.token), c.value) << c.token;
}

TEST(Converters, TextToRealReadsDigitsAndFraction) {
  struct Case {
    const char* token;
    double value;
  };
  const Case cases[] = {
      {"1.5", 1.5}, {"-.25", -0.25}, {"", 0.0}, {"-", 0.0}, {"1.", 1.0},
      {".5", 0.5},  {"+2", 2.0},     {"100", 100.0}, {"0.125", 0.125},
  };
  for (const Case& c : cases) EXPECT_DOUBLE_EQ(TextToReal(c.token), c.value) << c.token;
  EXPECT_TRUE(std::signbit(TextToReal("-0")));
  EXPECT_FLOAT_EQ(ToFloat(TextToReal("0.8")), 0.8f);
  EXPECT_FLOAT_EQ(ToFloat(TextToReal("3.14159265358979323846264338327950288")), 3.14159265f);
}

TEST(Converters, ToFloatRoundsAtTheTopOfTheRangeInsteadOfOverflowing) {
  const float max = std::numeric_limits<float>::max();
  EXPECT_EQ(ToFloat(TextToReal("340282350000000000000000000000000000000")), max);
  EXPECT_EQ(ToFloat(340282356779733661637539395458142568447.0 - 1e23), max);
  EXPECT_TRUE(std::isinf(ToFloat(340282356779733661637539395458142568448.0)));
  EXPECT_TRUE(std::isinf(ToFloat(TextToReal("340282360000000000000000000000000000000"))));
  EXPECT_TRUE(std::isinf(ToFloat(TextToReal(std::string(250, '9')))));
  EXPECT_EQ(ToFloat(-1e300), -std::numeric_limits<float>::infinity());
  EXPECT_EQ(ToFloat(TextToReal("0." + std::string(60, '0') + "1")), 0.0f);
}

TEST(Converters, ExpandNewlinesReplacesOnlyBackslashN) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"a\\nb", "a\nb"},      {"\\n", "\n"},          {"\\", "\\"},
      {"c:\\new\\", "c:\n" "ew\\"}, {"\\\\n", "\\\n"}, {"\\t\\x", "\\t\\x"},
      {"", ""},               {"n\\", "n\\"},         {"\\n\\n", "\n\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ExpandNewlines(c.in), c.out) << c.in;
    // Into a field that holds fewer characters: the first ones of the same result.
    char field[4] = {};
    const std::size_t length = ExpandNewlines(c.in, field, 3);
    EXPECT_EQ(std::string(field, length), c.out.substr(0, 3)) << c.in;
  }
}

}  // namespace
}  // namespace zelk

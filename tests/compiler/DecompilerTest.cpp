// SPDX-License-Identifier: MIT
#include "compiler/Decompiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "language/CommandTable.h"
#include "language/Converters.h"
#include "compiler/CompileTestSupport.h"
#include "support/SourceGenerator.h"

namespace zelk::test {
namespace {

class Decompiler : public CompileFixture {
 protected:
  // Compiles source, decompiles the result, compiles that again; both files must be equal.
  void ExpectRoundTrip(const std::string& source) {
    Compile(source, "a");
    ASSERT_EQ(failedCompiles, 0) << source;
    const std::string first = Compiled("a");
    std::string decompiled;
    std::string reason;
    ASSERT_TRUE(DecompileScript(reinterpret_cast<const unsigned char*>(first.data()),
                                first.size(), decompiled, reason))
        << reason << "\n" << source;
    Compile(decompiled, "b");
    ASSERT_EQ(failedCompiles, 0) << decompiled;
    EXPECT_EQ(Compiled("b"), first) << "source:\n" << source << "decompiled:\n" << decompiled;
  }

  std::string Refusal(const std::string& bytes) {
    std::string source;
    std::string reason;
    EXPECT_FALSE(DecompileScript(reinterpret_cast<const unsigned char*>(bytes.data()),
                                 bytes.size(), source, reason));
    return reason;
  }
};

TEST_F(Decompiler, WritesLabelsWordsAndStrings) {
  Compile("label@top;\nsay(\"misc/hi\\n.wav\", 1.0, attn_norm);\nwait(2.5);\n"
          "on_use(.client, top);\nuse(door, .self);\ngoto(top);\n", "a");
  const std::string file = Compiled("a");
  std::string source;
  std::string reason;
  ASSERT_TRUE(DecompileScript(reinterpret_cast<const unsigned char*>(file.data()), file.size(),
                              source, reason));
  EXPECT_EQ(source,
            "label@l0;\n"
            "say(\"misc/hi\\n.wav\", 1, attn_norm);\n"
            "wait(2.5);\n"
            "on_use(.client, l0);\n"
            "use(door, .self);\n"
            "goto(l0);\n");
}

TEST_F(Decompiler, RefusesFilesNoCompileCanHaveWritten) {
  Compile("wait(1);\nhide(\"x\");\n", "a");
  const std::string good = Compiled("a");
  auto with = [&](std::size_t offset, const std::string& bytes) {
    std::string changed = good;
    changed.replace(offset, bytes.size(), bytes);
    return changed;
  };
  EXPECT_NE(Refusal(good.substr(0, 7)).find("shorter than the 8-byte header"), std::string::npos);
  EXPECT_NE(Refusal(good + "x").find("does not match"), std::string::npos);
  EXPECT_NE(Refusal(with(0, std::string("\0\0\0\0", 4))).find("does not match"),
            std::string::npos);
  EXPECT_NE(Refusal(with(8, std::string("\x3E\0\0\0", 4))).find("unknown command code 62"),
            std::string::npos);
  EXPECT_NE(Refusal(with(8, std::string("\x05\0\0\0", 4))).find("never stored"), std::string::npos);
  EXPECT_NE(Refusal(with(8 + 544 + 20, std::string(256, 'x'))).find("zero byte"),
            std::string::npos);
  EXPECT_NE(Refusal(with(8 + 544 + 30, "x")).find("zero byte"), std::string::npos);
  EXPECT_NE(Refusal(with(8 + 8, std::string("\x01", 1))).find("record 0"), std::string::npos);
  EXPECT_NE(Refusal(with(4, std::string("\x01", 1))).find("intercept count"), std::string::npos);
  // A goto to record 7 of a 2-record script.
  EXPECT_NE(Refusal(with(8, std::string("\0\0\0\0\x07", 5))).find("label index"),
            std::string::npos);
  // NaN is no real that a source can hold.
  EXPECT_NE(Refusal(with(8 + 12, std::string("\x00\x00\xC0\x7F", 4))).find("record 0"),
            std::string::npos);
}

TEST_F(Decompiler, FormatRealIsShortAndExact) {
  struct Case {
    float value;
    const char* text;
  };
  const Case cases[] = {{0.0f, "0"}, {-0.0f, "-0"}, {1.0f, "1"}, {0.1f, "0.1"},
                        {2.5f, "2.5"}, {-3.75f, "-3.75"}, {1e10f, "10000000000"}};
  for (const Case& c : cases) EXPECT_EQ(FormatReal(c.value), c.text);
  const float hard[] = {std::numeric_limits<float>::max(), std::numeric_limits<float>::min(),
                        std::numeric_limits<float>::denorm_min(), 16777217.0f, 3.4e-30f,
                        std::numeric_limits<float>::infinity(),
                        -std::numeric_limits<float>::infinity(), 0.3f, 1.0f / 3.0f};
  for (const float value : hard) {
    const std::string text = FormatReal(value);
    ASSERT_FALSE(text.empty());
    const float back = ToFloat(TextToReal(text));
    EXPECT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text;
  }
  EXPECT_EQ(FormatReal(std::numeric_limits<float>::quiet_NaN()), "");
}

TEST_F(Decompiler, RandomFloatBitsReadBackExactly) {
  std::mt19937 random(1234);
  for (int i = 0; i < 20000; ++i) {
    std::uint32_t bits = random();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    if (std::isnan(value)) continue;
    const std::string text = FormatReal(value);
    const float back = ToFloat(TextToReal(text));
    ASSERT_EQ(std::memcmp(&back, &value, sizeof value), 0) << text << " bits " << bits;
  }
}

// Compiling, decompiling and compiling again must give the same bytes.
TEST_F(Decompiler, CompileDecompileCompileGivesTheSameBytesForGeneratedSources) {
  for (unsigned seed = 1; seed <= 300; ++seed) {
    SourceGenerator generator(seed);
    ExpectRoundTrip(generator.Source());
    if (HasFatalFailure()) return;
  }
}

TEST_F(Decompiler, RoundTripOfTheExamples) {
  ExpectRoundTrip("label@top;\nattack(.activator, 20);\nattack(grunt, 255);\n"
                  "spawn(soldier, .none, <0, 0, 24>, 1);\naction_target(1, .activator);\n"
                  "on_see(.none, top, 1, 2);\nrotate(<-0, .5, 3.>);\n");
}

}  // namespace
}  // namespace zelk::test

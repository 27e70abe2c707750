#include "compiler/Decompiler.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>

#include "command/CommandTable.h"
#include "command/Converters.h"
#include "compiler/CompileTestSupport.h"

namespace zelk::test {
namespace {

class Decompiler : public CompileFixture {
 protected:
  // Compiles source, decompiles the result, compiles that again; both files must be equal.
  void ExpectRoundTrip(const std::string& source) {
    Compile(source, "a");
    ASSERT_EQ(view.m_failedCompiles, 0) << source;
    const std::string first = Compiled("a");
    std::string decompiled;
    std::string reason;
    ASSERT_TRUE(DecompileScript(reinterpret_cast<const unsigned char*>(first.data()),
                                first.size(), decompiled, reason))
        << reason << "\n" << source;
    Compile(decompiled, "b");
    ASSERT_EQ(view.m_failedCompiles, 0) << decompiled;
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

// Random sources of every statement kind, with lines under 200 characters: compiling,
// decompiling and compiling again must give the same bytes.
class SourceGenerator {
 public:
  explicit SourceGenerator(unsigned seed) : m_random(seed) {}

  std::string Source() {
    const int labels = Pick(0, 6);
    std::vector<std::string> names;
    for (int i = 0; i < labels; ++i) names.push_back(Word());
    std::string source;
    const int statements = Pick(0, 30);
    for (int i = 0; i < statements; ++i) {
      if (!names.empty() && Pick(0, 4) == 0) source += "label@" + Any(names) + ";\n";
      if (Pick(0, 10) == 0) source += "// a comment\n";
      if (Pick(0, 15) == 0) source += "\n";
      source += Statement(names) + (Pick(0, 8) == 0 ? " // note\n" : "\n");
    }
    for (const std::string& name : names) source += "label@" + name + ";\n";
    return source;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
  template <typename T>
  const T& Any(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
  }

  std::string Word() {
    static const std::string kChars = "abcdefghijklmnopqrstuvwxyz0123456789-_.";
    std::string word;
    const int length = Pick(1, 12);
    for (int i = 0; i < length; ++i) word += kChars[static_cast<std::size_t>(Pick(0, 38))];
    return word;
  }
  std::string Target() {
    static const std::vector<std::string> kPseudo = {".self", ".activator", ".client", ".none"};
    return Pick(0, 3) == 0 ? Any(kPseudo) : Word();
  }
  std::string Quoted() {
    std::string text;
    const int length = Pick(0, 20);
    for (int i = 0; i < length; ++i) {
      const int kind = Pick(0, 12);
      if (kind == 0) {
        text += "\\n";
      } else if (kind == 1) {
        text += '\\';
      } else if (kind == 2) {
        text += static_cast<char>(Pick(0xA0, 0xFF));
      } else if (kind == 3) {
        text += "//";
      } else {
        text += static_cast<char>(Pick(32, 126));
      }
    }
    std::string clean;
    for (const char c : text) {
      if (c != '"') clean += c;
    }
    return "\"" + clean + "\"";
  }
  std::string Integer() {
    const int kind = Pick(0, 3);
    if (kind == 0) return std::to_string(Pick(-5, 300));
    if (kind == 1) return std::to_string(static_cast<std::int32_t>(m_random()));
    if (kind == 2) return "+" + std::to_string(Pick(0, 99));
    return std::string(Pick(11, 14), '9');  // wraps around
  }
  std::string Real() {
    const int kind = Pick(0, 5);
    if (kind == 0) return std::to_string(Pick(-100, 100));
    if (kind == 1) return "." + std::to_string(Pick(0, 999));
    if (kind == 2) return std::to_string(Pick(0, 99)) + "." + std::to_string(Pick(0, 99999));
    if (kind == 3) return "-0";
    if (kind == 4) return Pick(0, 1) == 0 ? "" : "-";
    return std::to_string(Pick(0, 9)) + "." + std::string(Pick(5, 30), '3');
  }

  std::string Argument(unsigned char kind, const std::string& word,
                       const std::vector<std::string>& labels, int position) {
    const bool labelArg =
        ((word == "goto" || word == "start") && position == 0) ||
        ((word.rfind("on_", 0) == 0) && position == 1);
    if (labelArg) {
      if (word == "on_use" && Pick(0, 4) == 0) return ".none";
      return labels.empty() ? "" : Any(labels);
    }
    if (word == "say" && position == 2) {
      static const std::vector<std::string> kAttn = {"attn_none", "attn_norm", "attn_idle",
                                                     "attn_static"};
      return Any(kAttn);
    }
    switch (kind) {
      case ARG_INTEGER:
        return Integer();
      case ARG_REAL:
        return Real();
      case ARG_STRING:
        return Quoted();
      case ARG_VECTOR:
        return "<" + Real() + ", " + Real() + "," + Real() + " >";
      default:
        return Target();
    }
  }

  std::string Statement(const std::vector<std::string>& labels) {
    for (;;) {
      const int index = Pick(0, COMMAND_COUNT - 1);
      const CommandEntry& entry = Commands()[index];
      if (entry.category != CATEGORY_STATEMENT) continue;
      const std::string word = entry.name;
      std::string line = word;
      if (entry.openDelim != 0) line += Pick(0, 3) == 0 ? " ( " : "(";
      bool ok = true;
      for (int k = 0; entry.argKinds[k] != 0; ++k) {
        const std::string arg = Argument(entry.argKinds[k], word, labels, k);
        if (arg.empty() && entry.argKinds[k] == ARG_WORD) ok = false;
        line += (k > 0 ? (Pick(0, 1) == 0 ? ", " : ",") : "") + arg;
      }
      if (!ok) continue;
      if (entry.closeDelim != 0) line += entry.closeDelim;
      if (entry.openDelim != 0) line += Pick(0, 3) == 0 ? " ;" : ";";
      if (line.size() >= 200) continue;
      return line;
    }
  }

  std::mt19937 m_random;
};

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

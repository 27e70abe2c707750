// SPDX-License-Identifier: MIT
#include "compiler/SourceFormat.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <random>

#include "compiler/CompileTestSupport.h"
#include "support/SourceGenerator.h"

namespace zelk::test {
namespace {

TEST(SourceFormat, LinesInTheDecompilersSpacing) {
  const std::string wide = "say(\"" + std::string(235, 'x') + "\",1,attn_norm);";
  const std::string cut = "map    base1   " + std::string(250, '\xFF') + " b1 eas/l\";";
  const struct {
    std::string line;
    std::string formatted;
  } cases[] = {
      {"say ( \"a  b\" ,1,attn_norm ) ;  // x", "say(\"a  b\", 1, attn_norm);  // x"},
      {"\t label @ top ;junk", "label@top;junk"},
      {"rotate( [ 0,+1. , -.5 > ) ;", "rotate([0, +1., -.5>);"},
      {"spawn(a,b,< , ,>,007);", "spawn(a, b, <, , >, 007);"},
      {"say(\"a\tb\" ,\t1, attn_norm);", "say(\"a\tb\", 1, attn_norm);"},
      {"wait( );", "wait();"},
      {"sv_load_dir   =\"/tmp\";", "sv_load_dir = \"/tmp\";"},
      {"map    base1   // x", "map base1   // x"},
      {"sv_color+3", "sv_color +3"},
      {"return ;", "return;"},
      {"  stand", "stand"},
      {"stand", "stand"},
      {"Goto ( start );", "Goto ( start );"},
      {"wait (1)", "wait (1)"},
      {"say(\"unclosed , 1", "say(\"unclosed , 1"},
      {"// say ( \"x\" );", "// say ( \"x\" );"},
      {"   ", "   "},
      {wide, wide},  // two more blanks would take it past 255 characters
      {cut, cut},    // the compile reads only its first 255 characters
  };
  for (const auto& c : cases) {
    std::string formatted;
    const bool changed = FormatSourceLine(c.line, formatted);
    EXPECT_EQ(changed, c.formatted != c.line) << c.line;
    EXPECT_EQ(changed ? formatted : c.line, c.formatted);
  }
  EXPECT_EQ(FormatSource("wait(1) ;\r\n\r\n// c\n\tstand ;\r\ngoto( a);"),
            "wait(1);\r\n\r\n// c\nstand;\r\ngoto(a);");
}

// Blanks and tabs around the punctuation outside strings, and before the statement word.
std::string Respaced(const std::string& source, unsigned seed) {
  std::mt19937 random(seed);
  const char* const blanks[] = {"", " ", "\t", "  "};
  std::string out;
  bool quoted = false;
  bool lineStart = true;
  for (const char c : source) {
    if (lineStart) out += blanks[random() % 4];
    lineStart = c == '\n';
    if (c == '\n') quoted = false;
    if (c == '"') quoted = !quoted;
    const bool mark = !quoted && std::string_view("(,@=)>;<").find(c) != std::string_view::npos;
    if (mark) out += blanks[random() % 4];
    out += c;
    if (mark && c != ';') out += blanks[random() % 4];
  }
  return out;
}

class FormattedSources : public CompileFixture {
 protected:
  // Formatting keeps the compile's bytes and result, and a second formatting changes nothing.
  void ExpectSameCompile(const std::string& source) {
    Compile(source, "a");
    const CompileResult before = last;
    const std::string formatted = FormatSource(source);
    Compile(formatted, "b");
    EXPECT_EQ(Compiled("b"), Compiled("a")) << source << "\nformatted:\n" << formatted;
    EXPECT_EQ(last.status, before.status);
    EXPECT_EQ(last.error.has_value() ? last.error->line : 0,
              before.error.has_value() ? before.error->line : 0);
    EXPECT_EQ(FormatSource(formatted), formatted);
    if (formatted != source) ++changed;
  }
  int changed = 0;
};

TEST_F(FormattedSources, CompileToTheSameBytes) {
  for (const char* name : {"intro.scr", "ambush.scr", "finale.scr"}) {
    std::ifstream file(std::string(ZELK_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    const std::string source((std::istreambuf_iterator<char>(file)), {});
    ASSERT_FALSE(source.empty()) << name;
    ExpectSameCompile(source);
    ExpectSameCompile(Respaced(source, 7));
  }
  for (unsigned seed = 1; seed <= 200; ++seed) {
    SourceGenerator generator(seed);
    const std::string source = seed % 2 == 0 ? generator.Source() : generator.FlowSource();
    ExpectSameCompile(source);
    ExpectSameCompile(Respaced(source, seed));
    if (HasFailure()) return;
  }
  EXPECT_GT(changed, 300);
}

}  // namespace
}  // namespace zelk::test

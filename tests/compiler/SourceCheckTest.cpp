// SPDX-License-Identifier: MIT
// Checking a source in memory: every faulty line with the console's message, the warnings, the
// label sites; and the first error is the one the compile stops at, with the same lines.

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "compiler/CompileTestSupport.h"
#include "compiler/SourceCheck.h"
#include "language/StatementParser.h"

namespace zelk::test {
namespace {

constexpr auto E = SourceFinding::Severity::Error;
constexpr auto W = SourceFinding::Severity::Warning;

// Settings in a source: a compile is refused as the console refuses it; everything else is
// accepted.
std::optional<std::string> CheckSetting(const ParsedStatement& s) {
  if (s.Token(0) == "compile") return std::string(NESTED_COMPILE_TEXT);
  return std::nullopt;
}

std::string Repeat(const std::string& line, int count, bool numbered) {
  std::string text;
  for (int i = 0; i < count; ++i) {
    std::string l = line;
    if (numbered) l.replace(l.find('#'), 1, std::to_string(i));
    text += l + "\n";
  }
  return text;
}

struct Expected {
  SourceFinding::Severity severity;
  int line;
  std::string message;
};

struct Case {
  const char* name;
  std::string source;
  std::vector<Expected> findings;
};

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"clean", "label@start;\nwait(1);\ngoto(start);\n", {}},
      {"empty", "", {}},
      {"label further down", "goto(end); // comment\n\n  \t\nlabel@end;\n", {}},
      {"missing label", "wait(1);\ngoto(nowhere);\n", {{E, 2, "goto: Label nowhere not found!"}}},
      {"no eol", "label@a;\ngoto(a)\n", {{E, 2, "No EOL in current statement. Use semicolon."}}},
      {"capitals", "Goto(start);   \r\n", {{E, 1, "Bad instruction or system data: Goto(start);"}}},
      {"console word", "wait(1);\nstatus\n", {{E, 2, "Bad instruction or system data: status"}}},
      {"usage", "die();\n", {{E, 1, "die(int damage);\n +++ RESERVED +++"}}},
      {"usage of a setting",
       "sv_color abc\n",
       {{E, 1,
         "sv_color <int x>\nWhere x is the color intensity number\n'color' will set intensity "
         "of the green text."}}},
      {"attenuation",
       "say(\"a//b.wav\", 1, loud); // \"quoted\"\n",
       {{E, 1, "unknown attenuation word: use attn_none, attn_norm, attn_idle or attn_static"}}},
      {"on_use label", "on_use(player, gone);\n", {{E, 1, "on_use: Label gone not found!"}}},
      {"intercept label",
       "label@x;\non_see(.client, y, 1, 2);\ngoto(x);\n",
       {{E, 2, "on_see: Label y not found!"}}},
      {"nested compile", "god\ncompile other\n", {{E, 2, NESTED_COMPILE_TEXT}}},
      {"every faulty line, not only the first",
       "goto(a);\nwait(1)\nlabel@a;\ndie();\nfoo\n",
       {{E, 2, "No EOL in current statement. Use semicolon."},
        {E, 4, "die(int damage);\n +++ RESERVED +++"},
        {E, 5, "Bad instruction or system data: foo"}}},
      {"label defined twice",
       "label@a;\nwait(1);\nlabel@a;\ngoto(a);\n",
       {{W, 3, "Label a is defined twice: the one on line 1 is used."}}},
      {"label never used",
       "label@idle;\nlabel@used;\nstart(used);\n",
       {{W, 1, "Label idle is never used: no statement names it."}}},
      {"on_use .none names no label", "label@a;\non_use(player, .none);\non_use(p, a);\n", {}},
      {"last line without a line feed",
       "goto(a);\nlabel@a;\nwait(1);",
       {{W, 3, "This last line has no line feed at its end: the compile ignores it."}}},
      {"long line",
       "wait(1);" + std::string(250, ' ') + "x\n// " + std::string(300, 'c') + "\n",
       {{W, 1, "Line longer than 255 characters: the compile reads only the first 255."}}},
      {"101 labels",
       Repeat("label@l#;", 101, true) + Repeat("goto(l#);", 101, true),
       {{E, 101, "Too many labels: a script holds at most 100."},
        {E, 202, "goto: Label l100 not found!"}}},
      {"101 on_use users",
       "label@a;\n" + Repeat("on_use(u#, a);", 101, true),
       {{E, 102, "Too many on_use users: u100 is the 101st, the limit is 100."}}},
  };
  return cases;
}

TEST(SourceCheck, ReportsEveryFaultyLineWithTheConsoleMessage) {
  for (const Case& c : Cases()) {
    const SourceCheck check = CheckSource(c.source, CheckSetting);
    std::vector<Expected> got;
    for (const SourceFinding& f : check.findings) got.push_back({f.severity, f.line, f.message});
    ASSERT_EQ(got.size(), c.findings.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].severity, c.findings[i].severity) << c.name << " #" << i;
      EXPECT_EQ(got[i].line, c.findings[i].line) << c.name << " #" << i;
      EXPECT_EQ(got[i].message, c.findings[i].message) << c.name << " #" << i;
    }
  }
}

std::vector<std::string> Lines(const std::string& message) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  for (;;) {
    const std::size_t newline = message.find('\n', start);
    lines.push_back(message.substr(start, newline - start));
    if (newline == std::string::npos) return lines;
    start = newline + 1;
  }
}

class SourceCheckAgainstCompile : public CompileFixture {};

// The compile stops at the first error that the check finds, and prints its message there (the
// usage after ">> USAGE <<"; the errors the console announces only by the notice, as batch mode
// reports them).
TEST_F(SourceCheckAgainstCompile, FirstErrorIsWhereTheCompileStops) {
  onSetting = CheckSetting;
  for (const Case& c : Cases()) {
    const std::vector<std::string> printed = Compile(c.source);
    const SourceCheck check = CheckSource(c.source, CheckSetting);
    const SourceFinding* first = nullptr;
    for (const SourceFinding& f : check.findings) {
      if (f.severity == E && first == nullptr) first = &f;
    }
    if (first == nullptr) {
      EXPECT_EQ(last.status, CompileResult::Status::Ok) << c.name;
      continue;
    }
    ASSERT_TRUE(last.error.has_value()) << c.name;
    EXPECT_EQ(last.error->line, first->line) << c.name;
    const auto kind = last.error->kind;
    if (kind == Diagnostic::Kind::BadAttenuation || kind == Diagnostic::Kind::CannotEncode) {
      EXPECT_EQ(last.error->message, first->message) << c.name;
      continue;
    }
    const std::vector<std::string> expected = Lines(first->message);
    ASSERT_GE(printed.size(), expected.size()) << c.name;
    EXPECT_EQ(
        std::vector<std::string>(printed.end() - static_cast<long>(expected.size()), printed.end()),
        expected)
        << c.name;
    if (kind == Diagnostic::Kind::Usage) {
      EXPECT_EQ(printed[printed.size() - expected.size() - 1], ">> USAGE <<") << c.name;
    }
  }
}

TEST(SourceCheck, FindsWhereLabelsAreDefinedAndNamed) {
  const SourceCheck check = CheckSource(
      "  label @ top ;\n\ton_touch(.none, top, 1);\nwait(x);\ngoto( top );\non_use(p, .none);\n",
      {});
  ASSERT_EQ(check.definitions.size(), 1u);
  EXPECT_EQ(check.definitions[0].name, "top");
  EXPECT_EQ(check.definitions[0].line, 1);
  EXPECT_EQ(check.definitions[0].column, 10);
  EXPECT_EQ(check.definitions[0].length, 3);
  ASSERT_EQ(check.references.size(), 2u);
  EXPECT_EQ(check.references[0].line, 2);
  EXPECT_EQ(check.references[0].column, 17);  // the tab counts as one character
  EXPECT_EQ(check.references[1].line, 4);
  EXPECT_EQ(check.references[1].column, 6);
  EXPECT_EQ(check.lineCount, 5);
}

}  // namespace
}  // namespace zelk::test

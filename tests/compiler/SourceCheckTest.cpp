// SPDX-License-Identifier: MIT
// Checking a source in memory: every faulty line with the console's message, the warnings, the
// label sites; and the first error is the one the compile stops at, with the same lines.

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "compiler/CompileTestSupport.h"
#include "compiler/SourceCheck.h"
#include "language/StatementParser.h"
#include "support/SourceGenerator.h"

namespace zelk::test {
namespace {

constexpr auto E = SourceFinding::Severity::Error;
constexpr auto W = SourceFinding::Severity::Warning;
constexpr auto I = SourceFinding::Severity::Information;
constexpr bool UNNECESSARY = true;

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
  int column = 0;
  bool unnecessary = false;
};

// A source and every finding it gives: a finding that is not listed must not be given.
struct Case {
  const char* name;
  std::string source;
  std::vector<Expected> findings;
  SourceEncoding encoding = SourceEncoding::Cp1252;
};

std::string AfterEnd(const char* word, int line) {
  return "Unreachable statement: the script never runs on past the " + std::string(word) +
         " on line " + std::to_string(line) + ". The compile writes it all the same.";
}

std::string UnderDeadLabel(const std::string& label, int line) {
  return "Unreachable statement: nothing leads to label " + label + " on line " +
         std::to_string(line) + ". The compile writes it all the same.";
}

std::string NeverReached(const std::string& label) {
  return "Label " + label +
         " is never reached: no statement names it and nothing runs on into it. The compile "
         "keeps what follows it, but that never runs.";
}

std::string Ignored(const std::string& text) {
  return "The compile ignores the text after the end of this statement: " + text;
}

std::string UnusedLabel(const std::string& label) {
  return "Label " + label +
         " is never used: no statement names it. The compile writes nothing for it.";
}

const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"clean", "label@start;\nwait(1);\ngoto(start);\n", {}},
      {"empty", "", {}},
      {"label further down", "goto(end); // comment\n\n  \t\nlabel@end;\n", {}},
      {"missing label",
       "wait(1);\ngoto(nowhere);\n",
       {{E, 2, "goto: Label nowhere not found!", 5}}},
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
      {"on_use label", "on_use(player, gone);\n", {{E, 1, "on_use: Label gone not found!", 15}}},
      {"intercept label",
       "label@x;\non_see(.client, y, 1, 2);\ngoto(x);\n",
       {{E, 2, "on_see: Label y not found!", 16}}},
      {"nested compile", "god\ncompile other\n", {{E, 2, NESTED_COMPILE_TEXT}}},
      {"every faulty line, not only the first",
       "goto(a);\nwait(1)\nlabel@a;\ndie();\nfoo\n",
       {{E, 2, "No EOL in current statement. Use semicolon."},
        {E, 4, "die(int damage);\n +++ RESERVED +++"},
        {E, 5, "Bad instruction or system data: foo"}}},
      {"label defined twice",
       "label@a;\nwait(1);\nlabel@a;\ngoto(a);\n",
       {{W, 3, "Label a is defined twice: the one on line 1 is used.", 6}}},
      {"label never used",
       "label@idle;\nlabel@used;\nstart(used);\n",
       {{W, 1, UnusedLabel("idle"), 6, UNNECESSARY}}},
      {"on_use .none names no label", "label@a;\non_use(player, .none);\non_use(p, a);\n", {}},
      {"last line without a line feed",
       "goto(a);\nlabel@a;\nwait(1);",
       {{W, 3, "This last line has no line feed at its end: the compile ignores it."}}},
      {"long line",
       "wait(1);" + std::string(250, ' ') + "x\n// " + std::string(300, 'c') + "\n",
       {{W, 1, "Line longer than 255 characters: the compile reads only the first 255.", 255}}},
      {"101 labels",
       Repeat("label@l#;", 101, true) + Repeat("start(l#);", 101, true),
       {{E, 101, "Too many labels: a script holds at most 100."},
        {E, 202, "start: Label l100 not found!", 6}}},
      {"101 on_use users",
       "label@a;\n" + Repeat("on_use(u#, a);", 101, true),
       {{E, 102, "Too many on_use users: u100 is the 101st, the limit is 100."}}},

      // The flow.
      {"goto ends the run",
       "label@a;\nwait(1);\ngoto(a);\n  walk(x);\n",
       {{W, 4, AfterEnd("goto", 3), 2, UNNECESSARY}}},
      {"listen and return end the run",
       "on_use(p, h);\nlisten;\nwait(1);\nlabel@h;\nreturn;\nwait(2);\n",
       {{W, 3, AfterEnd("listen", 2), 0, UNNECESSARY},
        {W, 6, AfterEnd("return", 5), 0, UNNECESSARY}}},
      {"stop ends the run; settings and labels are no statements",
       "stop;\ngod\nsv_color 3\nlabel@x;\nwait(1);\nstart(x);\n",
       {{W, 4,
         "Label x is never reached: only statements that never run name it, and nothing "
         "runs on into it. The compile keeps what follows it, but that never runs.",
         6, UNNECESSARY},
        {W, 5,
         "2 unreachable statements, to line 6: nothing leads to label x on line 4. The "
         "compile writes them all the same.",
         0, UNNECESSARY}}},
      {"one warning for each run of statements, which a setting line breaks",
       "stop;\nwait(1);\n// note\n\n  wait(2);\ngod\nwait(3);\n",
       {{W, 2,
         "2 unreachable statements, to line 5: the script never runs on past the stop on line "
         "1. The compile writes them all the same.",
         0, UNNECESSARY},
        {W, 7, AfterEnd("stop", 1), 0, UNNECESSARY}}},
      {"every intercept and start makes its label reachable",
       "on_use(p, a);\non_see(.client, b, 1, 2);\non_pain(.client, c, 1, 2);\n"
       "on_touch(.none, d, 1);\non_block(x, e, 1);\nstart(f);\nstop;\nlabel@a;\nreturn;\n"
       "label@b;\nreturn;\nlabel@c;\nreturn;\nlabel@d;\nreturn;\nlabel@e;\nreturn;\n"
       "label@f;\nstop;\n",
       {}},
      {"a label that nothing reaches",
       "stop;\nlabel@dead;\nlabel@dead2;\nwait(1);\n",
       {{W, 2, NeverReached("dead"), 6, UNNECESSARY},
        {W, 3, NeverReached("dead2"), 6, UNNECESSARY},
        {W, 4, UnderDeadLabel("dead2", 3), 0, UNNECESSARY}}},
      {"the label .none of on_use names no label",
       "on_use(p, .none);\nstop;\nlabel@.none;\nwait(1);\n",
       {{W, 3, NeverReached(".none"), 6, UNNECESSARY},
        {W, 4, UnderDeadLabel(".none", 3), 0, UNNECESSARY}}},
      {"running on into two labels in a row",
       "wait(1);\nlabel@a;\nlabel@b;\ngoto(b);\n",
       {{W, 2, UnusedLabel("a"), 6, UNNECESSARY}}},
      {"a label after a goto is reached only when named",
       "goto(b);\nlabel@a;\nlabel@b;\nwait(1);\n",
       {{W, 2, NeverReached("a"), 6, UNNECESSARY}}},
      {"a second label of a name is reached only by running on",
       "goto(a);\nlabel@a;\nstop;\nlabel@a;\nwait(1);\n",
       {{W, 4, "Label a is defined twice: the one on line 2 is used.", 6},
        {W, 5, UnderDeadLabel("a", 4), 0, UNNECESSARY}}},
      {"a line without its ; counts as the statement it would be",
       "on_use(p, a)\nlisten;\nlabel@a;\nreturn;\n",
       {{E, 1, "No EOL in current statement. Use semicolon."}}},
      {"a branch that cannot be read hides the flow",
       "stop;\ngoto a;\nlabel@a;\nwait(1);\n",
       {{E, 2,
         "goto(string x);\nWhere x is the label name\ngoto statements overwrite the "
         "instruction pointer IP."}}},
      {"a line of no statement hides the flow",
       "stop;\nStop\nlabel@a;\nwait(1);\n",
       {{E, 2, "Bad instruction or system data: Stop"}}},

      // Text that the compile ignores.
      {"text after the end of an entry",
       "walk(a); walk(b);\ngod;\ngod junk\nsv_color 1.5\nlabel@x; y\nwait(1);;  \n"
       "wait(2); // note\nstop junk\n",
       {{W, 1, Ignored("walk(b);"), 9},
        {W, 3, Ignored("junk"), 4},
        {W, 4, Ignored(".5"), 10},
        {W, 5, UnusedLabel("x"), 6, UNNECESSARY},
        {W, 5, Ignored("y"), 9},
        {W, 8, Ignored("junk"), 5}}},

      // Settings that change how a program is started.
      {"settings that start programs",
       "sv_editor = \"vim\";\nsv_params = \"+set developer 1\";\nsv_quake2_dir = \"/q2\";\n"
       "sv_load_dir = \"src\";\nmap base1\n",
       {{I, 1,
         "Compiling this source changes the user's settings: sources are opened with the "
         "editor vim."},
        {I, 2,
         "Compiling this source changes the user's settings: the game is started with the "
         "parameters +set developer 1."},
        {I, 3,
         "Compiling this source changes the user's settings: the game is started from the "
         "directory /q2."}}},

      // Text that the game shows otherwise.
      {"UTF-8 in a file",
       "say(\"\xC3\xA9t\xC3\xA9.wav\", 1, attn_none); // caf\xC3\xA9\n"
       "say(\"caf\xE9\xA9.wav\", 1, attn_none);\nsay(\"\x81\x9D.wav\", 1, attn_none);\n"
       "wait(1); // \x81\n",
       {{W, 1,
         "Text in UTF-8: the game shows \xC3\xA9 here, not the character the editor shows. The "
         "compile copies the bytes as they are; save the source in Windows-1252.",
         5},
        {W, 3,
         "Byte 0x81 has no character in Windows-1252: the compile copies it as it is, and what "
         "the game shows for it is undefined.",
         5}}},
      {"characters of an editor",
       "say(\"caf\xC3\xA9 \xE2\x86\x92 \xE2\x86\x92\", 1, attn_none); // \xE2\x9C\x93\n"
       "wait(1); // \xE2\x9C\x93\n",
       {{W, 1, "Character U+2192 has no place in Windows-1252: the compile writes ? in its place.",
         10}},
       SourceEncoding::Utf8},
  };
  return cases;
}

TEST(SourceCheck, ReportsEveryFaultyLineWithTheConsoleMessage) {
  for (const Case& c : Cases()) {
    const SourceCheck check = CheckSource(c.source, CheckSetting, c.encoding);
    std::vector<Expected> got;
    for (const SourceFinding& f : check.findings) {
      got.push_back({f.severity, f.line, f.message, f.column, f.unnecessary});
    }
    ASSERT_EQ(got.size(), c.findings.size())
        << c.name << ": " << (got.empty() ? "" : got[0].message);
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].severity, c.findings[i].severity) << c.name << " #" << i;
      EXPECT_EQ(got[i].line, c.findings[i].line) << c.name << " #" << i;
      EXPECT_EQ(got[i].message, c.findings[i].message) << c.name << " #" << i;
      EXPECT_EQ(got[i].column, c.findings[i].column) << c.name << " #" << i;
      EXPECT_EQ(got[i].unnecessary, c.findings[i].unnecessary) << c.name << " #" << i;
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

using Kind = SourceFinding::Kind;

// The lines of a source that the flow leaves unused, by the kind of finding: as the check finds
// them, or as the generator marks them.
std::set<std::pair<int, Kind>> FlowFindings(const SourceCheck& check) {
  std::set<std::pair<int, Kind>> found;
  for (const SourceFinding& f : check.findings) {
    if (f.kind == Kind::LabelUnreached || f.kind == Kind::LabelUnused)
      found.insert({f.line, f.kind});
    if (f.kind != Kind::Unreachable) continue;
    // A run of statements: each of its lines.
    for (const FlowStatement& s : check.flow.statements) {
      if (s.line >= f.line && s.line <= f.lastLine) found.insert({s.line, f.kind});
    }
  }
  return found;
}

std::set<std::pair<int, Kind>> MarkedLines(const std::string& source) {
  const std::pair<const char*, Kind> marks[] = {
      {SourceGenerator::NEVER_RUNS, Kind::Unreachable},
      {SourceGenerator::NEVER_REACHED, Kind::LabelUnreached},
      {SourceGenerator::NEVER_USED, Kind::LabelUnused}};
  std::set<std::pair<int, Kind>> marked;
  int number = 0;
  for (const std::string& line : Lines(source)) {
    ++number;
    for (const auto& [mark, kind] : marks) {
      if (line.find(mark) != std::string::npos) marked.insert({number, kind});
    }
  }
  return marked;
}

// No false alarm and no miss: the flow of sources built to be known, and the examples, whose
// every statement runs.
TEST(SourceCheck, FlowFindingsAreThoseOfTheGeneratedSourcesMarks) {
  std::map<Kind, int> marked;
  for (unsigned seed = 1; seed <= 300; ++seed) {
    const std::string source = SourceGenerator(seed).FlowSource();
    const SourceCheck check = CheckSource(source, CheckSetting);
    for (const SourceFinding& f : check.findings) {
      EXPECT_NE(f.severity, E) << "seed " << seed << " line " << f.line << ": " << f.message;
    }
    const auto expected = MarkedLines(source);
    for (const auto& [line, kind] : expected) ++marked[kind];
    EXPECT_EQ(FlowFindings(check), expected) << "seed " << seed << ":\n" << source;
  }
  // The sources hold dead code of every kind.
  EXPECT_GT(marked[Kind::Unreachable], 100);
  EXPECT_GT(marked[Kind::LabelUnreached], 50);
  EXPECT_GT(marked[Kind::LabelUnused], 50);
  for (const char* name : {"intro.scr", "ambush.scr", "finale.scr"}) {
    std::ifstream file(std::string(ZELK_EXAMPLES_DIR) + "/" + name, std::ios::binary);
    const std::string source{std::istreambuf_iterator<char>(file), {}};
    ASSERT_FALSE(source.empty()) << name;
    const SourceCheck check = CheckSource(source, CheckSetting);
    EXPECT_TRUE(FlowFindings(check).empty()) << name;
    EXPECT_TRUE(check.flow.known) << name;
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

// SPDX-License-Identifier: MIT
// `zelk --help` and the manual page describe the same command line.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "ecosystem/EcosystemSupport.h"

namespace zelk::test {
namespace {

// --- The manual page, read as text ---

std::string StripEscapes(std::string text) {
  const std::pair<std::string, std::string> kEscapes[] = {{"\\-", "-"},  {"\\&", ""},  {"\\fB", ""},
                                                          {"\\fI", ""},  {"\\fR", ""}, {"\\fP", ""},
                                                          {"\\(aq", "'"}};
  for (const auto& [from, to] : kEscapes) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at)) {
      text.replace(at, from.size(), to);
      at += to.size();
    }
  }
  return text;
}

// The arguments of a macro line: blank-separated, or in double quotes.
std::vector<std::string> MacroArguments(const std::string& rest) {
  std::vector<std::string> args;
  std::size_t i = 0;
  while (i < rest.size()) {
    if (rest[i] == ' ') {
      ++i;
    } else if (rest[i] == '"') {
      const std::size_t end = rest.find('"', i + 1);
      args.push_back(rest.substr(i + 1, end - i - 1));
      i = end == std::string::npos ? rest.size() : end + 1;
    } else {
      const std::size_t end = rest.find(' ', i);
      args.push_back(rest.substr(i, end - i));
      i = end == std::string::npos ? rest.size() : end;
    }
  }
  return args;
}

// One line of the page as it reads: font macros give their text (.B and .I join their
// arguments with blanks, .BR and the other alternating ones join them without), escapes go.
// Structural requests (.TP, .br, .SH ...) give "".
std::string RenderLine(const std::string& line) {
  if (line.empty() || line[0] != '.') return StripEscapes(line);
  const std::size_t space = line.find(' ');
  const std::string macro = line.substr(1, space == std::string::npos ? space : space - 1);
  const std::vector<std::string> args =
      space == std::string::npos ? std::vector<std::string>{} : MacroArguments(line.substr(space));
  std::string out;
  if (macro == "B" || macro == "I") {
    for (std::size_t i = 0; i < args.size(); ++i) out += (i > 0 ? " " : "") + args[i];
  } else if (macro.size() == 2 && std::string("BIR").find(macro[0]) != std::string::npos &&
             std::string("BIR").find(macro[1]) != std::string::npos) {
    for (const std::string& a : args) out += a;
  }
  return StripEscapes(out);
}

struct ManPage {
  std::vector<std::string> synopsis;                         // the forms, one per .br
  std::vector<std::pair<std::string, std::string>> options;  // term, description
  std::vector<std::pair<std::string, std::string>> exits;    // status, meaning
  std::vector<std::string> exitStatuses;
};

std::string Collapse(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

ManPage ReadManPage(const std::string& text) {
  ManPage page;
  std::string section;
  std::string form;
  std::vector<std::pair<std::string, std::string>>* items = nullptr;
  bool termNext = false;
  for (const std::string& line : SplitLines(text)) {
    if (line.rfind(".\\\"", 0) == 0) continue;  // comment
    if (line.rfind(".SH ", 0) == 0) {
      if (section == "SYNOPSIS" && !form.empty()) page.synopsis.push_back(Collapse(form));
      section = line.substr(4);
      items = nullptr;
      continue;
    }
    if (section == "SYNOPSIS") {
      if (line == ".br") {
        page.synopsis.push_back(Collapse(form));
        form.clear();
      } else {
        form += RenderLine(line) + " ";
      }
      continue;
    }
    if (line == ".TP") {
      items = section == "OPTIONS"       ? &page.options
              : section == "EXIT STATUS" ? &page.exits
                                         : nullptr;
      termNext = items != nullptr;
      if (items != nullptr) items->emplace_back();
      continue;
    }
    if (items == nullptr) continue;
    const std::string rendered = RenderLine(line);
    if (termNext) {
      items->back().first = Collapse(rendered);
      termNext = false;
    } else if (!rendered.empty()) {
      items->back().second = Collapse(items->back().second + " " + rendered);
    }
  }
  for (const auto& [status, meaning] : page.exits) page.exitStatuses.push_back(status);
  return page;
}

// --- The help text ---

struct Help {
  std::vector<std::string> forms;
  std::vector<std::pair<std::string, std::string>> options;
  std::vector<std::string> exitStatuses;
};

bool IsOptionSyntax(const std::string& token) {
  if (token.empty()) return false;
  if (token[0] == '-') return true;
  bool upper = false;
  for (char c : token) {
    if (std::islower(static_cast<unsigned char>(c))) return false;
    upper = upper || std::isupper(static_cast<unsigned char>(c));
  }
  return upper;  // LINE, FILE, N, [FILE]
}

Help ReadHelp(const std::string& text) {
  Help help;
  bool inOptions = false;
  for (const std::string& line : SplitLines(text)) {
    if (line.rfind("Usage: ", 0) == 0) {
      help.forms.push_back(Collapse(line.substr(7)));
    } else if (line.rfind("       zelk", 0) == 0) {
      help.forms.push_back(Collapse(line));
    } else if (line == "Options:") {
      inOptions = true;
    } else if (inOptions && line.rfind("   ", 0) == 0 && !help.options.empty()) {
      // A long description goes on below its option.
      help.options.back().second = Collapse(help.options.back().second + " " + line);
    } else if (inOptions && line.rfind("  ", 0) == 0) {
      std::string term, description;
      bool inTerm = true;
      for (const std::string& token : MacroArguments(line)) {
        inTerm = inTerm && IsOptionSyntax(token);
        (inTerm ? term : description) += token + " ";
      }
      help.options.emplace_back(Collapse(term), Collapse(description));
    } else if (line.rfind("Exit status:", 0) == 0) {
      for (std::size_t i = 0; i < line.size(); ++i) {
        const bool startsWord = i == 0 || line[i - 1] == ' ';
        if (startsWord && std::isdigit(static_cast<unsigned char>(line[i])) &&
            (i + 1 == line.size() || line[i + 1] == ' ')) {
          help.exitStatuses.push_back(std::string(1, line[i]));
        }
      }
    } else {
      inOptions = inOptions && !line.empty();
    }
  }
  return help;
}

class HelpAndManPage : public ::testing::Test {
 protected:
  ManPage man = ReadManPage(ReadFile(ZELK_BUILD_DIR "/docs/zelk.1"));
  Help help = ReadHelp(UsageText());
};

TEST_F(HelpAndManPage, ListTheSameOptionsInTheSameWords) {
  ASSERT_FALSE(help.options.empty());
  EXPECT_EQ(man.options, help.options);
}

TEST_F(HelpAndManPage, HelpGivesOneLineToEachOption) {
  std::set<std::string> terms;
  for (const auto& [term, description] : help.options) {
    EXPECT_FALSE(description.empty()) << term;
    EXPECT_TRUE(terms.insert(term).second) << term << " is listed twice";
  }
}

TEST_F(HelpAndManPage, SynopsisHoldsEveryFormOfTheHelp) {
  ASSERT_FALSE(help.forms.empty());
  for (const std::string& form : help.forms) {
    EXPECT_NE(std::find(man.synopsis.begin(), man.synopsis.end(), form), man.synopsis.end())
        << form;
  }
}

TEST_F(HelpAndManPage, NameTheExitStatusesThatZelkReturns) {
  const std::vector<std::string> codes = {
      std::to_string(EXIT_OK), std::to_string(EXIT_COMPILE_FAILED), std::to_string(EXIT_USAGE)};
  EXPECT_EQ(help.exitStatuses, codes);
  EXPECT_EQ(man.exitStatuses, codes);
}

TEST_F(HelpAndManPage, EveryListedOptionIsOneThatZelkAccepts) {
  for (const auto& [term, description] : help.options) {
    for (const std::string& token : MacroArguments(term)) {
      if (token[0] != '-') continue;
      const std::string option = token.back() == ',' ? token.substr(0, token.size() - 1) : token;
      const char* argv[] = {"zelk", option.c_str(), "1"};
      const CommandLine line = ParseCommandLine(3, argv);
      EXPECT_NE(line.error.rfind("unknown option", 0), 0u) << option;
    }
  }
  const char* bogus[] = {"zelk", "--bogus"};
  EXPECT_EQ(ParseCommandLine(2, bogus).error.rfind("unknown option", 0), 0u);
}

TEST_F(HelpAndManPage, TheProgramPrintsThisHelp) {
  for (const char* option : {"--help", "-h"}) {
    const RunResult run = RunProgram({ZELK_BINARY, option});
    EXPECT_EQ(run.status, 0) << option;
    EXPECT_EQ(run.output, UsageText()) << option;
  }
}

TEST(ManPage, FormatsWithoutWarnings) {
  const std::string groff = FindProgram("groff");
  if (groff.empty()) GTEST_SKIP() << "groff is not installed";
  const RunResult run =
      RunProgram({groff, "-man", "-Tutf8", "-ww", "-z", ZELK_BUILD_DIR "/docs/zelk.1"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.output, "");
}

TEST(ManPageReader, RendersFontMacrosAndEscapes) {
  const struct {
    std::string line, text;
  } cases[] = {
      {".BI \\-c \" LINE\"", "-c LINE"},
      {".BR \\-\\-batch \" [\\fIFILE\\fR]\"", "--batch [FILE]"},
      {".B zelk \\-\\-batch", "zelk --batch"},
      {".RB [ \\-c", "[-c"},
      {"type LINE at the console", "type LINE at the console"},
      {".TP", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(RenderLine(c.line), c.text) << c.line;
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "docgen/EditorSupport.h"
#include "docgen/LanguageSyntax.h"
#include "ecosystem/EcosystemSupport.h"
#include "ecosystem/Json.h"
#include "ecosystem/TextMateScanner.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

constexpr const char* kWord = "variable.other.word.zelkscript";

// Lines with what each editor must make of one part of them (every character of the part).
struct Expectation {
  std::string line, part, vimGroup, textMateScope, emacsFace;
};
const Expectation kExpectations[] = {
    {"goto(start);", "start", "", kWord, ""},
    {"  run_slave(guard1, door);", "run_slave", "zelkStatement",
     "keyword.control.statement.zelkscript", "font-lock-keyword-face"},
    {"say(\"misc/a//b.wav\", 1, attn_norm); // TODO later", "\"misc/a//b.wav\"", "zelkString",
     "string.quoted.double.zelkscript", "font-lock-string-face"},
    {"say(\"misc/a//b.wav\", 1, attn_norm); // TODO later", "attn_norm", "zelkAttenuation",
     "constant.language.attenuation.zelkscript", "font-lock-constant-face"},
    {"say(\"misc/a//b.wav\", 1, attn_norm); // TODO later", "// ", "zelkComment",
     "comment.line.double-slash.zelkscript", "font-lock-comment-delimiter-face"},
    {"say(\"misc/a//b.wav\", 1, attn_norm); // TODO later", "TODO", "zelkTodo",
     "comment.line.double-slash.zelkscript", "font-lock-comment-face"},
    {"on_touch(.client, hurt, 0.5);", ".client", "zelkPseudoTarget",
     "constant.language.pseudo-target.zelkscript", "font-lock-builtin-face"},
    {"on_touch(.client, hurt, 0.5);", "0.5", "zelkNumber", "constant.numeric.zelkscript",
     "font-lock-constant-face"},
    {"walk(.selfish);", ".selfish", "", kWord, ""},
    {"label @ top;", "top", "zelkLabelName", "entity.name.label.zelkscript",
     "font-lock-function-name-face"},
    {"map base1", "base1", "", kWord, ""},
    {"rotate(<0, -90, 0>);", "-90", "zelkNumber", "constant.numeric.zelkscript",
     "font-lock-constant-face"},
    {"rotate(<0, -90, 0>);", "<", "zelkVectorMark", "punctuation.definition.vector.zelkscript", ""},
    {"sv_editor = \"vim\"; // set", "sv_editor", "zelkEnvironment",
     "support.function.environment.zelkscript", "font-lock-preprocessor-face"},
    {"// goto(start);", "goto", "zelkComment", "comment.line.double-slash.zelkscript",
     "font-lock-comment-face"},
};

// Where the part stands in the line; the test fails when it is not there.
std::size_t PartAt(const Expectation& e) {
  const std::size_t at = e.line.find(e.part);
  EXPECT_NE(at, std::string::npos) << e.part << " in " << e.line;
  return at;
}

// Whether every character from `from` for `length` characters has the name.
std::string FirstMismatch(const std::vector<std::string>& names, std::size_t from,
                          std::size_t length, const std::string& expected) {
  for (std::size_t i = from; i < from + length; ++i) {
    const std::string got = i < names.size() ? names[i] : "(end of line)";
    if (got != expected) return "column " + std::to_string(i) + " is '" + got + "'";
  }
  return {};
}

// The alternatives of the word list between `open` and `close` in a pattern.
std::set<std::string> Alternatives(const std::string& text, const std::string& open,
                                   const std::string& close, const std::string& bar) {
  std::set<std::string> words;
  const std::size_t start = text.find(open);
  if (start == std::string::npos) return words;
  const std::size_t end = text.find(close, start + open.size());
  const std::string list = text.substr(start + open.size(), end - start - open.size());
  for (std::size_t at = 0;;) {
    const std::size_t next = list.find(bar, at);
    words.insert(list.substr(at, next - at));
    if (next == std::string::npos) break;
    at = next + bar.size();
  }
  return words;
}

std::set<std::string> NamesOf(signed char category) {
  std::set<std::string> names;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    if (e.entry->category == category) names.insert(e.entry->name);
  }
  return names;
}

constexpr signed char kCategories[] = {CATEGORY_ENVIRONMENT, CATEGORY_LABEL, CATEGORY_STATEMENT};

// What an editor probe wrote: its first line (the file type or mode) into `first`, then for
// every line of the sample the names of its characters, separated by commas.
std::vector<std::vector<std::string>> NameRows(const std::vector<std::string>& out,
                                               std::string& first) {
  std::vector<std::vector<std::string>> rows;
  if (out.empty()) return rows;
  first = out[0];
  for (std::size_t i = 1; i < out.size(); ++i) {
    std::vector<std::string> row;
    for (std::size_t at = 0, comma; !out[i].empty(); at = comma + 1) {
      comma = out[i].find(',', at);
      row.push_back(out[i].substr(at, comma - at));
      if (comma == std::string::npos) break;
    }
    rows.push_back(row);
  }
  return rows;
}

// --- Vim ---

TEST(VimSyntax, BuildWroteTheCurrentFiles) {
  EXPECT_EQ(ReadFile(ZELK_VIM_RUNTIME "/syntax/zelkscript.vim"), docgen::VimSyntax());
  EXPECT_EQ(ReadFile(ZELK_VIM_RUNTIME "/ftdetect/zelkscript.vim"), docgen::VimFileTypeDetection());
}

TEST(VimSyntax, NamesEveryCommandWordInTheGroupOfItsCategory) {
  const std::string syntax = docgen::VimSyntax();
  for (signed char category : kCategories) {
    const std::string open =
        "syn match " + std::string(docgen::VimGroup(category)) + " \"^\\s*\\zs\\%(";
    EXPECT_EQ(Alternatives(syntax, open, "\\)\\ze", "\\|"), NamesOf(category))
        << docgen::VimGroup(category);
  }
}

TEST(KateSyntax, BuildWroteTheCurrentFileWithEveryCommandWordInItsCategory) {
  const std::string syntax = docgen::KateSyntax(ZELK_VERSION);
  EXPECT_EQ(ReadFile(ZELK_KATE_SYNTAX_FILE), syntax);
  const std::map<signed char, std::string> kAttributes = {
      {CATEGORY_ENVIRONMENT, "Environment Command"},
      {CATEGORY_LABEL, "Label"},
      {CATEGORY_STATEMENT, "Statement"}};
  for (signed char category : kCategories) {
    const std::string open = "<RegExpr attribute=\"" + kAttributes.at(category) + "\" String=\"(?:";
    EXPECT_EQ(Alternatives(syntax, open, ")", "|"), NamesOf(category)) << kAttributes.at(category);
  }
  const std::string xmllint = FindProgram("xmllint");
  if (xmllint.empty()) return;
  const RunResult run = RunProgram({xmllint, "--noout", ZELK_KATE_SYNTAX_FILE});
  EXPECT_EQ(run.status, 0) << run.output;
}

// Runs Vim without a screen on a .scr file with the installed layout of the syntax files and
// returns the file type, then for every line the highlight group of every character.
std::vector<std::vector<std::string>> VimGroups(const std::vector<std::string>& lines,
                                                std::string& fileType) {
  TempDir dir;
  std::string source;
  for (const std::string& line : lines) source += line + "\n";
  dir.Write("sample.scr", source);
  dir.Write("probe.vim",
            "let out = [&filetype]\n"
            "for l in range(1, line('$'))\n"
            "  let row = []\n"
            "  for c in range(1, col([l, '$']) - 1)\n"
            "    call add(row, synIDattr(synID(l, c, 1), 'name'))\n"
            "  endfor\n"
            "  call add(out, join(row, ','))\n"
            "endfor\n"
            "call writefile(out, '" +
                dir.File("groups.txt") +
                "')\n"
                "qa!\n");
  const RunResult run =
      RunProgram({FindProgram("vim"), "-u", "NONE", "-i", "NONE", "-N", "-es", "--cmd",
                  "set rtp^=" ZELK_VIM_RUNTIME, "-c", "filetype on", "-c", "syntax on", "-c",
                  "edit " + dir.File("sample.scr"), "-S", dir.File("probe.vim")});
  EXPECT_EQ(run.status, 0) << run.output;
  const std::vector<std::string> out = SplitLines(dir.Read("groups.txt"));
  return NameRows(out, fileType);
}

TEST(VimSyntax, HighlightsEveryEntryAndTheLanguageWordsInVim) {
  if (FindProgram("vim").empty()) GTEST_SKIP() << "vim is not installed";
  // A minimal Vim (vim-tiny) has neither syntax highlighting nor scripts; it skips the :if block
  // and quits with an error.
  if (RunProgram({FindProgram("vim"), "-u", "NONE", "-N", "-es", "-c",
                  "if has('syntax') && has('eval') | qa! | endif", "-c", "cq"})
          .status != 0) {
    GTEST_SKIP() << "this vim has no syntax highlighting";
  }
  std::vector<std::string> lines;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    lines.push_back(docgen::ExampleLine(*e.entry));
  }
  for (const Expectation& e : kExpectations) lines.push_back(e.line);

  std::string fileType;
  const auto groups = VimGroups(lines, fileType);
  EXPECT_EQ(fileType, docgen::kVimFileType) << "ftdetect did not recognise a .scr file";
  ASSERT_EQ(groups.size(), lines.size());

  std::size_t row = 0;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    const std::size_t length = std::string(e.entry->name).size();
    EXPECT_EQ(FirstMismatch(groups[row], 0, length, docgen::VimGroup(e.entry->category)), "")
        << lines[row];
    if (groups[row].size() > length) {
      EXPECT_NE(groups[row][length], docgen::VimGroup(e.entry->category)) << lines[row];
    }
    ++row;
  }
  for (const Expectation& e : kExpectations) {
    EXPECT_EQ(FirstMismatch(groups[row], PartAt(e), e.part.size(), e.vimGroup), "")
        << e.part << " in " << e.line;
    ++row;
  }
}

// --- Emacs ---

// The Emacs face of the command word of an entry's category.
std::string EmacsFace(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "font-lock-preprocessor-face";
    default:
      return "font-lock-keyword-face";
  }
}

TEST(EmacsMode, BuildWroteTheCurrentFileWithEveryCommandWordInItsList) {
  const std::string mode =
      docgen::EmacsMode(ReadFile(ZELK_SOURCE_DIR "/editors/emacs/zelk-mode.el.in"), ZELK_VERSION);
  EXPECT_EQ(ReadFile(ZELK_EMACS_MODE_FILE), mode);
  EXPECT_EQ(mode.find("@ZELK_"), std::string::npos) << "a place of the template is left";
  const std::map<signed char, std::string> kLists = {{CATEGORY_ENVIRONMENT, "environment"},
                                                     {CATEGORY_LABEL, "label"},
                                                     {CATEGORY_STATEMENT, "statement"}};
  for (signed char category : kCategories) {
    const std::string open = "(defconst zelk-" + kLists.at(category) + "-words '(\"";
    EXPECT_EQ(Alternatives(mode, open, "\")", "\" \""), NamesOf(category)) << kLists.at(category);
  }
}

// Runs Emacs in batch mode on a .scr file with the mode of the build and returns the major mode,
// then for every line the face of every character ("" for none).
std::vector<std::vector<std::string>> EmacsFaces(const std::vector<std::string>& lines,
                                                 std::string& mode) {
  TempDir dir;
  std::string source;
  for (const std::string& line : lines) source += line + "\n";
  dir.Write("sample.scr", source);
  const RunResult run = RunProgram(
      {FindProgram("emacs"), "--batch", "-l", ZELK_EMACS_MODE_FILE, dir.File("sample.scr"),
       "--eval",
       "(progn (font-lock-ensure)"
       "  (let ((out (list (symbol-name major-mode))))"
       "    (goto-char (point-min))"
       "    (while (not (eobp))"
       "      (let (row)"
       "        (while (not (eolp))"
       "          (let ((face (get-text-property (point) 'face)))"
       "            (push (if (listp face) (mapconcat #'symbol-name face \"+\") (symbol-name face))"
       "                  row))"
       "          (forward-char))"
       "        (push (mapconcat #'identity (nreverse row) \",\") out))"
       "      (forward-line))"
       "    (with-temp-file \"" +
           dir.File("faces.txt") + "\" (insert (mapconcat #'identity (nreverse out) \"\\n\")))))"});
  EXPECT_EQ(run.status, 0) << run.output;
  const std::vector<std::string> out = SplitLines(dir.Read("faces.txt"));
  return NameRows(out, mode);
}

TEST(EmacsMode, HighlightsEveryEntryAndTheLanguageWordsInEmacs) {
  if (FindProgram("emacs").empty()) GTEST_SKIP() << "emacs is not installed";
  {
    // The byte compiler finds nothing to say.
    TempDir dir;
    dir.Write("zelk-mode.el", ReadFile(ZELK_EMACS_MODE_FILE));
    const RunResult run = RunProgram({FindProgram("emacs"), "--batch", "--eval",
                                      "(setq byte-compile-error-on-warn t)", "-f",
                                      "batch-byte-compile", dir.File("zelk-mode.el")});
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_TRUE(dir.Exists("zelk-mode.elc")) << run.output;
  }
  std::vector<std::string> lines;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    lines.push_back(docgen::ExampleLine(*e.entry));
  }
  for (const Expectation& e : kExpectations) lines.push_back(e.line);

  std::string mode;
  const auto faces = EmacsFaces(lines, mode);
  EXPECT_EQ(mode, "zelk-mode") << "a .scr file did not get zelk-mode";
  ASSERT_EQ(faces.size(), lines.size());
  // nil is no face.
  auto unnamed = [](std::vector<std::string> row) {
    for (std::string& face : row) face = face == "nil" ? "" : face;
    return row;
  };
  std::size_t row = 0;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    const std::size_t length = std::string(e.entry->name).size();
    const auto got = unnamed(faces[row]);
    EXPECT_EQ(FirstMismatch(got, 0, length, EmacsFace(e.entry->category)), "") << lines[row];
    if (got.size() > length) {
      EXPECT_NE(got[length], EmacsFace(e.entry->category)) << lines[row];
    }
    ++row;
  }
  for (const Expectation& e : kExpectations) {
    EXPECT_EQ(FirstMismatch(unnamed(faces[row]), PartAt(e), e.part.size(), e.emacsFace), "")
        << e.part << " in " << e.line;
    ++row;
  }
}

// --- TextMate ---

class TextMateGrammar : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto json = JsonReader::Parse(docgen::TextMateGrammar());
    ASSERT_TRUE(json.has_value()) << "the grammar is not valid JSON";
    grammar = *json;
  }
  JsonValue grammar;
};

TEST_F(TextMateGrammar, BuildWroteTheCurrentFile) {
  EXPECT_EQ(ReadFile(ZELK_TEXTMATE_GRAMMAR_FILE), docgen::TextMateGrammar());
}

TEST_F(TextMateGrammar, NamesTheLanguageAndItsFiles) {
  ASSERT_NE(grammar.Find("scopeName"), nullptr);
  EXPECT_EQ(grammar.Find("scopeName")->string, docgen::kTextMateScope);
  ASSERT_NE(grammar.Find("fileTypes"), nullptr);
  ASSERT_EQ(grammar.Find("fileTypes")->array.size(), 1u);
  EXPECT_EQ(grammar.Find("fileTypes")->array[0].string, "scr");
  ASSERT_NE(grammar.Find("name"), nullptr);
  EXPECT_EQ(grammar.Find("name")->string, "ZelkScript");
}

TEST_F(TextMateGrammar, NamesEveryCommandWordInTheRuleOfItsCategory) {
  const JsonValue* repository = grammar.Find("repository");
  ASSERT_NE(repository, nullptr);
  std::set<std::string> seen;
  for (const auto& [key, rule] : repository->object) {
    const JsonValue* captures = rule.Find("captures");
    const JsonValue* match = rule.Find("match");
    if (captures == nullptr || match == nullptr || captures->Find("1") == nullptr) continue;
    for (signed char category : kCategories) {
      if (captures->Find("1")->Find("name")->string != docgen::TextMateKeywordScope(category)) {
        continue;
      }
      EXPECT_EQ(Alternatives(match->string, "^\\s*(", ")", "|"), NamesOf(category)) << key;
      seen.insert(key);
    }
  }
  EXPECT_EQ(seen.size(), 3u) << "one rule for each category";
}

TEST_F(TextMateGrammar, ScopesEveryEntryAndTheLanguageWords) {
  std::string error;
  const auto scanner = TextMateScanner::Load(grammar, error);
  ASSERT_TRUE(scanner.has_value()) << error;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    const std::string line = docgen::ExampleLine(*e.entry);
    const auto scopes = scanner->Scopes(line);
    const std::size_t length = std::string(e.entry->name).size();
    const std::string keyword = docgen::TextMateKeywordScope(e.entry->category);
    EXPECT_EQ(FirstMismatch(scopes, 0, length, keyword), "") << line;
    for (std::size_t i = length; i < scopes.size(); ++i) {
      EXPECT_NE(scopes[i], keyword) << "column " << i << " of " << line;
    }
  }
  for (const Expectation& e : kExpectations) {
    EXPECT_EQ(FirstMismatch(scanner->Scopes(e.line), PartAt(e), e.part.size(), e.textMateScope), "")
        << e.part << " in " << e.line;
  }
}

TEST(TextMateScannerCheck, FailsOnAnUnresolvedIncludeAndABadExpression) {
  std::string error;
  auto grammar = JsonReader::Parse(R"({"patterns": [{"include": "#missing"}], "repository": {}})");
  ASSERT_TRUE(grammar.has_value());
  EXPECT_FALSE(TextMateScanner::Load(*grammar, error).has_value());
  grammar = JsonReader::Parse(R"({"patterns": [{"name": "x", "match": "(unclosed"}]})");
  ASSERT_TRUE(grammar.has_value());
  EXPECT_FALSE(TextMateScanner::Load(*grammar, error).has_value());
  EXPECT_FALSE(JsonReader::Parse(R"({"a": 1,})").has_value());
  EXPECT_FALSE(JsonReader::Parse(R"({"a": 1, "a": 2})").has_value());
}

}  // namespace
}  // namespace zelk::test

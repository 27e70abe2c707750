// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "language/StatementParser.h"
#include "docgen/LanguageSyntax.h"
#include "docgen/ReferencePage.h"
#include "ecosystem/EcosystemSupport.h"

namespace zelk::test {
namespace {

using docgen::HtmlEscape;

// The text of an entry's section, from its opening tag to its closing one; "" when missing.
std::string Section(const std::string& page, const std::string& anchor) {
  const std::string open = "<section class=\"entry\" id=\"" + anchor + "\">";
  const std::size_t start = page.find(open);
  if (start == std::string::npos) return {};
  const std::size_t end = page.find("</section>", start);
  return page.substr(start, end - start);
}

// Finds the parts in order in the text; the name of the first that is missing, or "".
std::string MissingInOrder(const std::string& text, const std::vector<std::string>& parts) {
  std::size_t at = 0;
  for (const std::string& part : parts) {
    const std::size_t found = text.find(part, at);
    if (found == std::string::npos) return part;
    at = found + part.size();
  }
  return {};
}

// Checks that elements open and close in a proper nesting; void elements stand alone.
std::string NestingError(const std::string& page) {
  static const std::set<std::string> kVoid = {"meta", "br", "hr", "img", "link", "input"};
  std::vector<std::string> open;
  for (std::size_t at = page.find('<'); at != std::string::npos; at = page.find('<', at + 1)) {
    if (page.compare(at, 2, "<!") == 0) continue;
    const bool closing = page.compare(at, 2, "</") == 0;
    const std::size_t nameStart = at + (closing ? 2 : 1);
    const std::size_t nameEnd = page.find_first_of(" >", nameStart);
    const std::string name = page.substr(nameStart, nameEnd - nameStart);
    if (closing) {
      if (open.empty() || open.back() != name) return "unexpected </" + name + ">";
      open.pop_back();
    } else if (kVoid.count(name) == 0) {
      open.push_back(name);
    }
  }
  return open.empty() ? std::string() : "<" + open.back() + "> is not closed";
}

class ReferencePage : public ::testing::Test {
 protected:
  std::string page = docgen::ReferencePage(ZELK_VERSION);
};

TEST_F(ReferencePage, BuildWroteTheCurrentPage) {
  EXPECT_EQ(ReadFile(ZELK_REFERENCE_BUILT_FILE), page)
      << "the reference in the build tree is not what the generator writes now";
}

TEST_F(ReferencePage, HasOneSectionForEveryEntryAndNoOther) {
  std::size_t sections = 0;
  for (std::size_t at = page.find("<section class=\"entry\""); at != std::string::npos;
       at = page.find("<section class=\"entry\"", at + 1)) {
    ++sections;
  }
  EXPECT_EQ(sections, static_cast<std::size_t>(COMMAND_COUNT));
  for (int i = COMMAND_COUNT; i < COMMAND_SLOTS; ++i) ASSERT_EQ(Commands()[i].name, nullptr);
}

TEST_F(ReferencePage, EverySectionShowsSyntaxKindsCategoryCodeAndEveryHelpLine) {
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    const CommandEntry& entry = *e.entry;
    const std::string section = Section(page, docgen::EntryAnchor(entry.name));
    ASSERT_FALSE(section.empty()) << entry.name;

    std::string kinds = "Arguments: ";
    for (int k = 0; k < 8 && entry.argKinds[k] != ARG_END; ++k) {
      kinds += std::string(k > 0 ? ", " : "") + docgen::KindName(entry.argKinds[k]);
    }
    if (entry.argKinds[0] == ARG_END) kinds += "none";
    std::vector<std::string> parts = {
        "<h3>" + HtmlEscape(entry.name) + "</h3>",
        std::string(docgen::CategoryName(entry.category)) + ", command code " +
            std::to_string(e.index) + "<",
        "<pre class=\"syntax\">" + HtmlEscape(docgen::SyntaxLine(entry)) + "</pre>",
        kinds + ".",
        "<pre class=\"example\">" + HtmlEscape(docgen::ExampleLine(entry)) + "</pre>",
        "<pre class=\"help\">"};
    ForEachHelpLine(entry.help,
                    [&](std::string_view line) { parts.push_back(HtmlEscape(line) + "\n"); });
    parts.push_back("</pre>");
    EXPECT_EQ(MissingInOrder(section, parts), "") << entry.name;
  }
}

TEST_F(ReferencePage, IndexLinksEveryEntryInCodeOrder) {
  const std::size_t index = page.find("<h2 id=\"index\">");
  ASSERT_NE(index, std::string::npos);
  std::vector<std::string> rows;
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    rows.push_back("<tr><td>" + std::to_string(e.index) + "</td><td><a href=\"#" +
                   docgen::EntryAnchor(e.entry->name) + "\">");
  }
  EXPECT_EQ(MissingInOrder(page.substr(index), rows), "");
}

TEST_F(ReferencePage, EveryExampleIsALineTheParserAccepts) {
  // The reference documents the syntax that the compiler reads: each example parses as its entry.
  for (const docgen::IndexedEntry& e : docgen::FilledEntries()) {
    const std::string line = docgen::ExampleLine(*e.entry);
    const ParsedStatement parsed = ParseStatement(line);
    EXPECT_EQ(static_cast<int>(parsed.result), e.entry->category) << line;
    EXPECT_EQ(parsed.commandIndex, e.index) << line;
  }
}

TEST_F(ReferencePage, StatesTheRulesOfAStatementLine) {
  std::vector<std::string> words = {"<code>//</code>", "<code>;</code>", "<code>,</code>",
                                    "<code>&lt;0, 90, 0&gt;</code>", "label@name;"};
  for (const char* w : docgen::kPseudoTargets)
    words.push_back("<code>" + std::string(w) + "</code>");
  for (const char* w : docgen::kAttenuationWords) {
    words.push_back("<code>" + std::string(w) + "</code>");
  }
  for (unsigned char kind = ARG_INTEGER; kind <= ARG_WORD; ++kind) {
    words.push_back("<tr><td>" + std::string(docgen::KindName(kind)) + "</td>");
  }
  for (const std::string& w : words) EXPECT_NE(page.find(w), std::string::npos) << w;
}

TEST_F(ReferencePage, IsWellNestedHtml) {
  EXPECT_EQ(page.rfind("<!DOCTYPE html>", 0), 0u);
  EXPECT_EQ(NestingError(page), "");
  EXPECT_EQ(NestingError("<p><b>x</p></b>"), "unexpected </p>");  // the checker itself
}

TEST(HtmlEscape, EscapesMarkupAndConvertsWindows1252) {
  const struct {
    std::string text, html;
  } cases[] = {
      {"sv_color <int x>", "sv_color &lt;int x&gt;"},
      {"say(\"a\" & b)", "say(&quot;a&quot; &amp; b)"},
      {"caf\xE9", "caf\xC3\xA9"},
      {"plain", "plain"},
  };
  for (const auto& c : cases) EXPECT_EQ(HtmlEscape(c.text), c.html) << c.text;
}

TEST(SyntaxLine, WritesEachFormOfEntry) {
  const struct {
    const char* name;
    std::string syntax, example;
  } cases[] = {
      {"goto", "goto(word);", "goto(name);"},
      {"sv_quake2_dir", "sv_quake2_dir = \"string\";", "sv_quake2_dir = \"text\";"},
      {"label", "label@word;", "label@name;"},
      {"sv_color", "sv_color integer", "sv_color 1"},
      {"god", "god", "god"},
      {"move_to", "move_to(\"string\", <x, y, z>);", "move_to(\"text\", <0, 0, 64>);"},
      {"return", "return", "return"},
  };
  for (const auto& c : cases) {
    const int index = FindCommand(c.name);
    ASSERT_GE(index, 0) << c.name;
    EXPECT_EQ(docgen::SyntaxLine(Commands()[index]), c.syntax);
    EXPECT_EQ(docgen::ExampleLine(Commands()[index]), c.example);
  }
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "docgen/EditorSupport.h"

#include <algorithm>
#include <cstdio>
#include <string_view>
#include <vector>

#include "docgen/LanguageSyntax.h"
#include "docgen/ReferencePage.h"

namespace zelk::docgen {
namespace {

constexpr signed char kCategories[] = {CATEGORY_ENVIRONMENT, CATEGORY_LABEL, CATEGORY_STATEMENT};

// The command words of one category, longest first, so that an alternation never stops at a
// shorter word that begins a longer one (run before run_slave).
std::vector<std::string> WordsOf(signed char category) {
  std::vector<std::string> words;
  for (const IndexedEntry& e : FilledEntries()) {
    if (e.entry->category == category) words.emplace_back(e.entry->name);
  }
  std::stable_sort(words.begin(), words.end(),
                   [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  return words;
}

std::string Join(const std::vector<std::string>& parts, std::string_view separator) {
  std::string out;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

std::vector<std::string> Strings(const auto& texts) {
  return {texts.begin(), texts.end()};
}

// The reserved words without their common beginning (".self" -> "self", "attn_none" -> "none").
std::vector<std::string> Suffixes(const auto& words, std::size_t prefixLength) {
  std::vector<std::string> out;
  for (const char* word : words) out.emplace_back(std::string(word).substr(prefixLength));
  return out;
}

// --- Vim ---

std::string VimGroupLinks() {
  return R"(hi def link zelkEnvironment  PreProc
hi def link zelkLabel        Label
hi def link zelkLabelName    Function
hi def link zelkStatement    Statement
hi def link zelkPseudoTarget Special
hi def link zelkAttenuation  Constant
hi def link zelkNumber       Number
hi def link zelkString       String
hi def link zelkEscape       SpecialChar
hi def link zelkComment      Comment
hi def link zelkTodo         Todo
hi def link zelkDelimiter    Delimiter
hi def link zelkVectorMark   Delimiter
)";
}

// --- TextMate (JSON) ---

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

// One repository rule that gives a whole match one scope.
std::string MatchRule(std::string_view key, std::string_view scope, std::string_view regex) {
  return "    " + JsonString(key) + ": {\n      \"name\": " + JsonString(scope) +
         ",\n      \"match\": " + JsonString(regex) + "\n    }";
}

std::string Capture(int group, std::string_view scope) {
  return JsonString(std::to_string(group)) + ": { \"name\": " + JsonString(scope) + " }";
}

std::string RuleKey(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "environment-command";
    case CATEGORY_LABEL:
      return "label";
    default:
      return "statement";
  }
}

// --- Kate (KSyntaxHighlighting XML) ---

const char* KateAttribute(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "Environment Command";
    case CATEGORY_LABEL:
      return "Label";
    default:
      return "Statement";
  }
}

// --- Emacs (Lisp) ---

std::string LispStrings(const std::vector<std::string>& words) {
  std::vector<std::string> quoted;
  for (const std::string& word : words) quoted.push_back(JsonString(word));
  return Join(quoted, " ");
}

void ReplaceAll(std::string& text, std::string_view place, const std::string& value) {
  for (std::size_t at = text.find(place); at != std::string::npos;
       at = text.find(place, at + value.size())) {
    text.replace(at, place.size(), value);
  }
}

}  // namespace

const char* VimGroup(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "zelkEnvironment";
    case CATEGORY_LABEL:
      return "zelkLabel";
    default:
      return "zelkStatement";
  }
}

const char* TextMateKeywordScope(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "support.function.environment.zelkscript";
    case CATEGORY_LABEL:
      return "keyword.other.label.zelkscript";
    default:
      return "keyword.control.statement.zelkscript";
  }
}

std::string VimSyntax() {
  const std::string word = std::string("[") + kWordCharacters + "]";
  const std::string notAfterWord = "\\%(" + word + "\\)\\@<!";
  const std::string notBeforeWord = "\\%(" + word + "\\)\\@!";

  std::string out =
      "\" Vim syntax file\n"
      "\" Language:   ZelkScript (Zelk scene scripts)\n"
      "\" Filenames:  *.scr\n"
      "\" Written by zelk-docgen from Zelk's command table; change the table, not this file.\n"
      "\n"
      "if exists(\"b:current_syntax\")\n"
      "  finish\n"
      "endif\n"
      "let s:cpo_save = &cpo\n"
      "set cpo&vim\n"
      "\n"
      "syn case match\n"
      "\n";
  // Later items win where two start at the same place, so the general ones come first.
  out += "syn match zelkDelimiter \"[(),;=@]\"\n";
  out += "syn match zelkVectorMark \"[<>]\"\n";
  out += "syn match zelkNumber \"" + notAfterWord +
         "[-+]\\=\\%(\\d\\+\\%(\\.\\d*\\)\\=\\|\\.\\d\\+\\)" + notBeforeWord + "\"\n";
  out += "syn match zelkPseudoTarget \"" + notAfterWord + "\\.\\%(" +
         Join(Suffixes(kPseudoTargets, 1), "\\|") + "\\)" + notBeforeWord + "\"\n";
  out += "syn match zelkAttenuation \"" + notAfterWord + "attn_\\%(" +
         Join(Suffixes(kAttenuationWords, 5), "\\|") + "\\)" + notBeforeWord + "\"\n";
  out += "syn region zelkString start=+\"+ end=+\"+ end=+$+ oneline contains=zelkEscape\n";
  out += "syn match zelkEscape \"\\\\n\" contained\n";
  out += "syn keyword zelkTodo TODO FIXME XXX contained\n";
  out += "syn match zelkComment \"//.*$\" contains=zelkTodo,@Spell\n";
  out +=
      "\n\" The first word of a line is the command; the same word later in a line is an "
      "argument.\n";
  for (signed char category : kCategories) {
    const std::vector<std::string> words = WordsOf(category);
    if (words.empty()) continue;
    out += "syn match " + std::string(VimGroup(category)) + " \"^\\s*\\zs\\%(" +
           Join(words, "\\|") + "\\)\\ze\\%([^" + kWordCharacters + "]\\|$\\)\"\n";
  }
  // The name that a label statement defines.
  for (const IndexedEntry& e : FilledEntries()) {
    if (e.entry->category != CATEGORY_LABEL) continue;
    out += "syn match zelkLabelName \"\\%(^\\s*" + std::string(e.entry->name) + "\\s*" +
           std::string(1, e.entry->openDelim) + "\\s*\\)\\@<=" + word + "\\+\"\n";
  }
  out += "\n" + VimGroupLinks();
  out +=
      "\n"
      "let b:current_syntax = \"zelkscript\"\n"
      "let &cpo = s:cpo_save\n"
      "unlet s:cpo_save\n";
  return out;
}

std::string VimFileTypeDetection() {
  return "\" ZelkScript source files (Zelk scene scripts)\n"
         "au BufNewFile,BufRead *.scr setfiletype zelkscript\n";
}

std::string EmacsMode(const std::string& templateText, const std::string& version) {
  std::string delimiters;
  for (const IndexedEntry& e : FilledEntries()) {
    if (e.entry->category == CATEGORY_LABEL &&
        delimiters.find(e.entry->openDelim) == std::string::npos) {
      delimiters += e.entry->openDelim;
    }
  }
  std::string out = templateText;
  ReplaceAll(out, "@ZELK_VERSION@", version);
  ReplaceAll(out, "@ZELK_ENVIRONMENT_WORDS@", LispStrings(WordsOf(CATEGORY_ENVIRONMENT)));
  ReplaceAll(out, "@ZELK_LABEL_WORDS@", LispStrings(WordsOf(CATEGORY_LABEL)));
  ReplaceAll(out, "@ZELK_STATEMENT_WORDS@", LispStrings(WordsOf(CATEGORY_STATEMENT)));
  ReplaceAll(out, "@ZELK_PSEUDO_TARGETS@", LispStrings(Strings(kPseudoTargets)));
  ReplaceAll(out, "@ZELK_ATTENUATION_WORDS@", LispStrings(Strings(kAttenuationWords)));
  ReplaceAll(out, "@ZELK_LABEL_DELIMITERS@", delimiters);
  return out;
}

std::string KateSyntax(const std::string& version) {
  const std::string word = std::string("[") + kWordCharacters + "]";
  const std::string notBeforeWord = "(?!" + word + ")";
  // The definition's own version: Kate caches definitions by it, so it grows with every release
  // (1.1.0 -> 10100).
  int major = 0, minor = 0, patch = 0;
  std::sscanf(version.c_str(), "%d.%d.%d", &major, &minor, &patch);
  const int definitionVersion = major * 10000 + minor * 100 + patch;

  std::string out =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<!DOCTYPE language>\n"
      "<!-- ZelkScript (Zelk scene scripts) for KSyntaxHighlighting: Kate, KWrite, KDevelop.\n"
      "     Written by zelk-docgen from Zelk's command table; change the table, not this file. "
      "-->\n";
  out +=
      "<language name=\"ZelkScript\" section=\"Scripts\" extensions=\"*.scr\" "
      "mimetype=\"text/x-zelkscript\" version=\"" +
      std::to_string(definitionVersion) +
      "\" kateversion=\"5.0\" casesensitive=\"1\" author=\"The Zelk Team\" "
      "license=\"MIT\">\n";
  out += "  <highlighting>\n";
  out += "    <contexts>\n";
  out += "      <context name=\"Line\" attribute=\"Normal Text\" lineEndContext=\"#stay\">\n";
  out +=
      "        <Detect2Chars attribute=\"Comment\" context=\"Comment\" char=\"/\" "
      "char1=\"/\"/>\n";
  out += "        <DetectChar attribute=\"String\" context=\"String\" char=\"&quot;\"/>\n";
  // The first word of a line is the command; the same word later in a line is an argument.
  for (signed char category : kCategories) {
    const std::vector<std::string> words = WordsOf(category);
    if (words.empty()) continue;
    out += "        <RegExpr attribute=\"" + std::string(KateAttribute(category)) + "\" String=\"" +
           HtmlEscape("(?:" + Join(words, "|") + ")" + notBeforeWord) +
           "\" firstNonSpace=\"true\"" +
           (category == CATEGORY_LABEL ? " context=\"Label Name\"" : "") + "/>\n";
  }
  out += "        <RegExpr attribute=\"Pseudo Target\" String=\"" +
         HtmlEscape("\\.(?:" + Join(Suffixes(kPseudoTargets, 1), "|") + ")" + notBeforeWord) +
         "\"/>\n";
  out += "        <RegExpr attribute=\"Attenuation\" String=\"" +
         HtmlEscape("attn_(?:" + Join(Suffixes(kAttenuationWords, 5), "|") + ")" + notBeforeWord) +
         "\"/>\n";
  out += "        <RegExpr attribute=\"Number\" String=\"" +
         HtmlEscape("[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)" + notBeforeWord) + "\"/>\n";
  // A bare word (target, label or map name); it keeps a digit inside a word such as base1 from
  // reading as a number.
  out += "        <RegExpr attribute=\"Normal Text\" String=\"" + HtmlEscape(word + "+") + "\"/>\n";
  out += "        <AnyChar attribute=\"Vector\" String=\"&lt;&gt;\"/>\n";
  out += "        <AnyChar attribute=\"Delimiter\" String=\"(),;=@\"/>\n";
  out += "      </context>\n";
  // label@name: the name that a label statement defines.
  out +=
      "      <context name=\"Label Name\" attribute=\"Normal Text\" lineEndContext=\"#pop\" "
      "fallthroughContext=\"#pop\">\n";
  out += "        <DetectSpaces/>\n";
  out += "        <AnyChar attribute=\"Delimiter\" String=\"(=@\"/>\n";
  out += "        <RegExpr attribute=\"Label Name\" String=\"" + HtmlEscape(word + "+") +
         "\" context=\"#pop\"/>\n";
  out += "      </context>\n";
  out += "      <context name=\"String\" attribute=\"String\" lineEndContext=\"#pop\">\n";
  out += "        <Detect2Chars attribute=\"Escape\" char=\"\\\" char1=\"n\"/>\n";
  out += "        <DetectChar attribute=\"String\" context=\"#pop\" char=\"&quot;\"/>\n";
  out += "      </context>\n";
  out += "      <context name=\"Comment\" attribute=\"Comment\" lineEndContext=\"#pop\">\n";
  out += "        <DetectSpaces/>\n";
  out += "        <WordDetect attribute=\"Alert\" String=\"TODO\"/>\n";
  out += "        <WordDetect attribute=\"Alert\" String=\"FIXME\"/>\n";
  out += "        <WordDetect attribute=\"Alert\" String=\"XXX\"/>\n";
  out += "      </context>\n";
  out += "    </contexts>\n";
  out += "    <itemDatas>\n";
  const char* kItems[][2] = {
      {"Normal Text", "dsNormal"},   {"Environment Command", "dsPreprocessor"},
      {"Label", "dsControlFlow"},    {"Label Name", "dsFunction"},
      {"Statement", "dsKeyword"},    {"Pseudo Target", "dsBuiltIn"},
      {"Attenuation", "dsConstant"}, {"Number", "dsDecVal"},
      {"String", "dsString"},        {"Escape", "dsSpecialChar"},
      {"Comment", "dsComment"},      {"Alert", "dsAlert"},
      {"Delimiter", "dsOperator"},   {"Vector", "dsOperator"},
  };
  for (const auto& [name, style] : kItems) {
    out += "      <itemData name=\"" + std::string(name) + "\" defStyleNum=\"" + style + "\"" +
           (std::string_view(name) == "Comment" || std::string_view(name) == "String"
                ? ""
                : " spellChecking=\"false\"") +
           "/>\n";
  }
  out += "    </itemDatas>\n";
  out += "  </highlighting>\n";
  out += "  <general>\n";
  out += "    <comments>\n";
  out += "      <comment name=\"singleLine\" start=\"//\"/>\n";
  out += "    </comments>\n";
  out += "    <keywords casesensitive=\"1\" additionalDeliminator=\"" + HtmlEscape("@") + "\"/>\n";
  out += "  </general>\n";
  out += "</language>\n";
  return out;
}

std::string TextMateGrammar() {
  const std::string word = std::string("[") + kWordCharacters + "]";
  const std::string notBeforeWord = "(?!" + word + ")";

  std::vector<std::string> rules;
  rules.push_back(MatchRule("comment", "comment.line.double-slash.zelkscript", "//.*$"));
  rules.push_back(
      "    \"string\": {\n"
      "      \"name\": \"string.quoted.double.zelkscript\",\n"
      "      \"begin\": \"\\\"\",\n"
      "      \"end\": \"\\\"|$\",\n"
      "      \"patterns\": [\n"
      "        { \"name\": \"constant.character.escape.zelkscript\", \"match\": \"\\\\\\\\n\" }\n"
      "      ]\n"
      "    }");
  for (signed char category : kCategories) {
    const std::vector<std::string> words = WordsOf(category);
    if (words.empty()) continue;
    std::string rule = "    " + JsonString(RuleKey(category)) + ": {\n";
    if (category == CATEGORY_LABEL) {
      // label@name; also names the label that it defines.
      std::string delimiters;
      for (const IndexedEntry& e : FilledEntries()) {
        if (e.entry->category == category &&
            delimiters.find(e.entry->openDelim) == std::string::npos) {
          delimiters += e.entry->openDelim;
        }
      }
      rule += "      \"match\": " +
              JsonString("^\\s*(" + Join(words, "|") + ")\\s*([" + delimiters + "])\\s*(" + word +
                         "+)?") +
              ",\n      \"captures\": {\n        " + Capture(1, TextMateKeywordScope(category)) +
              ",\n        " + Capture(2, "punctuation.separator.zelkscript") + ",\n        " +
              Capture(3, "entity.name.label.zelkscript") + "\n      }\n    }";
    } else {
      rule += "      \"match\": " + JsonString("^\\s*(" + Join(words, "|") + ")" + notBeforeWord) +
              ",\n      \"captures\": {\n        " + Capture(1, TextMateKeywordScope(category)) +
              "\n      }\n    }";
    }
    rules.push_back(rule);
  }
  rules.push_back(
      MatchRule("pseudo-target", "constant.language.pseudo-target.zelkscript",
                "\\.(?:" + Join(Suffixes(kPseudoTargets, 1), "|") + ")" + notBeforeWord));
  rules.push_back(
      MatchRule("attenuation", "constant.language.attenuation.zelkscript",
                "attn_(?:" + Join(Suffixes(kAttenuationWords, 5), "|") + ")" + notBeforeWord));
  rules.push_back(MatchRule("number", "constant.numeric.zelkscript",
                            "[+-]?(?:[0-9]+(?:\\.[0-9]*)?|\\.[0-9]+)" + notBeforeWord));
  // A bare word (target, label or map name). It also keeps a digit inside a word such as base1
  // from reading as a number, because the earlier match wins.
  rules.push_back(
      MatchRule("word", "variable.other.word.zelkscript", word + "*[a-z_]" + word + "*"));
  rules.push_back(MatchRule("vector", "punctuation.definition.vector.zelkscript", "[<>]"));
  rules.push_back(MatchRule("punctuation", "punctuation.separator.zelkscript", "[(),;=@]"));

  std::vector<std::string> includes;
  for (const char* key :
       {"comment", "string", "label", "environment-command", "statement", "pseudo-target",
        "attenuation", "number", "word", "vector", "punctuation"}) {
    includes.push_back("    { \"include\": " + JsonString(std::string("#") + key) + " }");
  }

  std::string out = "{\n";
  out += "  \"name\": \"ZelkScript\",\n";
  out += "  \"scopeName\": " + JsonString(kTextMateScope) + ",\n";
  out += "  \"fileTypes\": [\"scr\"],\n";
  out += "  \"comment\": \"Written by zelk-docgen from Zelk's command table.\",\n";
  out += "  \"patterns\": [\n" + Join(includes, ",\n") + "\n  ],\n";
  out += "  \"repository\": {\n" + Join(rules, ",\n") + "\n  }\n";
  out += "}\n";
  return out;
}

}  // namespace zelk::docgen

// SPDX-License-Identifier: MIT
#include "lsp/SemanticTokens.h"

#include <algorithm>
#include <vector>

#include "compiler/SourceReader.h"
#include "language/CommandTable.h"
#include "lsp/Editing.h"
#include "lsp/StatementShapes.h"

namespace zelk::lsp {
namespace {

// The token types, in the order of the legend.
enum TokenType : int {
  TOKEN_FUNCTION,     // a statement word
  TOKEN_PROPERTY,     // a setting word
  TOKEN_KEYWORD,      // the label word
  TOKEN_VARIABLE,     // a label
  TOKEN_ENUM_MEMBER,  // an attenuation word
  TOKEN_MACRO,        // a pseudo-target
  TOKEN_STRING,
  TOKEN_NUMBER,
  TOKEN_COMMENT,
};
constexpr int MODIFIER_DECLARATION = 1;

struct Token {
  std::size_t start = 0;  // columns of the compile line
  std::size_t end = 0;
  int type = 0;
  int modifiers = 0;
};

int WordType(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return TOKEN_PROPERTY;
    case CATEGORY_LABEL:
      return TOKEN_KEYWORD;
    default:
      return TOKEN_FUNCTION;
  }
}

// The tokens of one compile line, by column.
std::vector<Token> LineTokens(const OpenDocument& document, int line) {
  std::vector<Token> tokens;
  const std::string full = document.CompileLineText(line);
  ParsedLine parsed;
  parsed.text = full.substr(0, CleanLine(full).size());
  parsed.parsed = ParseStatement(parsed.text);
  const ParsedStatement& p = parsed.parsed;
  const std::size_t comment = full.find("//", parsed.text.size());
  if (p.commandIndex >= 0) {
    const CommandEntry& entry = Commands()[p.commandIndex];
    const auto column = static_cast<std::size_t>(p.Token(0).data() - parsed.text.data());
    tokens.push_back({column, column + p.Token(0).size(), WordType(entry.category), 0});
    const bool whole = p.result == ParseResult::Statement || p.result == ParseResult::Environment ||
                       p.result == ParseResult::Label || p.result == ParseResult::NoEol;
    if (whole) {
      const std::vector<ArgumentSpan> spans = ArgumentSpans(p, parsed.text);
      for (std::size_t i = 0; i < spans.size(); ++i) {
        const ArgumentSpan& s = spans[i];
        const std::string_view text =
            std::string_view(parsed.text).substr(s.start, s.end - s.start);
        int type = -1;
        int modifiers = 0;
        switch (entry.argKinds[i]) {
          case ARG_STRING:
            type = TOKEN_STRING;
            break;
          case ARG_INTEGER:
          case ARG_REAL:
          case ARG_VECTOR:
            type = TOKEN_NUMBER;
            break;
          case ARG_WORD:
            if (p.commandIndex == CMD_LABEL) {
              type = TOKEN_VARIABLE;
              modifiers = MODIFIER_DECLARATION;
            } else if (!text.empty() && text.front() == '.') {
              type = TOKEN_MACRO;
            } else {
              switch (RoleOf(p.commandIndex, static_cast<int>(i))) {
                case ArgumentRole::Label:
                  type = TOKEN_VARIABLE;
                  break;
                case ArgumentRole::Attenuation:
                  type = TOKEN_ENUM_MEMBER;
                  break;
                default:
                  break;
              }
            }
            break;
          default:
            break;
        }
        if (type >= 0 && s.end > s.start) tokens.push_back({s.start, s.end, type, modifiers});
      }
    }
  }
  if (comment != std::string::npos) {
    tokens.push_back({comment, full.size(), TOKEN_COMMENT, 0});
  }
  return tokens;
}

}  // namespace

Json SemanticTokensLegend() {
  return {{"tokenTypes",
           {"function", "property", "keyword", "variable", "enumMember", "macro", "string",
            "number", "comment"}},
          {"tokenModifiers", {"declaration"}}};
}

std::vector<std::uint32_t> SemanticTokenData(const OpenDocument& document,
                                             const ClientOptions& client) {
  std::vector<std::uint32_t> data;
  Position previous;
  const int count = document.Text().CompileLineCount();
  for (int line = 1; line <= count; ++line) {
    const std::vector<Token> tokens = LineTokens(document, line);
    if (tokens.empty()) continue;
    const LinePositions positions(document, line, client.encoding);
    for (const Token& token : tokens) {
      const Range range = positions.Columns(token.start, token.end);
      // A token is one protocol line (a carriage return alone starts another).
      if (range.start.line != range.end.line || range.end.character <= range.start.character) {
        continue;
      }
      const auto number = [](std::int64_t value) { return static_cast<std::uint32_t>(value); };
      data.push_back(number(range.start.line - previous.line));
      data.push_back(number(range.start.line == previous.line
                                ? range.start.character - previous.character
                                : range.start.character));
      data.push_back(number(range.end.character - range.start.character));
      data.push_back(number(token.type));
      data.push_back(number(token.modifiers));
      previous = range.start;
    }
  }
  return data;
}

namespace {

void WriteData(JsonWriter& out, const std::uint32_t* from, const std::uint32_t* to) {
  out.BeginArray();
  for (; from != to; ++from) out.Integer(*from);
  out.EndArray();
}

}  // namespace

Result SemanticTokensFull(const std::vector<std::uint32_t>& data, const std::string& resultId) {
  JsonWriter out(data.size() * 4 + 32);
  out.BeginObject().Key("data");
  WriteData(out, data.data(), data.data() + data.size());
  out.Key("resultId").String(resultId).EndObject();
  return Result(std::move(out));
}

Result SemanticTokensDelta(const std::vector<std::uint32_t>& before,
                           const std::vector<std::uint32_t>& data, const std::string& resultId) {
  std::size_t prefix = 0;
  while (prefix < before.size() && prefix < data.size() && before[prefix] == data[prefix]) {
    ++prefix;
  }
  std::size_t suffix = 0;
  while (suffix < before.size() - prefix && suffix < data.size() - prefix &&
         before[before.size() - 1 - suffix] == data[data.size() - 1 - suffix]) {
    ++suffix;
  }
  JsonWriter out((data.size() - prefix - suffix) * 4 + 64);
  out.BeginObject().Key("edits").BeginArray();
  if (prefix != before.size() || prefix != data.size()) {
    out.BeginObject().Key("data");
    WriteData(out, data.data() + prefix, data.data() + data.size() - suffix);
    out.Key("deleteCount")
        .Integer(static_cast<std::int64_t>(before.size() - prefix - suffix))
        .Key("start")
        .Integer(static_cast<std::int64_t>(prefix))
        .EndObject();
  }
  out.EndArray().Key("resultId").String(resultId).EndObject();
  return Result(std::move(out));
}

}  // namespace zelk::lsp

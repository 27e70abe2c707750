// SPDX-License-Identifier: MIT
#include "lsp/Editing.h"

#include <algorithm>
#include <cctype>

#include "compiler/SourceReader.h"
#include "language/CommandTable.h"
#include "lsp/StatementShapes.h"
#include "platform/Cp1252.h"

namespace zelk::lsp {
namespace {

// True when the parse read every argument of the line.
bool ArgumentsRead(const ParsedStatement& parsed) {
  switch (parsed.result) {
    case ParseResult::Statement:
    case ParseResult::Environment:
    case ParseResult::Label:
    case ParseResult::NoEol:
      return true;
    default:
      return false;
  }
}

// The compile lines that a range of protocol lines covers.
std::pair<int, int> CompileLines(const OpenDocument& document, const Range& range,
                                 PositionEncoding encoding) {
  const TextDocument& text = document.Text();
  const int first = text.CompileLineAt(text.OffsetAt({range.start.line, 0}, encoding));
  const int last = text.CompileLineAt(text.OffsetAt(range.end, encoding));
  return {first, std::min(last, text.CompileLineCount())};
}

// The first word of a compile line and where it stands; empty for none.
std::string_view FirstWord(std::string_view line, std::size_t& start) {
  start = line.find_first_not_of(' ');
  if (start == std::string_view::npos) return {};
  std::size_t end = start;
  while (end < line.size() && IsWordCharacter(line[end])) ++end;
  return line.substr(start, end - start);
}

bool IsCommentLine(std::string_view line) {
  const std::size_t start = line.find_first_not_of(' ');
  return start != std::string_view::npos && line.compare(start, 2, "//") == 0;
}

}  // namespace

ParsedLine ParseLine(const OpenDocument& document, int line) {
  ParsedLine parsed;
  parsed.text = document.CompileLineText(line);
  parsed.text.resize(CleanLine(parsed.text).size());
  parsed.parsed = ParseStatement(parsed.text);
  return parsed;
}

Json SignatureHelp(const OpenDocument& document, const Position& position,
                   const ClientOptions& client) {
  Cursor cursor;
  if (!document.Locate(position, client.encoding, cursor) || cursor.column > 255) return nullptr;
  const std::string line = document.CompileLineText(cursor.line);
  ArgumentContext context;
  if (!FindArgumentContext(std::string_view(line).substr(0, std::min(cursor.column, line.size())),
                           context)) {
    return nullptr;
  }
  const std::string usage = Cp1252ToUtf8(UsageLine(context.commandIndex));
  Json parameters = Json::array();
  const std::vector<HelpParameter>& help = HelpParameters(context.commandIndex);
  if (!help.empty()) {
    for (const HelpParameter& p : help) parameters.push_back({{"label", {p.start, p.end}}});
  } else {
    for (const std::string& name : ArgumentNames(context.commandIndex)) {
      parameters.push_back({{"label", name}});
    }
  }
  return {{"signatures", {{{"label", usage}, {"parameters", std::move(parameters)}}}},
          {"activeSignature", 0},
          {"activeParameter", context.argument}};
}

Result InlayHints(const OpenDocument& document, const Range& range, const ClientOptions& client) {
  std::vector<InlayHint> hints;
  const auto [first, last] = CompileLines(document, range, client.encoding);
  // The instruction index of each statement line: its place among the statements.
  const std::vector<FlowStatement>& statements = document.Check().flow.statements;
  auto statement = std::lower_bound(statements.begin(), statements.end(), first,
                                    [](const FlowStatement& s, int line) { return s.line < line; });
  for (int line = first; line <= last; ++line) {
    const LinePositions positions(document, line, client.encoding);
    if (client.argumentNameHints) {
      const ParsedLine parsed = ParseLine(document, line);
      const std::vector<HelpParameter>& help = HelpParameters(parsed.parsed.commandIndex);
      if (!help.empty() && ArgumentsRead(parsed.parsed) &&
          Commands()[parsed.parsed.commandIndex].category == CATEGORY_STATEMENT) {
        const std::vector<ArgumentSpan> spans = ArgumentSpans(parsed.parsed, parsed.text);
        for (std::size_t i = 0; i < spans.size() && i < help.size(); ++i) {
          hints.push_back({positions.Columns(spans[i].start, spans[i].start).start,
                           help[i].name + ":", InlayHintKind::Parameter, false, true});
        }
      }
    }
    if (client.instructionHints && statement != statements.end() && statement->line == line) {
      hints.push_back({positions.End(), "ip" + std::to_string(statement - statements.begin()), InlayHintKind::Type,
                       true, false});
      ++statement;
    }
  }
  return WrittenList(hints);
}

Result FoldingRanges(const OpenDocument& document, const ClientOptions& client) {
  std::vector<FoldingRange> ranges;
  const TextDocument& text = document.Text();
  const auto protocolLine = [&](std::size_t offset) {
    return text.PositionAt(offset, client.encoding).line;
  };
  const int count = text.CompileLineCount();
  std::vector<bool> blank(static_cast<std::size_t>(count) + 1, true);
  int commentRun = 0;  // the first line of a run of comment lines, or 0
  for (int line = 1; line <= count; ++line) {
    const std::string lineText = document.CompileLineText(line);
    blank[static_cast<std::size_t>(line)] = lineText.find_first_not_of(' ') == std::string::npos;
    const bool comment = IsCommentLine(lineText);
    if (comment && commentRun == 0) commentRun = line;
    if (!comment && commentRun != 0) {
      if (line - 1 > commentRun) {
        ranges.push_back({protocolLine(text.CompileLineStart(commentRun)),
                          protocolLine(text.CompileLineEnd(line - 1)), FOLDING_COMMENT});
      }
      commentRun = 0;
    }
  }
  if (commentRun != 0 && count > commentRun) {
    ranges.push_back({protocolLine(text.CompileLineStart(commentRun)),
                      protocolLine(text.CompileLineEnd(count)), FOLDING_COMMENT});
  }
  // Each label's block: from its line to the line before the next label, blank lines at its end
  // left out.
  const std::vector<LabelSite>& labels = document.Check().definitions;
  for (std::size_t i = 0; i < labels.size(); ++i) {
    int end = i + 1 < labels.size() ? labels[i + 1].line - 1 : count;
    while (end > labels[i].line && blank[static_cast<std::size_t>(end)]) --end;
    if (end > labels[i].line) {
      ranges.push_back({protocolLine(text.CompileLineStart(labels[i].line)),
                        protocolLine(text.CompileLineEnd(end)), FOLDING_REGION});
    }
  }
  std::sort(ranges.begin(), ranges.end(),
            [](const FoldingRange& a, const FoldingRange& b) { return a.startLine < b.startLine; });
  return WrittenList(ranges);
}

Result DocumentHighlights(const OpenDocument& document, const Position& position,
                          const ClientOptions& client) {
  std::vector<DocumentHighlight> highlights;
  Cursor cursor;
  if (!document.Locate(position, client.encoding, cursor)) return nullptr;
  if (const LabelSite* site = document.SiteAt(cursor)) {
    const std::string name = site->name;
    const SourceCheck& check = document.Check();
    for (const LabelSite& s : check.definitions) {
      if (s.name == name) {
        highlights.push_back(
            {document.SiteRange(s, client.encoding), DocumentHighlightKind::Write});
      }
    }
    for (const LabelSite& s : check.references) {
      if (s.name == name) {
        highlights.push_back({document.SiteRange(s, client.encoding), DocumentHighlightKind::Read});
      }
    }
    std::sort(highlights.begin(), highlights.end(),
              [](const DocumentHighlight& a, const DocumentHighlight& b) {
                return a.range.start.line != b.range.start.line
                           ? a.range.start.line < b.range.start.line
                           : a.range.start.character < b.range.start.character;
              });
    return WrittenList(highlights);
  }
  // A statement word: every line that starts with it.
  const std::string line = document.CompileLineText(cursor.line);
  std::size_t start = 0;
  const std::string_view word = FirstWord(line, start);
  if (word.empty() || cursor.column < start || cursor.column > start + word.size() ||
      FindCommand(word) < 0) {
    return nullptr;
  }
  const std::string wanted(word);
  for (int l = 1; l <= document.Text().CompileLineCount(); ++l) {
    const std::string other = document.CompileLineText(l);
    std::size_t at = 0;
    if (FirstWord(other, at) == wanted) {
      highlights.push_back({document.ColumnRange(l, at, at + wanted.size(), client.encoding),
                            DocumentHighlightKind::Text});
    }
  }
  return WrittenList(highlights);
}

Result WorkspaceSymbols(const std::map<std::string, OpenDocument>& documents,
                        const std::string& query, const ClientOptions& client) {
  std::string wanted = query;
  std::transform(wanted.begin(), wanted.end(), wanted.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  JsonWriter out;
  out.BeginArray();
  for (const auto& [uri, document] : documents) {
    for (const LabelSite& site : document.Check().definitions) {
      if (site.name.find(wanted) == std::string::npos) continue;
      out.BeginObject().Key("kind").Integer(static_cast<int>(SymbolKind::Function)).Key("location");
      Write(out, Location{uri, document.SiteRange(site, client.encoding)});
      out.Key("name").String(site.name).EndObject();
    }
  }
  out.EndArray();
  return Result(std::move(out));
}

}  // namespace zelk::lsp

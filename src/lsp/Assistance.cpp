// SPDX-License-Identifier: MIT
#include "lsp/Assistance.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <map>
#include <set>
#include <string_view>
#include <vector>

#include "compiler/RecordCodes.h"
#include "language/CommandTable.h"
#include "lsp/StatementShapes.h"
#include "platform/Cp1252.h"

namespace zelk::lsp {
namespace {

// The help text of an entry as one text, its lines joined by newlines (the first line is the
// statement's usage).
std::string HelpText(int commandIndex) {
  std::string text;
  ForEachHelpLine(Commands()[commandIndex].help, [&](std::string_view line) {
    if (!text.empty()) text += '\n';
    text += line;
  });
  return Cp1252ToUtf8(text);
}

Json PlainText(const std::string& text) {
  return {{"kind", "plaintext"}, {"value", text}};
}

Location SiteLocation(const OpenDocument& document, const LabelSite& site,
                      PositionEncoding encoding) {
  return {document.Uri(), document.SiteRange(site, encoding)};
}

// A completion item, written directly (a statement's list is long, with its help text); the
// documentation only where there is one.
void Item(JsonWriter& out, const std::string& label, CompletionItemKind kind,
          const std::string& detail, const Range& range, const std::string& newText,
          InsertTextFormat format, const std::string* documentation = nullptr) {
  out.BeginObject().Key("detail").String(detail);
  if (documentation != nullptr) {
    out.Key("documentation")
        .BeginObject()
        .Key("kind")
        .String("plaintext")
        .Key("value")
        .String(*documentation)
        .EndObject();
  }
  out.Key("filterText")
      .String(label)
      .Key("insertTextFormat")
      .Integer(static_cast<int>(format))
      .Key("kind")
      .Integer(static_cast<int>(kind))
      .Key("label")
      .String(label)
      .Key("textEdit")
      .BeginObject()
      .Key("newText")
      .String(newText)
      .Key("range");
  Write(out, range);
  out.EndObject().EndObject();
}

CompletionItemKind StatementKind(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return CompletionItemKind::Property;
    case CATEGORY_LABEL:
      return CompletionItemKind::Keyword;
    default:
      return CompletionItemKind::Function;
  }
}

// Every statement and command of the table, as a snippet where the client takes snippets.
void AddStatements(JsonWriter& items, const Range& range, const ClientOptions& client) {
  for (int i = 0; i < COMMAND_COUNT; ++i) {
    const CommandEntry& entry = Commands()[i];
    const std::string help = HelpText(i);
    Item(items, entry.name, StatementKind(entry.category), Cp1252ToUtf8(UsageLine(i)), range,
         client.snippets ? StatementSnippet(i) : std::string(entry.name),
         client.snippets ? InsertTextFormat::Snippet : InsertTextFormat::PlainText, &help);
  }
}

void AddArgumentWords(JsonWriter& items, const OpenDocument& document,
                      const ArgumentContext& context, const Range& range) {
  switch (RoleOf(context.commandIndex, context.argument)) {
    case ArgumentRole::Label: {
      std::set<std::string> seen;
      for (const LabelSite& site : document.Check().definitions) {
        if (!seen.insert(site.name).second) continue;
        char detail[64];
        std::snprintf(detail, sizeof detail, "label on line %d", site.line);
        Item(items, site.name, CompletionItemKind::Reference, detail, range, site.name,
             InsertTextFormat::PlainText);
      }
      if (context.commandIndex == CMD_ON_USE) {
        Item(items, std::string(WORD_NONE), CompletionItemKind::Constant,
             "no label: ends the intercept of this user", range, std::string(WORD_NONE),
             InsertTextFormat::PlainText);
      }
      break;
    }
    case ArgumentRole::Target:
      for (const std::string_view word : {WORD_SELF, WORD_ACTIVATOR, WORD_CLIENT, WORD_NONE}) {
        Item(items, std::string(word), CompletionItemKind::Constant, "pseudo-target", range,
             std::string(word), InsertTextFormat::PlainText);
      }
      break;
    case ArgumentRole::Attenuation:
      for (int code = 0; code < 4; ++code) {
        const std::string word(ATTENUATION_WORDS[code]);
        Item(items, word, CompletionItemKind::EnumMember, "attenuation " + std::to_string(code),
             range, word, InsertTextFormat::PlainText);
      }
      break;
    case ArgumentRole::Other:
      break;
  }
}

// The text of a document line, without the blanks around it.
std::string LineText(const OpenDocument& document, int line) {
  const TextDocument& text = document.Text();
  std::string_view view(text.Text());
  const std::size_t start = text.CompileLineStart(line);
  view = view.substr(start, text.CompileLineEnd(line) - start);
  while (!view.empty() && (view.front() == ' ' || view.front() == '\t')) view.remove_prefix(1);
  while (!view.empty() && static_cast<unsigned char>(view.back()) <= ' ') view.remove_suffix(1);
  return std::string(view);
}

// The label site under a position, or nullptr.
const LabelSite* LabelAt(const OpenDocument& document, const Position& position,
                         const ClientOptions& client) {
  Cursor cursor;
  if (!document.Locate(position, client.encoding, cursor)) return nullptr;
  return document.SiteAt(cursor);
}

bool IsLabelName(std::string_view name) {
  return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) {
    return IsWordCharacter(c) && !(c >= 'A' && c <= 'Z');
  });
}

__attribute__((format(printf, 1, 2))) RequestError Failed(const char* format, ...) {
  char text[320];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return RequestError(REQUEST_FAILED, text);
}

}  // namespace

Result Completion(const OpenDocument& document, const Position& position,
                  const ClientOptions& client) {
  JsonWriter items;
  items.BeginObject().Key("isIncomplete").Bool(false).Key("items").BeginArray();
  Cursor cursor;
  if (document.Locate(position, client.encoding, cursor) && cursor.column <= 255) {
    const std::string line = document.CompileLineText(cursor.line);
    const std::string_view prefix =
        std::string_view(line).substr(0, std::min(cursor.column, line.size()));
    const std::size_t first = std::min(prefix.find_first_not_of(' '), prefix.size());
    const bool typingWord = std::all_of(prefix.begin() + static_cast<std::ptrdiff_t>(first),
                                        prefix.end(), IsWordCharacter);
    ArgumentContext context;
    if (typingWord) {
      AddStatements(items, document.ColumnRange(cursor.line, first, prefix.size(), client.encoding),
                    client);
    } else if (FindArgumentContext(prefix, context)) {
      AddArgumentWords(
          items, document, context,
          document.ColumnRange(cursor.line, context.wordStart, prefix.size(), client.encoding));
    }
  }
  items.EndArray().EndObject();
  return Result(std::move(items));
}

Json Hover(const OpenDocument& document, const Position& position, const ClientOptions& client) {
  Cursor cursor;
  if (!document.Locate(position, client.encoding, cursor)) return nullptr;
  if (const LabelSite* site = document.SiteAt(cursor)) {
    const LabelSite* definition = document.Definition(site->name);
    if (definition == nullptr) return nullptr;
    char where[32];
    std::snprintf(where, sizeof where, "line %d: ", definition->line);
    return {{"contents", PlainText(where + LineText(document, definition->line))},
            {"range", ToJson(document.SiteRange(*site, client.encoding))}};
  }
  // A statement word: the first word of its line.
  const std::string line = document.CompileLineText(cursor.line);
  const std::size_t column = std::min(cursor.column, line.size());
  std::size_t start = column;
  while (start > 0 && IsWordCharacter(line[start - 1])) --start;
  std::size_t end = column;
  while (end < line.size() && IsWordCharacter(line[end])) ++end;
  if (start == end || line.find_first_not_of(' ') != start) return nullptr;
  const int index = FindCommand(std::string_view(line).substr(start, end - start));
  if (index < 0) return nullptr;
  return {{"contents", PlainText(HelpText(index))},
          {"range", ToJson(document.ColumnRange(cursor.line, start, end, client.encoding))}};
}

Json Definition(const OpenDocument& document, const Position& position,
                const ClientOptions& client) {
  const LabelSite* site = LabelAt(document, position, client);
  const LabelSite* definition = site != nullptr ? document.Definition(site->name) : nullptr;
  if (definition == nullptr) return nullptr;
  return SiteLocation(document, *definition, client.encoding);
}

Result References(const OpenDocument& document, const Position& position, bool withDefinitions,
                  const ClientOptions& client) {
  std::vector<Location> locations;
  const LabelSite* site = LabelAt(document, position, client);
  if (site == nullptr) return WrittenList(locations);
  std::vector<const LabelSite*> found;
  const SourceCheck& check = document.Check();
  for (const LabelSite& s : check.references) {
    if (s.name == site->name) found.push_back(&s);
  }
  if (withDefinitions) {
    for (const LabelSite& s : check.definitions) {
      if (s.name == site->name) found.push_back(&s);
    }
  }
  std::sort(found.begin(), found.end(), [](const LabelSite* a, const LabelSite* b) {
    return a->line != b->line ? a->line < b->line : a->column < b->column;
  });
  for (const LabelSite* s : found) locations.push_back(SiteLocation(document, *s, client.encoding));
  return WrittenList(locations);
}

Result DocumentSymbols(const OpenDocument& document, const ClientOptions& client) {
  JsonWriter out(document.Check().definitions.size() * 160);
  out.BeginArray();
  for (const LabelSite& site : document.Check().definitions) {
    out.BeginObject();
    if (client.hierarchicalSymbols) {
      out.Key("detail").String("line " + std::to_string(site.line));
      out.Key("kind").Integer(static_cast<int>(SymbolKind::Function));
      out.Key("name").String(site.name).Key("range");
      Write(out, document.LineRange(site.line, client.encoding));
      out.Key("selectionRange");
      Write(out, document.SiteRange(site, client.encoding));
    } else {
      out.Key("kind").Integer(static_cast<int>(SymbolKind::Function)).Key("location");
      Write(out, SiteLocation(document, site, client.encoding));
      out.Key("name").String(site.name);
    }
    out.EndObject();
  }
  out.EndArray();
  return Result(std::move(out));
}

Json PrepareRename(const OpenDocument& document, const Position& position,
                   const ClientOptions& client) {
  const LabelSite* site = LabelAt(document, position, client);
  if (site == nullptr) return nullptr;
  return {{"range", ToJson(document.SiteRange(*site, client.encoding))},
          {"placeholder", site->name}};
}

Json Rename(const OpenDocument& document, const Position& position, const std::string& newName,
            const ClientOptions& client) {
  const LabelSite* site = LabelAt(document, position, client);
  if (site == nullptr) throw Failed("Only a label can be renamed, and there is none here.");
  const std::string oldName = site->name;
  if (!IsLabelName(newName)) {
    throw Failed("%s is not a label name: use the characters a-z, 0-9, \"-\", \"_\" and \".\".",
                 Cp1252ToUtf8(Utf8ToCp1252(newName.substr(0, 255))).c_str());
  }
  if (newName == WORD_NONE) {
    throw Failed("%s cannot be a label name: on_use reads it as no label.", newName.c_str());
  }
  Json edits = Json::array();
  if (newName != oldName) {
    if (document.Definition(newName) != nullptr) {
      throw Failed("Label %s is defined already.", newName.c_str());
    }
    const SourceCheck& check = document.Check();
    std::map<int, int> perLine;  // the sites to change on each line
    for (const auto* sites : {&check.definitions, &check.references}) {
      for (const LabelSite& s : *sites) {
        if (s.name != oldName) continue;
        ++perLine[s.line];
        edits.push_back(
            {{"range", ToJson(document.SiteRange(s, client.encoding))}, {"newText", newName}});
      }
    }
    // The compile reads 255 characters of a line: a longer line would lose its end.
    const TextDocument& text = document.Text();
    const auto grow =
        static_cast<long long>(newName.size()) - static_cast<long long>(oldName.size());
    for (const auto& [line, count] : perLine) {
      const auto length = static_cast<long long>(
          text.CharactersBetween(text.CompileLineStart(line), text.CompileLineEnd(line)));
      if (length + grow * count > 255) {
        throw Failed("Line %d would be longer than 255 characters with label %s.", line,
                     newName.c_str());
      }
    }
  }
  return {{"changes", {{document.Uri(), std::move(edits)}}}};
}

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#include "lsp/OpenDocument.h"

#include <algorithm>
#include <optional>

#include "environment/EnvironmentSettings.h"
#include "environment/SettingCommands.h"
#include "language/StatementParser.h"
#include "platform/Cp1252.h"
#include "platform/LineSink.h"

namespace zelk::lsp {

OpenDocument::OpenDocument(std::string uri, std::int64_t version, std::string text)
    : m_uri(std::move(uri)), m_version(version), m_text(std::move(text)) {
  Recheck();
}

void OpenDocument::Recheck() {
  // A setting in the source is checked as the compile would carry it out, on settings that
  // nothing else sees, printing nowhere: a refusal is an error, a compile line is refused as a
  // nested compile, and everything else leaves no trace.
  EnvironmentSettings settings;
  NullLineSink nowhere;
  const SettingHook checkSetting = [&](const ParsedStatement& s) -> std::optional<std::string> {
    const SettingOutcome outcome = ApplySetting(s, settings, nowhere);
    switch (outcome.kind) {
      case SettingOutcome::Kind::Refused:
        return outcome.refusal;
      case SettingOutcome::Kind::Compile:
        return std::string(NESTED_COMPILE_TEXT);
      case SettingOutcome::Kind::Applied:
      case SettingOutcome::Kind::SetColor:
        break;
    }
    return std::nullopt;
  };
  // ASCII is the same in both; most sources are ASCII throughout.
  const std::string& text = m_text.Text();
  const bool ascii = std::all_of(text.begin(), text.end(),
                                 [](char c) { return static_cast<unsigned char>(c) < 0x80; });
  m_check = ascii ? CheckSource(text, checkSetting) : CheckSource(Utf8ToCp1252(text), checkSetting);
}

bool OpenDocument::Locate(const Position& position, PositionEncoding encoding,
                          Cursor& cursor) const {
  if (position.line < 0 || position.line >= m_text.LineCount()) return false;
  const std::size_t offset = m_text.OffsetAt(position, encoding);
  cursor.line = m_text.CompileLineAt(offset);
  cursor.column = m_text.CharactersBetween(m_text.CompileLineStart(cursor.line), offset);
  return true;
}

std::string OpenDocument::CompileLineText(int line) const {
  const std::size_t start = m_text.CompileLineStart(line);
  const std::size_t end = m_text.Advance(start, 255, m_text.CompileLineEnd(line));
  std::string text = Utf8ToCp1252(std::string_view(m_text.Text()).substr(start, end - start));
  std::replace(text.begin(), text.end(), '\t', ' ');
  return text;
}

Range OpenDocument::LineRange(int line, PositionEncoding encoding) const {
  return {m_text.PositionAt(m_text.CompileLineStart(line), encoding),
          m_text.PositionAt(m_text.CompileLineEnd(line), encoding)};
}

Range OpenDocument::ColumnRange(int line, std::size_t from, std::size_t to,
                                PositionEncoding encoding) const {
  const std::size_t start = m_text.CompileLineStart(line);
  const std::size_t end = m_text.CompileLineEnd(line);
  const std::size_t a = m_text.Advance(start, from, end);
  const std::size_t b = m_text.Advance(a, to > from ? to - from : 0, end);
  return {m_text.PositionAt(a, encoding), m_text.PositionAt(b, encoding)};
}

Range OpenDocument::SiteRange(const LabelSite& site, PositionEncoding encoding) const {
  const auto column = static_cast<std::size_t>(site.column);
  return ColumnRange(site.line, column, column + static_cast<std::size_t>(site.length), encoding);
}

const LabelSite* OpenDocument::SiteAt(const Cursor& cursor) const {
  for (const auto* sites : {&m_check.definitions, &m_check.references}) {
    for (const LabelSite& site : *sites) {
      if (site.line == cursor.line && cursor.column >= static_cast<std::size_t>(site.column) &&
          cursor.column <= static_cast<std::size_t>(site.column + site.length)) {
        return &site;
      }
    }
  }
  return nullptr;
}

const LabelSite* OpenDocument::Definition(const std::string& name) const {
  for (const LabelSite& site : m_check.definitions) {
    if (site.name == name) return &site;
  }
  return nullptr;
}

Json ToJson(const Position& position) {
  return {{"line", position.line}, {"character", position.character}};
}

Json ToJson(const Range& range) {
  return {{"start", ToJson(range.start)}, {"end", ToJson(range.end)}};
}

}  // namespace zelk::lsp

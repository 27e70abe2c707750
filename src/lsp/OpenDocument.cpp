// SPDX-License-Identifier: MIT
#include "lsp/OpenDocument.h"

#include <algorithm>

#include "environment/EnvironmentSettings.h"
#include "environment/SettingCommands.h"
#include "platform/Cp1252.h"

namespace zelk::lsp {

OpenDocument::OpenDocument(std::string uri, std::int64_t version, std::string text)
    : m_uri(std::move(uri)), m_version(version), m_text(std::move(text)) {
  Recheck();
}

void OpenDocument::Recheck() {
  // A setting in the source is checked as the compile would carry it out, on settings that
  // nothing else sees, printing nowhere: a refusal is an error, a compile line is refused as a
  // nested compile, and everything else leaves no trace. The editor's characters are checked as
  // they would be saved in Windows-1252.
  EnvironmentSettings scratch;
  m_check = CheckSource(
      m_text.Text(),
      [&](const ParsedStatement& s) { return CheckSettingLine(s, scratch, NESTED_COMPILE_TEXT); },
      SourceEncoding::Utf8);
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

Range OpenDocument::FindingRange(const SourceFinding& finding, PositionEncoding encoding) const {
  const int last = std::max(finding.line, finding.lastLine);
  if (finding.length == 0) {
    const std::size_t start = m_text.CompileLineStart(finding.line);
    const std::size_t from = m_text.Advance(start, static_cast<std::size_t>(finding.column),
                                            m_text.CompileLineEnd(finding.line));
    return {m_text.PositionAt(from, encoding),
            m_text.PositionAt(m_text.CompileLineEnd(last), encoding)};
  }
  const auto column = static_cast<std::size_t>(finding.column);
  return ColumnRange(finding.line, column, column + static_cast<std::size_t>(finding.length),
                     encoding);
}

Range OpenDocument::ColumnRange(int line, std::size_t from, std::size_t to,
                                PositionEncoding encoding) const {
  const std::size_t start = m_text.CompileLineStart(line);
  const std::size_t end = m_text.CompileLineEnd(line);
  const std::size_t a = m_text.Advance(start, from, end);
  const std::size_t b = m_text.Advance(a, to > from ? to - from : 0, end);
  const Position first = m_text.PositionAt(a, encoding);
  // An empty range: its end is its start.
  if (b == a) return {first, first};
  return {first, m_text.PositionAt(b, encoding)};
}

LinePositions::LinePositions(const OpenDocument& document, int line, PositionEncoding encoding)
    : m_document(document), m_line(line), m_encoding(encoding) {
  const TextDocument& text = document.Text();
  const std::size_t start = text.CompileLineStart(line);
  const std::size_t end = text.CompileLineEnd(line);
  const std::string_view bytes = std::string_view(text.Text()).substr(start, end - start);
  m_plain = std::all_of(bytes.begin(), bytes.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x80 && c != '\r';
  });
  if (!m_plain) return;
  m_protocolLine = text.PositionAt(start, encoding).line;
  m_length = bytes.size();
}

Range LinePositions::Columns(std::size_t from, std::size_t to) const {
  if (!m_plain) return m_document.ColumnRange(m_line, from, to, m_encoding);
  const auto a = static_cast<std::int64_t>(std::min(from, m_length));
  const auto b = static_cast<std::int64_t>(std::min(std::max(from, to), m_length));
  return {{m_protocolLine, a}, {m_protocolLine, b}};
}

Position LinePositions::End() const {
  if (!m_plain) {
    const TextDocument& text = m_document.Text();
    return text.PositionAt(text.CompileLineEnd(m_line), m_encoding);
  }
  return {m_protocolLine, static_cast<std::int64_t>(m_length)};
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

}  // namespace zelk::lsp

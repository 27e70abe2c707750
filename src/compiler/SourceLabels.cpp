// SPDX-License-Identifier: MIT
#include "compiler/SourceLabels.h"

#include "compiler/SourceReader.h"
#include "language/StatementParser.h"

namespace zelk {

bool MayBeLabelLine(std::string_view line) {
  // The parser skips the blanks before the statement word (tabs are blanks by now), and cleaning
  // a line only shortens it at its end.
  std::size_t word = 0;
  while (word < line.size() && line[word] == ' ') ++word;
  // The first letter alone rules out nearly every other line.
  return word < line.size() && line[word] == 'l' && line.substr(word).starts_with("label");
}

SourceLabels::SourceLabels() = default;
SourceLabels::~SourceLabels() = default;

SourceLabels::Scan SourceLabels::Collect(InputFile& source) {
  Scan scan;
  SourceReader reader(source);
  int lineNumber = 0;
  std::string_view line;
  SourceReader::Result next;
  while ((next = reader.Next(line)) == SourceReader::Result::Line) {
    ++lineNumber;
    if (!MayBeLabelLine(line)) continue;
    const ParsedStatement parsed = ParseStatement(CleanLine(line));
    if (parsed.result != ParseResult::Label) continue;
    if (m_labels.size() >= static_cast<std::size_t>(LABEL_SLOTS)) {
      if (scan.overflowLine == 0) scan.overflowLine = lineNumber;
      continue;
    }
    m_firstByName.emplace(parsed.Token(1), m_labels.size());  // keeps the first of a name
    m_labels.push_back({lineNumber, -1});
  }
  scan.readFailed = next == SourceReader::Result::Error;
  return scan;
}

void SourceLabels::CountAheadWith(InputFile& source) {
  m_ahead = std::make_unique<SourceReader>(source);
  m_aheadLine = 0;
  m_aheadStatements = 0;
  m_aheadLabel = 0;
  m_aheadFailed = false;
}

std::int32_t SourceLabels::Find(std::string_view name) const {
  const auto found = m_firstByName.find(name);
  if (found == m_firstByName.end()) return -1;
  const Label& label = m_labels[found->second];
  if (label.ip < 0) CountAheadThrough(label.line);
  return label.ip;
}

void SourceLabels::CountAheadThrough(int target) const {
  using Result = SourceReader::Result;
  if (m_ahead == nullptr) m_aheadFailed = true;
  if (m_aheadFailed) return;
  std::string_view line;
  // Behind the second pass, the reader takes over its count of the lines before it.
  if (m_aheadLine < m_passLine - 1) {
    while (m_aheadLine < m_passLine - 1) {
      if (m_ahead->Next(line) != Result::Line) {
        m_aheadFailed = true;
        return;
      }
      ++m_aheadLine;
    }
    m_aheadStatements = m_passStatements;
    while (m_aheadLabel < m_labels.size() && m_labels[m_aheadLabel].line <= m_aheadLine) {
      ++m_aheadLabel;
    }
  }
  while (m_aheadLine < target) {
    // A source that ends before the line the first pass found is not the source it read.
    if (m_ahead->Next(line) != Result::Line) {
      m_aheadFailed = true;
      return;
    }
    ++m_aheadLine;
    if (m_aheadLabel < m_labels.size() && m_labels[m_aheadLabel].line == m_aheadLine) {
      m_labels[m_aheadLabel++].ip = m_aheadStatements;  // a label line is no statement
      continue;
    }
    line = CleanLine(line);
    if (!line.empty() && ParseStatement(line).result == ParseResult::Statement) {
      ++m_aheadStatements;
    }
  }
}

}  // namespace zelk

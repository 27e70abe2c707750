// SPDX-License-Identifier: MIT
#include "lsp/TextDocument.h"

#include <algorithm>
#include <limits>

#include "platform/Cp1252.h"

namespace zelk::lsp {

Utf8Character DecodeLongerUtf8Character(std::string_view text, std::size_t i) {
  const Utf8Sequence sequence = DecodeUtf8(text, i);
  if (sequence.length <= 1) return {};
  return {sequence.length, sequence.codePoint >= 0x10000 ? 2 : 1};
}

TextDocument::TextDocument(std::string text) : m_text(std::move(text)) {
  Index();
}

void TextDocument::SetText(std::string text) {
  m_text = std::move(text);
  Index();
}

void TextDocument::Index() {
  m_lineStarts.assign(1, 0);
  m_feedStarts.assign(1, 0);
  const char* data = m_text.data();
  const std::size_t size = m_text.size();
  for (std::size_t i = 0; i < size; ++i) {
    const char c = data[i];
    if (c == '\n') {
      m_lineStarts.push_back(i + 1);
      m_feedStarts.push_back(i + 1);
    } else if (c == '\r' && (i + 1 == size || data[i + 1] != '\n')) {
      m_lineStarts.push_back(i + 1);
    }
  }
}

// The end of a protocol line's text, before its "\n", "\r\n" or "\r".
std::size_t TextDocument::LineEnd(std::size_t line) const {
  if (line + 1 >= m_lineStarts.size()) return m_text.size();
  std::size_t end = m_lineStarts[line + 1] - 1;
  if (m_text[end] == '\n' && end > m_lineStarts[line] && m_text[end - 1] == '\r') --end;
  return end;
}

std::size_t TextDocument::OffsetAt(const Position& position, PositionEncoding encoding) const {
  if (position.line < 0) return 0;
  if (position.line >= LineCount()) return m_text.size();
  const auto line = static_cast<std::size_t>(position.line);
  const std::size_t end = LineEnd(line);
  const auto wanted = static_cast<std::uint64_t>(std::max<std::int64_t>(position.character, 0));
  std::uint64_t units = 0;
  std::size_t i = m_lineStarts[line];
  while (i < end && units < wanted) {
    const Utf8Character c = DecodeUtf8Character(m_text, i);
    const std::uint64_t width =
        encoding == PositionEncoding::Utf8 ? c.bytes : static_cast<std::uint64_t>(c.utf16Units);
    if (units + width > wanted) break;
    units += width;
    i += c.bytes;
  }
  return std::min(i, end);
}

Position TextDocument::PositionAt(std::size_t offset, PositionEncoding encoding) const {
  offset = std::min(offset, m_text.size());
  const auto it = std::upper_bound(m_lineStarts.begin(), m_lineStarts.end(), offset);
  const auto line = static_cast<std::size_t>(it - m_lineStarts.begin()) - 1;
  const std::size_t stop = std::min(offset, LineEnd(line));
  std::int64_t units = 0;
  for (std::size_t i = m_lineStarts[line]; i < stop;) {
    const Utf8Character c = DecodeUtf8Character(m_text, i);
    units += encoding == PositionEncoding::Utf8 ? static_cast<std::int64_t>(c.bytes) : c.utf16Units;
    i += c.bytes;
  }
  return {static_cast<std::int64_t>(line), units};
}

void TextDocument::Edit(const Range& range, std::string_view text, PositionEncoding encoding) {
  std::size_t from = OffsetAt(range.start, encoding);
  std::size_t to = OffsetAt(range.end, encoding);
  if (to < from) std::swap(from, to);
  const std::size_t oldSize = m_text.size();
  m_text.replace(from, to - from, text);
  // A line starts after its terminator. The starts that the edit can change follow a character
  // from one before the edit (a "\r" there may now meet a "\n") to one after it; the rest keep
  // their place or move by the change in length.
  const std::size_t first = from > 0 ? from - 1 : 0;
  const std::size_t lastOld = std::min(to + 1, oldSize);
  const std::size_t lastNew = lastOld + text.size() - (to - from);
  Reindex(m_lineStarts, first, lastOld, lastNew, true);
  Reindex(m_feedStarts, first, lastOld, lastNew, false);
}

void TextDocument::Reindex(std::vector<std::size_t>& starts, std::size_t first, std::size_t lastOld,
                           std::size_t lastNew, bool carriageReturns) {
  const auto lo = std::upper_bound(starts.begin(), starts.end(), first);
  const auto hi = std::upper_bound(lo, starts.end(), lastOld);
  std::vector<std::size_t> found;
  const std::size_t size = m_text.size();
  for (std::size_t i = first; i < lastNew; ++i) {
    const char c = m_text[i];
    if (c == '\n' || (carriageReturns && c == '\r' && (i + 1 == size || m_text[i + 1] != '\n'))) {
      found.push_back(i + 1);
    }
  }
  for (auto it = hi; it != starts.end(); ++it) *it = *it - lastOld + lastNew;
  const auto at = starts.erase(lo, hi);
  starts.insert(at, found.begin(), found.end());
}

std::size_t TextDocument::CompileLineStart(int line) const {
  if (line < 1) return 0;
  if (static_cast<std::size_t>(line) > m_feedStarts.size()) return m_text.size();
  return m_feedStarts[static_cast<std::size_t>(line) - 1];
}

std::size_t TextDocument::CompileLineEnd(int line) const {
  if (line < 1) return 0;
  if (static_cast<std::size_t>(line) >= m_feedStarts.size()) return m_text.size();
  const std::size_t start = m_feedStarts[static_cast<std::size_t>(line) - 1];
  std::size_t end = m_feedStarts[static_cast<std::size_t>(line)] - 1;
  if (end > start && m_text[end - 1] == '\r') --end;
  return end;
}

int TextDocument::CompileLineAt(std::size_t offset) const {
  const auto it = std::upper_bound(m_feedStarts.begin(), m_feedStarts.end(), offset);
  return static_cast<int>(it - m_feedStarts.begin());
}

std::size_t TextDocument::Advance(std::size_t offset, std::size_t count, std::size_t limit) const {
  limit = std::min(limit, m_text.size());
  while (count > 0 && offset < limit) {
    offset += DecodeUtf8Character(m_text, offset).bytes;
    --count;
  }
  return std::min(offset, limit);
}

std::size_t TextDocument::CharactersBetween(std::size_t from, std::size_t to) const {
  to = std::min(to, m_text.size());
  std::size_t count = 0;
  while (from < to) {
    from += DecodeUtf8Character(m_text, from).bytes;
    ++count;
  }
  return count;
}

}  // namespace zelk::lsp

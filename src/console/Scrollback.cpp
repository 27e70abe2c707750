// SPDX-License-Identifier: MIT
#include "console/Scrollback.h"

#include <algorithm>
#include <cstring>

#include "console/DrawContext.h"
#include "console/ZelkDoc.h"

namespace zelk {

void Scrollback::PrintLine(std::string_view text) {
  // As a console line holds it: at most 255 characters, up to a terminator.
  text = text.substr(0, std::min<std::size_t>(text.find('\0'), LINE_CELLS));
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  m_lines.emplace_back(text);
  if (m_lines.size() > LIMIT) m_lines.pop_front();
  ++m_total;
}

std::int64_t ConsoleLines::First() const {
  return m_scrollback.Total() - static_cast<std::int64_t>(m_scrollback.Size());
}

std::string_view ConsoleLines::Text(std::int64_t number) const {
  const std::int64_t buffer = number - BufferStart();
  if (buffer >= 0) return buffer < CONSOLE_LINES ? m_doc.LineText(static_cast<int>(buffer)) : "";
  const std::int64_t kept = number - First();
  return kept >= 0 ? m_scrollback.Line(static_cast<std::size_t>(kept)) : "";
}

std::int64_t ConsoleLines::CursorLine() const {
  return BufferStart() + m_doc.CursorLine();
}

int ConsoleLines::MarkColumn() const {
  return m_doc.InputEnd();
}

void DrawScrolledBack(DrawContext& dc, const CZelkDoc& doc, const ConsoleLines& lines,
                      std::int64_t top) {
  dc.SetBkColor(0);
  dc.SelectFont(doc.Font());
  dc.SetBkColor(doc.BackgroundColor());
  dc.SetTextColor(doc.TextColor());
  char padded[LINE_CELLS];
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    const std::string_view text = lines.Text(top + i);
    std::memcpy(padded, text.data(), text.size());
    std::memset(padded + text.size(), ' ', LINE_CELLS - text.size());
    dc.TextOut(0, i * doc.Font().height, padded, LINE_CELLS);
  }
  dc.RestoreFont();
}

}  // namespace zelk

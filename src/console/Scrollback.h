// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <string_view>

#include "platform/LineSink.h"

namespace zelk {

class CZelkDoc;
class DrawContext;

// The lines that scrolled off the top of the console buffer, the newest last, at most LIMIT of
// them: a view beside the buffer, which stays as it is. The document hands each line over as it
// scrolls off (CZelkDoc::SetScrolledOff).
class Scrollback final : public LineSink {
 public:
  static constexpr std::size_t LIMIT = 5000;

  // Keeps the line (trailing blanks removed), dropping the oldest beyond the limit.
  void PrintLine(std::string_view text) override;

  std::size_t Size() const { return m_lines.size(); }
  // Line i of those kept, 0 the oldest.
  std::string_view Line(std::size_t i) const { return m_lines[i]; }
  // How many lines have scrolled off since the start, the dropped ones included.
  std::int64_t Total() const { return m_total; }

 private:
  std::deque<std::string> m_lines;
  std::int64_t m_total = 0;
};

// The text the console window can show, as one list of numbered lines: the kept lines, then the
// buffer's 50 lines. A line's number stays the same while the buffer scrolls (line 0 of the buffer
// is numbered Total() of the scrollback), so that a selection stays on its text.
class ConsoleLines {
 public:
  ConsoleLines(const CZelkDoc& doc, const Scrollback& scrollback)
      : m_doc(doc), m_scrollback(scrollback) {}

  // The number of the oldest line kept, and of line 0 of the buffer.
  std::int64_t First() const;
  std::int64_t BufferStart() const { return m_scrollback.Total(); }
  // The text of a line as it shows (before a terminator; the rest of its 255 cells are blanks).
  // Empty for a number outside the list.
  std::string_view Text(std::int64_t number) const;
  // The number of the line with the cursor, and the cell of the cursor mark on it: the cell
  // after the input, which holds the mark while the cursor stands at the end.
  std::int64_t CursorLine() const;
  int MarkColumn() const;

 private:
  const CZelkDoc& m_doc;
  const Scrollback& m_scrollback;
};

// The paint of the console scrolled back: the 50 rows from line number `top` on, drawn as the paint
// draws the buffer's 50 lines (the same font, colours, positions and 255 opaque cells a row).
void DrawScrolledBack(DrawContext& dc, const CZelkDoc& doc, const ConsoleLines& lines,
                      std::int64_t top);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <compare>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

class ConsoleLines;

// Selecting console text with the mouse, free of any window: which cell a pixel falls on, the
// words and lines a double or triple click takes, and the text a selection copies.

// A cell of the console: its row on the screen (0..49) and its column (0..254).
struct Cell {
  int row = 0;
  int column = 0;
  bool operator==(const Cell&) const = default;
};

// The cell under a pixel of the console. advance is the width the font really draws a character
// with, which is not a whole number of pixels (7.22 for a common 9-point font): columns are
// counted with it, so that a click far right on a line still hits the character under it.
Cell CellAt(double x, double y, double advance, int lineHeight);
// The boundary between two cells nearest to x, 0..255: where a drag starts or ends.
int BoundaryAt(double x, double advance);

// A place in the console text: a line number (ConsoleLines) and a boundary column 0..255, the
// place before that column's cell.
struct TextPosition {
  std::int64_t line = 0;
  int column = 0;
  auto operator<=>(const TextPosition&) const = default;
};

// The cells [begin, end) a double click on column takes in a line: a word (letters, digits and the
// characters of paths and numbers), a run of blanks, or one other character alone.
struct ColumnRange {
  int begin = 0;
  int end = 0;
  bool operator==(const ColumnRange&) const = default;
};
ColumnRange WordAt(std::string_view text, int column);
// The moves of Ctrl+Left and Ctrl+Right over a text: the start of the word before the column, and
// the end of the word from the column on, blanks skipped; 0 and the text's length when there is
// none. A word is a run of the characters a double click takes as one, or a run of the others
// (punctuation, control characters).
int PreviousWordStart(std::string_view text, int column);
int NextWordEnd(std::string_view text, int column);

// The columns of a line that the selection between two places (in either order) covers; an
// empty range for a line outside it.
ColumnRange SelectedColumns(TextPosition a, TextPosition b, std::int64_t line);

// The text between two places, in either order: the lines joined by line feeds, each without its
// trailing blanks; the cursor mark shows as a blank. Windows-1252, as the console holds it.
std::string SelectedText(const ConsoleLines& lines, TextPosition a, TextPosition b);

}  // namespace zelk

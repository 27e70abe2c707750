// SPDX-License-Identifier: MIT
#include "console/ConsoleSelection.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "console/Scrollback.h"
#include "console/ZelkDoc.h"

namespace zelk {
namespace {

int Clamp(double value, int low, int high) {
  if (!(value >= low)) return low;  // NaN too
  if (value > high) return high;
  return static_cast<int>(value);
}

// Which kind of run a double click takes the character into: 0 blanks, 1 word characters, and
// every other character a run of its own.
int CharClass(unsigned char c) {
  if (c == ' ') return 0;
  if (c < 32 || c == 127 || c == static_cast<unsigned char>(CURSOR_MARK)) return 256 + c;
  if (std::strchr("\"'()[]{}<>,;|`", c) != nullptr) return 256 + c;
  return 1;
}

}  // namespace

Cell CellAt(double x, double y, double advance, int lineHeight) {
  if (!(advance > 0)) advance = 1;
  if (lineHeight <= 0) lineHeight = 1;
  return {Clamp(std::floor(y / lineHeight), 0, CONSOLE_LINES - 1),
          Clamp(std::floor(x / advance), 0, LINE_CELLS - 1)};
}

int BoundaryAt(double x, double advance) {
  if (!(advance > 0)) advance = 1;
  return Clamp(std::floor(x / advance + 0.5), 0, LINE_CELLS);
}

ColumnRange WordAt(std::string_view text, int column) {
  column = std::clamp(column, 0, LINE_CELLS - 1);
  // The cells after the text show as blanks.
  auto at = [text](int i) {
    return static_cast<unsigned char>(static_cast<std::size_t>(i) < text.size() ? text[i] : ' ');
  };
  const int kind = CharClass(at(column));
  if (kind > 1) return {column, column + 1};
  ColumnRange range{column, column + 1};
  while (range.begin > 0 && CharClass(at(range.begin - 1)) == kind) --range.begin;
  while (range.end < LINE_CELLS && CharClass(at(range.end)) == kind) ++range.end;
  return range;
}

ColumnRange SelectedColumns(TextPosition a, TextPosition b, std::int64_t line) {
  if (b < a) std::swap(a, b);
  if (line < a.line || line > b.line) return {};
  return {line == a.line ? a.column : 0, line == b.line ? b.column : LINE_CELLS};
}

namespace {

// The runs a cursor moves over by words: 0 blanks, 1 word characters, 2 the others.
int MoveClass(unsigned char c) {
  const int kind = CharClass(c);
  return kind <= 1 ? kind : 2;
}

}  // namespace

int PreviousWordStart(std::string_view text, int column) {
  auto kind = [text](int at) { return MoveClass(static_cast<unsigned char>(text[at])); };
  int i = std::clamp(column, 0, static_cast<int>(text.size()));
  while (i > 0 && kind(i - 1) == 0) --i;
  if (i == 0) return 0;
  const int word = kind(i - 1);
  while (i > 0 && kind(i - 1) == word) --i;
  return i;
}

int NextWordEnd(std::string_view text, int column) {
  auto kind = [text](int at) { return MoveClass(static_cast<unsigned char>(text[at])); };
  const int size = static_cast<int>(text.size());
  int i = std::clamp(column, 0, size);
  while (i < size && kind(i) == 0) ++i;
  if (i == size) return size;
  const int word = kind(i);
  while (i < size && kind(i) == word) ++i;
  return i;
}

std::string SelectedText(const ConsoleLines& lines, TextPosition a, TextPosition b) {
  if (b < a) std::swap(a, b);
  std::string text;
  for (std::int64_t number = a.line; number <= b.line; ++number) {
    std::string line(lines.Text(number));
    if (number == lines.CursorLine()) {
      const auto mark = static_cast<std::size_t>(lines.MarkColumn());
      if (mark < line.size() && line[mark] == CURSOR_MARK) line[mark] = ' ';
    }
    const ColumnRange columns = SelectedColumns(a, b, number);
    const auto begin = static_cast<std::size_t>(columns.begin);
    const auto end = static_cast<std::size_t>(columns.end);
    line = begin < line.size() ? line.substr(begin, std::min(end, line.size()) - begin) : "";
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (number != a.line) text += '\n';
    text += line;
  }
  return text;
}

}  // namespace zelk

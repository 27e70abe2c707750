// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "console/ConsoleSelection.h"
#include "console/Scrollback.h"
#include "console/ZelkDoc.h"

namespace zelk::test {
namespace {

// A 9-point fixed-pitch font draws 7.22 pixels a character: the cell under a click is counted
// with that advance, never with the whole-pixel width 7, which is a character off from column 15.
TEST(ConsoleSelection, APixelFallsOnTheCellTheFontDrawsThere) {
  const double advance = 7.21875;
  for (const int column : {0, 1, 15, 16, 100, 200, 254}) {
    const double middle = (column + 0.5) * advance;
    EXPECT_EQ(CellAt(middle, 5, advance, 14), (Cell{0, column})) << column;
    EXPECT_EQ(CellAt(column * advance + 0.1, 14 * 3, advance, 14), (Cell{3, column})) << column;
    EXPECT_EQ(BoundaryAt(column * advance + 3.5, advance), column) << column;
    EXPECT_EQ(BoundaryAt(column * advance + 3.7, advance), column + 1) << column;
  }
  EXPECT_NE(std::floor((200 + 0.5) * advance / 7), 200);  // what a whole-pixel width would hit
  // Outside the console: the nearest cell.
  EXPECT_EQ(CellAt(-20, -5, advance, 14), (Cell{0, 0}));
  EXPECT_EQ(CellAt(5000, 5000, advance, 14), (Cell{49, 254}));
  EXPECT_EQ(BoundaryAt(5000, advance), 255);
  EXPECT_EQ(CellAt(NAN, 3, 0, 0), (Cell{3, 0}));
}

TEST(ConsoleSelection, ADoubleClickTakesAWordABlankRunOrOneMark) {
  const std::string line = "OK>sv_load_dir = \"/home/me/scenes\";  intro.scr:12: error";
  const struct {
    int column;
    const char* taken;
  } cases[] = {
      {0, "OK"}, {2, ">"},   {5, "sv_load_dir"},    {17, "\""}, {20, "/home/me/scenes"},
      {34, ";"}, {35, "  "}, {40, "intro.scr:12:"}, {200, ""},  // the blanks after the text, to the
                                                                // end of the line
  };
  for (const auto& c : cases) {
    const ColumnRange range = WordAt(line, c.column);
    const std::string padded = line + std::string(LINE_CELLS - line.size(), ' ');
    const std::string taken = padded.substr(range.begin, range.end - range.begin);
    if (c.column == 200) {
      EXPECT_EQ(range, (ColumnRange{static_cast<int>(line.size()), LINE_CELLS}));
    } else {
      EXPECT_EQ(taken, c.taken) << c.column;
    }
  }
}

TEST(ConsoleSelection, CopiesTheTextBetweenTwoPlacesWithoutTrailingBlanks) {
  CZelkDoc doc;
  Scrollback scrollback;
  doc.m_scrolledOff = &scrollback;
  doc.m_lastLine = 2;
  doc.ClearScreen();
  doc.PrintLine("kept line   ");
  doc.PrintLine("first");
  doc.PrintLine("second line");
  doc.CurrentLine()[3] = 'a';
  doc.CurrentLine()[4] = CURSOR_MARK;
  doc.m_curCol = 4;
  const ConsoleLines lines(doc, scrollback);
  ASSERT_EQ(lines.BufferStart(), 1);
  const struct {
    TextPosition from;
    TextPosition to;
    const char* text;
  } cases[] = {
      {{0, 0}, {0, 255}, "kept line"},
      {{0, 5}, {2, 3}, "line\nfirst\nsec"},
      {{2, 3}, {0, 5}, "line\nfirst\nsec"},  // dragged backwards
      {{1, 2}, {1, 2}, ""},
      {{1, 3}, {1, 200}, "st"},
      {{3, 0}, {3, 255}, "OK>a"},           // the cursor mark is not text
      {{-5, 0}, {0, 4}, "\n\n\n\n\nkept"},  // lines no longer kept are empty
  };
  for (const auto& c : cases) EXPECT_EQ(SelectedText(lines, c.from, c.to), c.text) << c.text;
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>

#include "console/ConsoleSelection.h"
#include "console/Scrollback.h"
#include "console/ZelkDoc.h"

namespace zelk::test {
namespace {

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
  doc.SetScrolledOff(&scrollback);
  doc.SetLastLine(2);
  doc.ClearScreen();
  doc.PrintLine("kept line   ");
  doc.PrintLine("first");
  doc.PrintLine("second line");
  doc.StoreAtCursor('a');
  doc.WriteCursorMark();
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

// SPDX-License-Identifier: MIT
#include "console/ZelkDoc.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk {
namespace {

// The 255 cells of a line without a terminator, as a text.
std::string Cells(const CZelkDoc& doc, int line) {
  const std::string text(doc.LineText(line));
  EXPECT_EQ(text.size(), static_cast<std::size_t>(LINE_CELLS)) << "line " << line;
  return text;
}

std::string Text(const CZelkDoc& doc, int line) { return std::string(doc.LineText(line)); }

const std::string kBlank(LINE_CELLS, ' ');

TEST(ZelkDoc, StartsBlankWithoutPromptAndWithItsDefaults) {
  CZelkDoc doc;
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    EXPECT_EQ(Cells(doc, i), kBlank) << "line " << i;
  }
  EXPECT_EQ(doc.CursorLine(), 0);
  EXPECT_EQ(doc.CursorColumn(), 3);
  EXPECT_EQ(doc.DrawMode(), DRAW_NORMAL);
  EXPECT_EQ(doc.TextColor(), 0x00AA00u);  // red 0, green 170, blue 0
  EXPECT_EQ(doc.BackgroundColor(), 0u);
  EXPECT_EQ(doc.Settings(), EnvironmentSettings{});
}

TEST(ZelkDoc, ClearScreenPutsThePromptOnLineZeroAndLeavesNoCursorBehind) {
  CZelkDoc doc;
  for (int i = 0; i < 7; ++i) doc.PrintLine("output");
  while (doc.StoreAtCursor('x')) {
  }
  doc.WriteCursorMark();
  ASSERT_EQ(doc.CursorLine(), 7);
  ASSERT_EQ(doc.CursorColumn(), 254);
  ASSERT_EQ(doc.LineText(7)[254], CURSOR_MARK);
  doc.SetDrawMode(DRAW_CLEAR);
  doc.ClearScreen();
  EXPECT_EQ(Cells(doc, 0), "OK>\xA4" + kBlank.substr(4));
  for (int i = 1; i < CONSOLE_LINES; ++i) EXPECT_EQ(Cells(doc, i), kBlank);
  EXPECT_EQ(doc.CursorLine(), 0);
  EXPECT_EQ(doc.CursorColumn(), 3);
  EXPECT_EQ(doc.DrawMode(), DRAW_CLEAR);  // the clear repeats until a key or AdvanceLine
}

TEST(ZelkDoc, PrintLineWritesOverThePromptAndOpensANewOne) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintLine("hello");
  EXPECT_EQ(Text(doc, 0), "hello");
  EXPECT_EQ(Text(doc, 1).substr(0, 4), "OK>\xA4");
  EXPECT_EQ(doc.CursorLine(), 1);
  EXPECT_EQ(doc.DrawMode(), DRAW_NORMAL);
  doc.PrintLine("");
  EXPECT_EQ(Text(doc, 1), "");  // shows as a blank line
  EXPECT_EQ(doc.CursorLine(), 2);
}

TEST(ZelkDoc, PrintLineCutsLongTextsAt255Characters) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintLine(std::string(300, 'x').c_str());
  EXPECT_EQ(Text(doc, 0), std::string(255, 'x'));
  EXPECT_EQ(Cells(doc, 1).substr(0, 4), "OK>\xA4");  // nothing ran over into the next line
  EXPECT_EQ(Cells(doc, 2), kBlank);
}

TEST(ZelkDoc, ScrollsWhenTheCurrentLineIsTheLastUsableOne) {
  CZelkDoc doc;
  doc.SetLastLine(30);
  doc.ClearScreen();
  for (int i = 0; i < 30; ++i) doc.PrintLine(("line " + std::to_string(i)).c_str());
  EXPECT_EQ(doc.CursorLine(), 30);
  EXPECT_EQ(Text(doc, 0), "line 0");
  doc.PrintLine("line 30");  // the 31st AdvanceLine scrolls
  EXPECT_EQ(doc.CursorLine(), 30);
  EXPECT_EQ(Text(doc, 0), "line 1");
  EXPECT_EQ(Text(doc, 29), "line 30");
  EXPECT_EQ(Cells(doc, 30).substr(0, 4), "OK>\xA4");
  EXPECT_EQ(Cells(doc, 49), kBlank);
}

TEST(ZelkDoc, ATallViewUsesAllFiftyLinesAndNeverMore) {
  CZelkDoc doc;
  doc.SetLastLine(60);  // a view taller than the buffer
  EXPECT_EQ(doc.LastLine(), 49);
  doc.ClearScreen();
  for (int i = 0; i < 120; ++i) {
    doc.PrintLine(std::to_string(i).c_str());
    ASSERT_LE(doc.CursorLine(), 49);
  }
  EXPECT_EQ(doc.CursorLine(), 49);
  EXPECT_EQ(Text(doc, 48), "119");
  EXPECT_EQ(Text(doc, 0), "71");
}

TEST(ZelkDoc, WhenTheUsableAreaShrinksTheCurrentLineMovesUpWithTheBuffer) {
  CZelkDoc doc;
  doc.ClearScreen();
  for (int i = 0; i < 40; ++i) doc.PrintLine(("line " + std::to_string(i)).c_str());
  doc.SetLastLine(30);  // the toolbar came back and the view shrank
  EXPECT_EQ(doc.CursorLine(), 30);
  EXPECT_EQ(Text(doc, 29), "line 39");
  EXPECT_EQ(Cells(doc, 30).substr(0, 4), "OK>\xA4");
  doc.PrintLine("a");
  EXPECT_EQ(doc.CursorLine(), 30);
  EXPECT_EQ(Text(doc, 29), "a");
  // A console lower than one line keeps its current line on line 0, scrolling at every line.
  doc.SetLastLine(-1);
  EXPECT_EQ(doc.CursorLine(), 0);
  doc.PrintLine("b");
  EXPECT_EQ(doc.CursorLine(), 0);
  EXPECT_EQ(Cells(doc, 0).substr(0, 4), "OK>\xA4");
}

TEST(ZelkDoc, RulesFillTheCurrentLine) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintRule(254);
  EXPECT_EQ(Cells(doc, 0), std::string(254, '-') + " ");
  doc.PrintRule(255);
  EXPECT_EQ(Cells(doc, 1), std::string(255, '-'));
  EXPECT_EQ(Cells(doc, 2).substr(0, 4), "OK>\xA4");
}

TEST(ZelkDoc, PrintFormatTakesValuesAsArgumentsNeverAsTheFormat) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintFormat("Parameters are %s", "+set x %d %s %n");
  EXPECT_EQ(Text(doc, 0), "Parameters are +set x %d %s %n");
}

}  // namespace
}  // namespace zelk

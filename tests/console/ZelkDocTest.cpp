// SPDX-License-Identifier: MIT
#include "console/ZelkDoc.h"

#include <gtest/gtest.h>

#include <string>

namespace zelk {
namespace {

std::string Cells(const CZelkDoc& doc, int line) {
  return std::string(doc.m_lines[line].data(), LINE_CELLS);
}

std::string Text(const CZelkDoc& doc, int line) { return doc.m_lines[line].data(); }

const std::string kBlank(LINE_CELLS, ' ');

TEST(ZelkDoc, StartsBlankWithoutPromptAndWithItsDefaults) {
  CZelkDoc doc;
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    EXPECT_EQ(Cells(doc, i), kBlank) << "line " << i;
    EXPECT_EQ(doc.m_lines[i][LINE_CELLS], '\0');
  }
  EXPECT_EQ(doc.m_curLine, 0);
  EXPECT_EQ(doc.m_curCol, 3);
  EXPECT_EQ(doc.m_drawMode, DRAW_NORMAL);
  EXPECT_EQ(doc.m_colorIntensity, 170);
  EXPECT_EQ(doc.TextColor(), 0x00AA00u);  // red 0, green 170, blue 0
  EXPECT_EQ(doc.m_bkColor, 0u);
  EXPECT_EQ(doc.m_settings, EnvironmentSettings{});
}

TEST(ZelkDoc, ClearScreenPutsThePromptOnLineZeroAndLeavesNoCursorBehind) {
  CZelkDoc doc;
  doc.m_curLine = 7;
  doc.m_curCol = 254;
  doc.m_lines[7][254] = CURSOR_MARK;
  doc.m_drawMode = DRAW_CLEAR;
  doc.ClearScreen();
  EXPECT_EQ(Cells(doc, 0), "OK>\xA4" + kBlank.substr(4));
  for (int i = 1; i < CONSOLE_LINES; ++i) EXPECT_EQ(Cells(doc, i), kBlank);
  EXPECT_EQ(doc.m_curLine, 0);
  EXPECT_EQ(doc.m_curCol, 3);
  EXPECT_EQ(doc.m_drawMode, DRAW_CLEAR);  // the clear repeats until a key or AdvanceLine
}

TEST(ZelkDoc, PrintLineWritesOverThePromptAndOpensANewOne) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintLine("hello");
  EXPECT_EQ(Text(doc, 0), "hello");
  EXPECT_EQ(Text(doc, 1).substr(0, 4), "OK>\xA4");
  EXPECT_EQ(doc.m_curLine, 1);
  EXPECT_EQ(doc.m_drawMode, DRAW_NORMAL);
  doc.PrintLine("");
  EXPECT_EQ(Text(doc, 1), "");  // shows as a blank line
  EXPECT_EQ(doc.m_curLine, 2);
}

TEST(ZelkDoc, PrintLineCutsLongTextsAt255Characters) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintLine(std::string(300, 'x').c_str());
  EXPECT_EQ(Text(doc, 0), std::string(255, 'x'));
  EXPECT_EQ(doc.m_lines[0][LINE_CELLS], '\0');
  EXPECT_EQ(Cells(doc, 1).substr(0, 4), "OK>\xA4");
}

TEST(ZelkDoc, ScrollsWhenTheCurrentLineIsTheLastUsableOne) {
  CZelkDoc doc;
  doc.m_lastLine = 30;
  doc.ClearScreen();
  for (int i = 0; i < 30; ++i) doc.PrintLine(("line " + std::to_string(i)).c_str());
  EXPECT_EQ(doc.m_curLine, 30);
  EXPECT_EQ(Text(doc, 0), "line 0");
  doc.PrintLine("line 30");  // the 31st AdvanceLine scrolls
  EXPECT_EQ(doc.m_curLine, 30);
  EXPECT_EQ(Text(doc, 0), "line 1");
  EXPECT_EQ(Text(doc, 29), "line 30");
  EXPECT_EQ(Cells(doc, 30).substr(0, 4), "OK>\xA4");
  EXPECT_EQ(Cells(doc, 49), kBlank);
}

TEST(ZelkDoc, ATallViewUsesAllFiftyLinesAndNeverMore) {
  CZelkDoc doc;
  doc.m_lastLine = 49;
  doc.ClearScreen();
  for (int i = 0; i < 120; ++i) {
    doc.PrintLine(std::to_string(i).c_str());
    ASSERT_LE(doc.m_curLine, 49);
  }
  EXPECT_EQ(doc.m_curLine, 49);
  EXPECT_EQ(Text(doc, 48), "119");
  EXPECT_EQ(Text(doc, 0), "71");
}

TEST(ZelkDoc, ALineBelowTheUsableAreaKeepsItsIndexAndScrolls) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.m_curLine = 40;
  doc.m_lastLine = 30;  // the toolbar came back and the view shrank
  doc.PrintLine("a");
  EXPECT_EQ(doc.m_curLine, 40);
  EXPECT_EQ(Text(doc, 39), "a");
}

TEST(ZelkDoc, RulesFillTheCurrentLine) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintRule(254);
  EXPECT_EQ(Cells(doc, 0), std::string(254, '-') + " ");
  doc.PrintRule(255);
  EXPECT_EQ(Cells(doc, 1), std::string(255, '-'));
  EXPECT_EQ(doc.m_lines[1][LINE_CELLS], '\0');
}

TEST(ZelkDoc, PrintFormatTakesValuesAsArgumentsNeverAsTheFormat) {
  CZelkDoc doc;
  doc.ClearScreen();
  doc.PrintFormat("Parameters are %s", "+set x %d %s %n");
  EXPECT_EQ(Text(doc, 0), "Parameters are +set x %d %s %n");
}

}  // namespace
}  // namespace zelk

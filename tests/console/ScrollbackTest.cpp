// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/ConsoleSelection.h"
#include "console/DrawContext.h"
#include "console/Scrollback.h"
#include "console/ZelkDoc.h"
#include "support/RecordingSink.h"

namespace zelk::test {
namespace {

// The lines that scroll off the top of the buffer are kept beside it; the buffer and the
// transcript do exactly what they did without them.
TEST(Scrollback, KeepsTheLinesThatScrollOffAndLeavesTheBufferAlone) {
  CZelkDoc plain;
  CZelkDoc kept;
  RecordingSink plainTranscript;
  RecordingSink keptTranscript;
  Scrollback scrollback;
  plain.m_transcript = &plainTranscript;
  kept.m_transcript = &keptTranscript;
  kept.m_scrolledOff = &scrollback;
  for (CZelkDoc* doc : {&plain, &kept}) {
    doc->m_lastLine = 30;
    doc->ClearScreen();
    for (int i = 0; i < 40; ++i) doc->PrintLine(("line " + std::to_string(i) + "   ").c_str());
  }
  EXPECT_EQ(kept.m_lines, plain.m_lines);
  EXPECT_EQ(keptTranscript.lines, plainTranscript.lines);
  ASSERT_EQ(scrollback.Size(), 10u);  // 40 lines on 31 usable ones: 10 scrolled off
  EXPECT_EQ(scrollback.Line(0), "line 0");
  EXPECT_EQ(scrollback.Line(9), "line 9");

  // Numbered as one list: the kept lines, then the buffer.
  const ConsoleLines lines(kept, scrollback);
  EXPECT_EQ(lines.First(), 0);
  EXPECT_EQ(lines.BufferStart(), 10);
  EXPECT_EQ(lines.Text(9), "line 9");
  EXPECT_EQ(lines.Text(10), "line 10   ");
  EXPECT_EQ(lines.Text(10 + 49), std::string(255, ' '));
  EXPECT_EQ(lines.Text(10 + 50), "");
  EXPECT_EQ(lines.Text(-1), "");
  EXPECT_EQ(lines.CursorLine(), 10 + 30);

  // A clear empties the buffer, not what was kept.
  kept.Clear();
  EXPECT_EQ(scrollback.Size(), 10u);
}

TEST(Scrollback, KeepsTheLast5000Lines) {
  Scrollback scrollback;
  for (int i = 0; i < 5003; ++i) scrollback.PrintLine(std::to_string(i));
  scrollback.PrintLine(std::string(300, 'x'));
  EXPECT_EQ(scrollback.Size(), Scrollback::LIMIT);
  EXPECT_EQ(scrollback.Total(), 5004);
  EXPECT_EQ(scrollback.Line(0), "4");
  EXPECT_EQ(scrollback.Line(Scrollback::LIMIT - 1), std::string(255, 'x'));

  CZelkDoc doc;
  const ConsoleLines lines(doc, scrollback);
  EXPECT_EQ(lines.First(), 4);
  EXPECT_EQ(lines.Text(3), "");  // dropped
  EXPECT_EQ(lines.Text(4), "4");
}

// Records the rows a paint draws.
class RowsDrawn final : public DrawContext {
 public:
  void SelectFont(const FontDescription&) override {}
  void RestoreFont() override {}
  void SetBkColor(std::uint32_t color) override { bkColor = color; }
  void SetTextColor(std::uint32_t color) override { textColor = color; }
  void TextOut(int x, int y, const char* text, int count) override {
    rows.push_back(std::to_string(x) + "," + std::to_string(y) + ":" + std::string(text, count));
  }
  std::vector<std::string> rows;
  std::uint32_t bkColor = 1;
  std::uint32_t textColor = 1;
};

TEST(Scrollback, ThePaintScrolledBackDrawsTheRowsAsTheBufferIsDrawn) {
  CZelkDoc doc;
  Scrollback scrollback;
  doc.m_scrolledOff = &scrollback;
  doc.ClearScreen();
  for (int i = 0; i < 52; ++i) doc.PrintLine(("out " + std::to_string(i)).c_str());
  const ConsoleLines lines(doc, scrollback);
  ASSERT_EQ(lines.BufferStart(), 3);

  RowsDrawn buffer;
  DrawScrolledBack(buffer, doc, lines, lines.BufferStart());
  RowsDrawn back;
  DrawScrolledBack(back, doc, lines, lines.BufferStart() - 2);
  ASSERT_EQ(back.rows.size(), 50u);
  const std::string blanks(250, ' ');
  EXPECT_EQ(back.rows[0], "0,0:out 1" + blanks);
  EXPECT_EQ(back.rows[2], "0,32:out 3" + blanks);
  EXPECT_EQ(back.rows[49], buffer.rows[47].replace(0, 5, "0,784"));
  EXPECT_EQ(back.textColor, doc.TextColor());
  EXPECT_EQ(back.bkColor, doc.m_bkColor);
}

}  // namespace
}  // namespace zelk::test

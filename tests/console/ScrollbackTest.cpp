// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
  plain.SetTranscript(&plainTranscript);
  kept.SetTranscript(&keptTranscript);
  kept.SetScrolledOff(&scrollback);
  for (CZelkDoc* doc : {&plain, &kept}) {
    doc->SetLastLine(30);
    doc->ClearScreen();
    for (int i = 0; i < 40; ++i) doc->PrintLine(("line " + std::to_string(i) + "   ").c_str());
  }
  for (int i = 0; i < CONSOLE_LINES; ++i) EXPECT_EQ(kept.LineText(i), plain.LineText(i)) << i;
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

}  // namespace
}  // namespace zelk::test

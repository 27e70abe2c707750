// SPDX-License-Identifier: MIT
#include "console/ZelkView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/DrawContext.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

using ZelkView = ConsoleFixture;

TEST_F(ZelkView, LowerCasesOutsideQuotesAndKeepsCaseInside) {
  Type("Say(\"Hello World\", 1, ATTN_NORM);X");
  EXPECT_EQ(Line(0), "OK>say(\"Hello World\", 1, attn_norm);x\xA4");  // quote mode is over
}

TEST_F(ZelkView, BytesFrom128UpAndControlCharactersAreStoredUnchanged) {
  Type(std::string("\xC4\x1B\n", 3));
  EXPECT_EQ(Line(0), "OK>\xC4\x1B\n\xA4");  // Escape is stored
  EXPECT_EQ(doc.CursorColumn(), 6);
}

TEST_F(ZelkView, TheInputLineHoldsAtMost251Characters) {
  Type(std::string(251, 'a'));
  EXPECT_EQ(doc.CursorColumn(), 254);
  EXPECT_EQ(Line(0), "OK>" + std::string(251, 'a') + "\xA4");
  Type("b");  // dropped
  EXPECT_EQ(doc.CursorColumn(), 254);
  EXPECT_EQ(Line(0), "OK>" + std::string(251, 'a') + "\xA4");
  EXPECT_EQ(Line(1), "");  // nothing ran over into the next line
  view.OnChar(8);
  EXPECT_EQ(doc.CursorColumn(), 253);
  EXPECT_EQ(std::string(doc.LineText(0)), "OK>" + std::string(250, 'a') + "\xA4 ");
  view.OnChar(13);
  EXPECT_EQ(doc.CursorLine(), 2);  // "Bad instruction or system data." printed on line 1
}

TEST_F(ZelkView, BackspaceAtThePromptOnlyRedrawsTheCursor) {
  view.OnChar(8);
  EXPECT_EQ(Line(0), "OK>\xA4");
  EXPECT_EQ(doc.CursorColumn(), 3);
}

TEST_F(ZelkView, BackspaceOverADoubleQuoteLeavesQuoteMode) {
  Type("\"A");
  EXPECT_EQ(Line(0), "OK>\"A\xA4");  // quote mode
  view.OnChar(8);
  view.OnChar(8);
  Type("AB");
  EXPECT_EQ(Line(0), "OK>ab\xA4");
}

TEST_F(ZelkView, EnterAndTabSubmitAndResetQuoteMode) {
  for (const unsigned char key : {13, 9}) {
    Type("\"Version");
    const int typedLine = doc.CursorLine();
    view.OnChar(key);
    EXPECT_EQ(Line(typedLine), "OK>\"Version");  // typed in quote mode
    EXPECT_EQ(Line(typedLine + 1), "Bad instruction or system data.");
    Type("X");
    EXPECT_EQ(Line(typedLine + 2), "OK>x\xA4") << int(key);  // quote mode is over
    view.OnChar(8);
  }
}

TEST_F(ZelkView, SubmitHandsThePaddedInputToTheInterpreterAndKeepsTheTypedLine) {
  Enter("Version");
  EXPECT_EQ(Line(0), "OK>version");
  EXPECT_EQ(Line(1), "Zelk Script Compiler Version 1.01");
  EXPECT_EQ(doc.CursorLine(), 4);
  EXPECT_EQ(Line(4), "OK>\xA4");
}

TEST_F(ZelkView, EnterOnAnEmptyPromptOpensANewPromptBelow) {
  view.OnChar(13);
  EXPECT_EQ(Line(0), "OK>");
  EXPECT_EQ(Line(1), "OK>\xA4");
  EXPECT_EQ(doc.Statement(), "");  // the interpreter trimmed the blanks away
}

TEST_F(ZelkView, EveryKeyRequestsARepaintWithoutErase) {
  platform.repaints.clear();
  ASSERT_EQ(doc.DrawMode(), DRAW_CLEAR);  // the clear of the creation
  Type("ab");
  EXPECT_EQ(platform.repaints, (std::vector<bool>{false, false}));
  EXPECT_EQ(doc.DrawMode(), DRAW_NORMAL);
}

TEST_F(ZelkView, CreationRecordsTheStartDirectoryAndRequestsAClear) {
  RecordingPlatform other;
  other.currentDirectory = dir.Path();
  CZelkDoc otherDoc;
  CZelkView otherView(otherDoc, other);
  otherView.OnCreate();
  EXPECT_EQ(otherView.StartDirHost(), dir.Path());
  EXPECT_EQ(otherView.StartDir(), dir.Path());
  EXPECT_EQ(otherDoc.DrawMode(), DRAW_CLEAR);
  EXPECT_EQ(other.repaints, std::vector<bool>{true});
}

// Records what the paint draws.
class RecordingDrawContext : public DrawContext {
 public:
  void SelectFont(const FontDescription& font) override { fonts.push_back(font.height); }
  void RestoreFont() override { ++restores; }
  void SetBkColor(std::uint32_t color) override { bkColor = color; }
  void SetTextColor(std::uint32_t color) override { textColor = color; }
  void TextOut(int x, int y, const char* text, int count) override {
    calls.push_back({x, y, std::string(text, static_cast<std::size_t>(count))});
  }
  struct Call {
    int x;
    int y;
    std::string text;
  };
  std::vector<int> fonts;
  int restores = 0;
  std::uint32_t bkColor = 1;
  std::uint32_t textColor = 1;
  std::vector<Call> calls;
};

TEST_F(ZelkView, TheCreatedViewPaintsFiftyPaddedLinesInGreenOnBlack) {
  CZelkDoc freshDoc;
  RecordingPlatform freshPlatform;
  freshPlatform.currentDirectory = dir.Path();
  CZelkView freshView(freshDoc, freshPlatform);
  freshView.SetClientHeight(500);
  freshView.OnCreate();
  EXPECT_EQ(freshPlatform.repaints, std::vector<bool>{true});
  RecordingDrawContext dc;
  freshView.OnDraw(dc);
  ASSERT_EQ(dc.calls.size(), 50u);
  EXPECT_EQ(dc.calls[0].text, "OK>\xA4" + std::string(251, ' '));
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(dc.calls[i].x, 0);
    EXPECT_EQ(dc.calls[i].y, i * 16);
    EXPECT_EQ(dc.calls[i].text.size(), 255u);
  }
  EXPECT_EQ(dc.textColor, 0x00AA00u);
  EXPECT_EQ(dc.bkColor, 0u);
  EXPECT_EQ(dc.fonts, std::vector<int>{16});
  EXPECT_EQ(dc.restores, 1);
  EXPECT_EQ(freshDoc.LastLine(), 30);  // 500 / 16 - 1
}

TEST_F(ZelkView, TheLastLineFollowsTheHeightAndThePaintChangesNothing) {
  struct Case {
    int height;
    short lastLine;
  };
  for (const Case c : {Case{500, 30}, Case{16, 0}, Case{800, 49}, Case{2000, 49}, Case{31, 0}}) {
    view.SetClientHeight(c.height);
    EXPECT_EQ(doc.LastLine(), c.lastLine) << c.height;
  }
  Type("abc");
  auto screen = [&] {
    std::vector<std::string> lines;
    for (int i = 0; i < CONSOLE_LINES; ++i) lines.emplace_back(doc.LineText(i));
    return lines;
  };
  const std::vector<std::string> before = screen();
  RecordingDrawContext dc;
  view.OnDraw(dc);
  EXPECT_EQ(screen(), before);
  EXPECT_EQ(doc.LastLine(), 0);
}

TEST_F(ZelkView, PaintShowsTextAfterATerminatorAsBlanks) {
  // A menu command's output overwrites text typed but not submitted: its terminator stands
  // before the rest of the typed text.
  Type(std::string(40, 'a'));
  view.RunBridge("version");
  ASSERT_EQ(Line(0), "Zelk Script Compiler Version 1.01");
  Type("b");
  Type(std::string("ZELK\0WORDS", 10));
  RecordingDrawContext dc;
  view.OnDraw(dc);
  EXPECT_EQ(dc.calls[0].text, "Zelk Script Compiler Version 1.01" + std::string(222, ' '));
  EXPECT_EQ(dc.calls[3].text, "OK>bzelk" + std::string(247, ' '));
}

TEST_F(ZelkView, SvColorChangesTheTextColourAtTheNextPaint) {
  Enter("sv_color 255");
  EXPECT_EQ(doc.CursorLine(), 1);  // no line written
  RecordingDrawContext dc;
  view.OnDraw(dc);
  EXPECT_EQ(dc.textColor, 0x00FF00u);
}

TEST_F(ZelkView, StatusBridgeFramesTheListingWithRulesAndTypedTextStays) {
  Type("abc");
  view.OnActionStatus();
  EXPECT_EQ(Line(0), std::string(255, '-'));
  EXPECT_EQ(Line(1), " -> Quake Dir:");
  EXPECT_EQ(Line(14), " -> Disconnect: OFF");
  EXPECT_EQ(Line(15), std::string(255, '-'));
  EXPECT_EQ(Line(16), "OK>\xA4");
  EXPECT_EQ(platform.repaints.back(), false);
}

TEST_F(ZelkView, BridgesWithoutOutputLeaveTheTypedTextAndCursor) {
  Type("abc");
  platform.dialog = [](EnvironmentSettings&) { return DialogResult::Cancelled; };
  view.RunBridge("env");
  EXPECT_EQ(platform.dialogRuns, 1);
  EXPECT_EQ(Line(0), "OK>abc\xA4");
  EXPECT_EQ(doc.CursorColumn(), 6);
  view.RunBridge("clear");
  EXPECT_EQ(doc.DrawMode(), DRAW_CLEAR);
  EXPECT_EQ(platform.repaints.back(), true);
  EXPECT_EQ(Line(0), "OK>\xA4");
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "console/ConsoleScreen.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "console/MenuCommands.h"
#include "console/OpenCompileCommands.h"
#include "support/RecordingPlatform.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

// A window that records what the screen asks of it and paints at once: 500 pixels high (31
// lines of 16 pixels), characters 8 pixels wide, a font that grows and shrinks by 2 pixels.
class RecordingWindow final : public ConsoleWindow {
 public:
  void InvalidateRows(const RowSet& rows, bool now) override {
    invalidated.push_back(rows.to_string());
    Paint(now);
  }
  void InvalidateAll(bool now) override {
    invalidated.emplace_back("all");
    Paint(now);
  }
  void Paint(bool now) {
    paintedNow.push_back(now);
    erased.push_back(screen->TakeEraseRequest());
  }
  void PostShowChanges() override { ++posted; }
  int ClientHeight() const override { return 500; }
  double CellAdvance() const override { return 8; }
  int NextFontHeight(const FontDescription& font, int direction) const override {
    const int next = font.height + 2 * direction;
    return next < MIN_FONT_HEIGHT || next > MAX_FONT_HEIGHT ? font.height : next;
  }
  ClickRules DoubleClickRules() const override { return {}; }
  std::string ClipboardText() const override { return clipboard; }
  void SetClipboardText(const std::string& utf8) override { clipboard = utf8; }

  std::vector<std::string> invalidated;  // "all", or the rows as bits, row 0 rightmost
  std::vector<bool> paintedNow;
  std::vector<bool> erased;
  int posted = 0;
  ConsoleScreen* screen = nullptr;
  std::string clipboard;
};

// The console's repaint requests go to the screen, as the desktop's platform sends them.
class ScreenPlatform final : public RecordingPlatform {
 public:
  void RequestRepaint(bool erase) override {
    RecordingPlatform::RequestRepaint(erase);
    if (screen != nullptr) screen->RequestRepaint(erase);
  }
  ConsoleScreen* screen = nullptr;
};

// The rows of a RowSet as ConsoleWindow receives them.
std::string Rows(std::initializer_list<int> rows) {
  RowSet set;
  for (const int row : rows) set.set(static_cast<std::size_t>(row));
  return set.to_string();
}

class ConsoleScreenTest : public ::testing::Test {
 protected:
  ConsoleScreenTest() : screen(doc, platform, window) {
    window.screen = &screen;
    platform.screen = &screen;
    platform.currentDirectory = dir.Path();
    screen.OnResize();
    screen.Create();
    screen.ShowPostedChanges();  // the window's first paint
    window.invalidated.clear();
  }

  void Type(const std::string& text) {
    for (const char c : text) screen.TypeCharacter(static_cast<unsigned char>(c));
  }
  std::string Line(int i) const {
    std::string text(doc.LineText(i));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }

  TempDir dir;
  ScreenPlatform platform;
  RecordingWindow window;
  CZelkDoc doc;
  ConsoleScreen screen;
};

// Each change asks for the paint of the rows whose picture changed, and only those.
TEST_F(ConsoleScreenTest, AChangeRepaintsTheRowsItChanged) {
  const struct {
    const char* name;
    std::function<void()> act;
    std::vector<std::string> invalidated;
  } cases[] = {
      {"a typed character", [&] { Type("v"); }, {Rows({0})}},
      {"Enter with output",
       [&] {
         Type("ersion");
         window.invalidated.clear();
         Type("\r");
       },
       {Rows({0, 1, 2, 3, 4})}},
      {"a key that changes nothing", [&] { screen.TypeCode(8); }, {}},
      {"a click selects nothing", [&] { screen.MousePress(8, 20, 1000); }, {}},
      {"a drag over two rows", [&] { screen.MouseDrag(40, 40); }, {Rows({1, 2})}},
      {"a larger font", [&] { screen.ZoomIn(); }, {"all"}},
      {"a typed character ends the selection", [&] { Type("c"); }, {Rows({1, 2, 4})}},
      {"a clear",
       [&] {
         Type("lear");
         window.invalidated.clear();
         window.erased.clear();
         Type("\r");
       },
       {"all"}},
      {"the repaint the clear posted", [&] { screen.ShowPostedChanges(); }, {}},
  };
  for (const auto& c : cases) {
    window.invalidated.clear();
    c.act();
    EXPECT_EQ(window.invalidated, c.invalidated) << c.name;
  }
  EXPECT_EQ(window.erased, std::vector<bool>{true});  // the clear erased the background
  EXPECT_EQ(Line(0), "OK>\xA4");
  EXPECT_GT(window.posted, 0);
}

// The keys the screen binds, as every window hands them over; the others do nothing there.
TEST_F(ConsoleScreenTest, TheBoundKeysAndWhatTheyDo) {
  for (int i = 0; i < 60; ++i) doc.PrintLine("line " + std::to_string(i));
  Type("version\r");  // 34 lines scrolled off the 31 usable ones
  window.clipboard = "Status\nclear";
  const struct {
    const char* name;
    KeyChord chord;
    bool handled;
    std::string input;  // at the prompt afterwards
    int scrolledBack;
    int fontHeight;
  } cases[] = {
      {"Up recalls", {Key::Up, MOD_NONE}, true, "version", 0, 16},
      {"Down goes back", {Key::Down, MOD_NONE}, true, "", 0, 16},
      {"Shift+Insert pastes the first line", {Key::Insert, MOD_SHIFT}, true, "status", 0, 16},
      {"Ctrl+Shift+V too", {Key::V, MOD_CTRL | MOD_SHIFT}, true, "statusstatus", 0, 16},
      // 27 and 25 usable lines: the prompt line moves up, 4 and 2 more lines scroll off.
      {"Ctrl+Plus", {Key::Plus, MOD_CTRL}, true, "statusstatus", 0, 18},
      {"Ctrl+Shift+Equal", {Key::Equal, MOD_CTRL | MOD_SHIFT}, true, "statusstatus", 0, 20},
      {"Ctrl+Minus", {Key::Minus, MOD_CTRL}, true, "statusstatus", 0, 18},
      {"Ctrl+0", {Key::Digit0, MOD_CTRL}, true, "statusstatus", 0, 16},
      {"Shift+PageUp: a page of 31 rows less one", {Key::PageUp, MOD_SHIFT}, true,
       "statusstatus", 30, 16},
      {"not beyond what is kept", {Key::PageUp, MOD_SHIFT}, true, "statusstatus", 40, 16},
      {"Shift+PageDown", {Key::PageDown, MOD_SHIFT}, true, "statusstatus", 10, 16},
      {"Ctrl+Shift+0 is no key of the console", {Key::Digit0, MOD_CTRL | MOD_SHIFT}, false,
       "statusstatus", 10, 16},
      {"nor is Alt+Up", {Key::Up, MOD_ALT}, false, "statusstatus", 10, 16},
      {"nor Ctrl+C, the window's accelerator", {Key::C, MOD_CTRL}, false, "statusstatus", 10, 16},
      {"nor Shift+Delete", {Key::Delete, MOD_SHIFT}, false, "statusstatus", 10, 16},
      {"Left edits, and returns the view to the prompt", {Key::Left, MOD_NONE}, true,
       "statusstatus", 0, 16},
      {"Home", {Key::Home, MOD_NONE}, true, "statusstatus", 0, 16},
      {"Delete removes the character under the cursor", {Key::Delete, MOD_NONE}, true,
       "tatusstatus", 0, 16},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(screen.OnKey(c.chord), c.handled) << c.name;
    EXPECT_EQ(doc.InputText(), c.input) << c.name;
    EXPECT_EQ(screen.ScrolledBack(), c.scrolledBack) << c.name;
    EXPECT_EQ(screen.FontHeight(), c.fontHeight) << c.name;
  }
  // A double click takes a word, which Ctrl+Shift+C copies; the copy types nothing.
  screen.ScrollBack(-100);
  const int row = doc.CursorLine() - 1;
  ASSERT_EQ(Line(row), "Written by the Zelk Team");
  screen.MouseDoubleClick(8 * 16 + 4, row * 16 + 8, 5000);
  EXPECT_TRUE(screen.OnKey({Key::C, MOD_CTRL | MOD_SHIFT}));
  EXPECT_EQ(window.clipboard, "Zelk");
  EXPECT_EQ(doc.InputText(), "tatusstatus");
}

// Keys as a test writes them: <L> <R> <H> <E> Left, Right, Home, End; <l> <r> Ctrl+Left and
// Ctrl+Right; <D> Delete; <B> Backspace; <U> Up; \r Enter; any other character typed.
void Press(ConsoleScreen& screen, const std::string& keys) {
  static const struct {
    const char* name;
    KeyChord chord;
  } named[] = {
      {"<L>", {Key::Left, MOD_NONE}},  {"<R>", {Key::Right, MOD_NONE}},
      {"<H>", {Key::Home, MOD_NONE}},  {"<E>", {Key::End, MOD_NONE}},
      {"<l>", {Key::Left, MOD_CTRL}},  {"<r>", {Key::Right, MOD_CTRL}},
      {"<D>", {Key::Delete, MOD_NONE}}, {"<U>", {Key::Up, MOD_NONE}},
  };
  for (std::size_t i = 0; i < keys.size(); ++i) {
    if (keys.compare(i, 3, "<B>") == 0) {
      screen.TypeCode(8);
      i += 2;
      continue;
    }
    bool bound = false;
    for (const auto& key : named) {
      if (keys.compare(i, 3, key.name) == 0) {
        EXPECT_TRUE(screen.OnKey(key.chord)) << key.name;
        i += 2;
        bound = true;
        break;
      }
    }
    if (!bound) screen.TypeCharacter(static_cast<unsigned char>(keys[i]));
  }
}

TEST_F(ConsoleScreenTest, TheEditingKeysEditTheInputLineAtTheCursor) {
  const std::string full(251, 'a');
  const struct {
    std::string keys;
    std::string line;  // the prompt line: the cursor mark only while the cursor is at the end
    int column;        // the cursor's
  } cases[] = {
      {"abc<L><L>X", "OK>axbc", 5},
      {"abc<L><L><L><L><L>", "OK>abc", 3},  // not before the prompt
      {"abc<R><R>", "OK>abc\xA4", 6},       // nor after the text
      {"abc<H><D>", "OK>bc", 3},
      {"abc<E><D>", "OK>abc\xA4", 6},  // Delete at the end removes nothing
      {"abc<L><B>", "OK>ac", 4},
      {"abc<H><B>", "OK>abc", 3},  // Backspace at the start removes nothing
      {"abc<H><E>", "OK>abc\xA4", 6},
      {"abc<L><D>", "OK>ab\xA4", 5},  // deleting the last character leaves the cursor at the end
      {"<L><R><H><E><D><l><r>x", "OK>x\xA4", 4},
      // Words of letters, digits and the characters of paths and numbers; a run of other
      // characters is a word of its own.
      {"walk(a); stop<l>", "OK>walk(a); stop", 12},
      {"walk(a); stop<l><l>", "OK>walk(a); stop", 9},
      {"walk(a); stop<l><l><l><l>", "OK>walk(a); stop", 7},
      {"walk(a); stop<H><r>", "OK>walk(a); stop", 7},
      {"walk(a); stop<H><r><r><r><r>", "OK>walk(a); stop", 11},
      {"walk(a);   stop<H><r><r><r><r><r>", "OK>walk(a);   stop\xA4", 18},
      // The quote state is that of the characters before the cursor; typed characters keep their
      // case when a quote is inserted or deleted before them.
      {"a\"B\"c<H>\"<E>D", "OK>\"a\"B\"cD\xA4", 10},
      {"\"A<H><D>B", "OK>bA", 4},
      {"say<E> \"Hi\"<L><L>X", "OK>say \"HXi\"", 10},
      // At most 251 characters, wherever the cursor is.
      {full + "<H>x", "OK>" + full, 3},
      {full + "<H><D>x", "OK>x" + full.substr(1), 4},
      {full + "x", "OK>" + full + "\xA4", 254},
      // A quote dropped from a full line opens no quote.
      {full + "\"<B>X", "OK>" + full.substr(1) + "x\xA4", 254},
  };
  for (const auto& c : cases) {
    doc.ClearScreen();
    Press(screen, c.keys);
    EXPECT_EQ(Line(0), c.line) << c.keys;
    EXPECT_EQ(doc.CursorColumn(), c.column) << c.keys;
  }
}

TEST_F(ConsoleScreenTest, EnterSubmitsTheWholeLineAndRecallPutsTheCursorAtTheEnd) {
  Press(screen, "vxrsion<H><R><D>e\r");
  EXPECT_EQ(Line(0), "OK>version");
  EXPECT_EQ(doc.Statement().substr(0, 7), "version");
  EXPECT_EQ(Line(1), "Zelk Script Compiler Version 1.01");
  Press(screen, "abc<H><U>");
  const int row = doc.CursorLine();  // below the version's lines
  EXPECT_EQ(Line(row), "OK>version\xA4");
  EXPECT_EQ(doc.CursorColumn(), 10);
  // The cell under the cursor is drawn inverted, and its row repainted as the cursor moves.
  Cell cell;
  EXPECT_FALSE(screen.InvertedCell(cell));
  window.invalidated.clear();
  Press(screen, "<l>");
  EXPECT_TRUE(screen.InvertedCell(cell));
  EXPECT_EQ(cell, (Cell{row, 3}));
  EXPECT_EQ(window.invalidated, std::vector<std::string>{Rows({row})});
  // Copy shows the line as it stands, without the mark and with nothing inverted.
  screen.MousePress(0, row * 16 + 8, 1000);
  screen.MouseDrag(20 * 8, row * 16 + 8);
  EXPECT_EQ(screen.SelectedText(), "OK>version");
  Press(screen, "<E>");
  EXPECT_FALSE(screen.InvertedCell(cell));
  // A menu command that prints over the typed text leaves no quote open on the new prompt.
  Press(screen, "<H>say \"A");
  screen.View().OnActionStatus();
  Press(screen, "B");
  EXPECT_EQ(Line(doc.CursorLine()), "OK>b\xA4");
}

TEST(MenuCommands, TheConsolesCommandsRunThroughTheTableAndTheWindowsOwnAreLeftToIt) {
  TempDir dir;
  RecordingPlatform platform;
  platform.currentDirectory = dir.Path();
  CZelkDoc doc;
  CZelkView view(doc, platform);
  view.OnCreate();
  platform.repaints.clear();
  EXPECT_TRUE(RunMenuCommand(view, ID_APP_EXIT));
  EXPECT_EQ(platform.closeRequests, 1);
  EXPECT_EQ(platform.repaints, std::vector<bool>{false});
  EXPECT_TRUE(RunMenuCommand(view, ID_FILE_COMPILE));
  ASSERT_EQ(platform.chooseFileCalls.size(), 1u);
  EXPECT_EQ(platform.chooseFileCalls[0].filter, COMPILE_FILTER);
  for (const int id : {+ID_APP_ABOUT, +ID_VIEW_TOOLBAR, +ID_VIEW_STATUS_BAR, +ID_FILE_MRU_FILE1, 0, 1}) {
    EXPECT_FALSE(RunMenuCommand(view, id)) << id;
  }
  // Every toolbar button is a command with a picture and a tooltip.
  for (const int id : ToolbarButtons()) {
    if (id == 0) continue;
    const MenuCommand* command = FindMenuCommand(id);
    ASSERT_NE(command, nullptr) << id;
    EXPECT_NE(command->icon, nullptr) << id;
    EXPECT_NE(command->tooltip, nullptr) << id;
  }
  EXPECT_EQ(FrameTitle(""), "Untitled - Zelk");
  EXPECT_EQ(FrameTitle("intro.scr"), "intro.scr - Zelk");
  EXPECT_EQ(RecentFileCaption(0, "/home/me/intro.scr"), "&1 /home/me/intro.scr");
}

}  // namespace
}  // namespace zelk::test

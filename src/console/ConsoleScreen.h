// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "console/CommandHistory.h"
#include "console/ConsoleKeys.h"
#include "console/ConsoleSelection.h"
#include "console/ConsoleWindow.h"
#include "console/Scrollback.h"
#include "console/ZelkView.h"

namespace zelk {

class DrawContext;
class Platform;

// The console as a desktop window shows it, free of any window: it owns the view (the key and
// paint rules) and adds what a console is expected to do today, none of which changes the buffer
// or the key rules: Up and Down recall earlier input lines; the mouse selects text, which
// Ctrl+Shift+C or the context menu copies; Ctrl+Shift+V, Shift+Insert or the context menu type
// the clipboard's first line; Ctrl+Plus, Ctrl+Minus and Ctrl+0 change the font size (and so the
// usable lines, as the window's height does); the mouse wheel and Shift+PageUp/PageDown read the
// lines that scrolled off the top; Left, Right, Home, End, Ctrl+Left, Ctrl+Right and Delete edit
// the input line. A key that types or edits returns the view to the prompt.
//
// A change is shown by asking the window to repaint only the rows whose picture changed since the
// last request. The window (ConsoleWindow) draws and hands over its keys, characters and mouse
// events; the screen decides what they do.
class ConsoleScreen {
 public:
  ConsoleScreen(CZelkDoc& doc, Platform& platform, ConsoleWindow& window);
  ~ConsoleScreen();
  ConsoleScreen(const ConsoleScreen&) = delete;
  ConsoleScreen& operator=(const ConsoleScreen&) = delete;

  // The view's creation steps (start-up directory, options file, first clear); once.
  void Create();
  // The view's destruction steps (the silent save of the options file); once. False when the
  // save failed: the program's error stream has said so, and LostSettingsText says why.
  bool Destroy();
  // What the user is told when the options file could not be saved at the end: why, which file,
  // and that the settings changed in the session are lost (UTF-8).
  std::string LostSettingsText() const;

  CZelkView& View() { return m_view; }
  const CZelkView& View() const { return m_view; }
  CZelkDoc& Doc() { return m_view.Doc(); }
  const CZelkDoc& Doc() const { return m_view.Doc(); }
  // The input lines for Up and Down; the window keeps them in the user's settings.
  CommandHistory& History() { return m_history; }

  // The console's repaint request (Platform::RequestRepaint): with erase, the whole view with the
  // background filled black first, otherwise the rows that changed, once control is back in the
  // window's event loop.
  void RequestRepaint(bool erase);
  // The window's call back for PostShowChanges: the changes painted there and then.
  void ShowPostedChanges();
  // The height of the window's console area changed.
  void OnResize();

  // Keyboard. A key the console binds (ScreenKeys) is carried out: true. A typed character as the
  // user's keyboard delivers it (Unicode) goes to the key rules as a Windows-1252 byte; a
  // character the code page cannot hold arrives as '?'. TypeCode hands over a code as it stands
  // (Backspace 8, Tab 9, Enter 13, Escape 27).
  bool OnKey(KeyChord chord);
  void TypeCharacter(char32_t codePoint);
  void TypeCode(unsigned char code);

  // The handlers of the bound keys.
  void Copy();
  void Paste();
  void ZoomIn() { Zoom(1); }
  void ZoomOut() { Zoom(-1); }
  void ZoomReset() { SetFontHeight(m_defaultFontHeight); }
  void PageBack();
  void PageForward();
  void RecallOlderLine();
  void RecallNewerLine();
  void CursorLeft() { Edit(CursorMove::Left); }
  void CursorRight() { Edit(CursorMove::Right); }
  void CursorHome() { Edit(CursorMove::Home); }
  void CursorEnd() { Edit(CursorMove::End); }
  void WordLeft() { Edit(CursorMove::WordLeft); }
  void WordRight() { Edit(CursorMove::WordRight); }
  void DeleteCharacter();

  // The console font's line height in pixels. Setting it (within 8 to 96, or the default) changes
  // the font and the usable lines follow; the default is the system's font, as the document
  // started with it.
  int FontHeight() const { return Doc().Font().height; }
  void SetFontHeight(int pixels);
  int DefaultFontHeight() const { return m_defaultFontHeight; }
  // The next larger (steps > 0) or smaller font sizes.
  void Zoom(int steps);

  // Mouse, at pixel positions in the console area, with the event's time in milliseconds. A
  // press of the left button soon after the last one at the same place is the next click (the
  // third of a triple click comes as a press after the double click); the selection takes a
  // boundary, a word or a line as it is the first, second or third click, and a drag extends it
  // by the same. MouseDrag is false when no selection is being made.
  void MousePress(double x, double y, std::uint64_t timeMs);
  void MouseDoubleClick(double x, double y, std::uint64_t timeMs);
  bool MouseDrag(double x, double y);
  void MouseRelease() { m_selecting = false; }
  // The wheel: delta in eighths of a degree (120 a notch; finer wheels send parts of one), and
  // the lines a notch scrolls.
  void Wheel(int delta, int linesPerNotch);

  bool HasSelection() const { return m_selectionBegin != m_selectionEnd; }
  // The selected text as the clipboard gets it (UTF-8, trailing blanks removed); empty without
  // a selection.
  std::string SelectedText() const;
  // Whether the clipboard holds text to paste.
  bool CanPaste() const { return !m_window.ClipboardText().empty(); }

  // How many lines the view is scrolled back from the buffer (0: the buffer as the paint rules
  // show it). Positive lines scroll back, negative forward, within what is kept.
  int ScrolledBack();
  void ScrollBack(int lines);

  // The paint: the 50 rows, scrolled back or not. The window draws the selection over it
  // (RowSelection, RowText) and, when TakeEraseRequest says so, fills the area it repaints black
  // first.
  void Paint(DrawContext& dc);
  bool TakeEraseRequest();
  // Whether the paint draws the rows at all (the draw mode is one of its two values).
  bool Drawn() const;
  // The selected columns and the text of row 0..49 as the view shows it.
  ColumnRange RowSelection(int row);
  std::string_view RowText(int row);
  // The cell the window draws inverted (the background colour on the text colour): the cell
  // under the cursor while it stands inside the input, on the row that shows it. False when there
  // is none (the cursor at the end shows as the mark after the text).
  bool InvertedCell(Cell& cell);

 private:
  // What one row of the view shows: its cells and the selected part of them.
  struct Row {
    std::array<char, LINE_CELLS> cells;
    short selectionBegin = 0;
    short selectionEnd = 0;
    short cursor = -1;  // the column drawn inverted, -1 for none
    bool operator==(const Row&) const = default;
  };
  // What every row depends on.
  struct Look {
    int lineHeight = 0;
    int weight = 0;
    bool italic = false;
    std::array<char, 32> face{};
    std::uint32_t textColor = 0;
    std::uint32_t bkColor = 0;
    bool drawn = false;
    bool operator==(const Look&) const = default;
  };

  // Asks for the paint of the rows that changed since the last request (all of them after an
  // erase request or a change of font or colours), at once or with the next paint.
  void ShowChanges(bool now = false);
  Look CurrentLook() const;
  Row CurrentRow(const ConsoleLines& lines, std::int64_t number) const;
  // The number of the line on the first row (ConsoleLines).
  std::int64_t TopLine();
  void ReturnToPrompt();
  // A cursor move, shown at the prompt.
  void Edit(CursorMove move);
  // The column of the cursor's inverted cell on the line of that number; -1 for none.
  int CursorCellOn(const ConsoleLines& lines, std::int64_t number) const;
  // The place under a position for the click count at hand (1 a boundary, 2 a word, 3 a line),
  // as the range it takes.
  void RangeAt(double x, double y, int clicks, TextPosition& begin, TextPosition& end);
  void Press(double x, double y, std::uint64_t timeMs, int clicks);
  int PageRows() const;

  CZelkView m_view;
  ConsoleWindow& m_window;
  Scrollback m_scrollback;
  CommandHistory m_history;
  int m_defaultFontHeight;

  // The view scrolled back, and the count of lines scrolled off when it last moved: lines that
  // scroll off meanwhile move it up with the text it shows.
  int m_scrolledBack = 0;
  std::int64_t m_scrollTotal = 0;
  int m_wheelDelta = 0;

  // The selection, between two places in the console text (in either order), and the range the
  // press took that a drag extends from.
  TextPosition m_selectionBegin;
  TextPosition m_selectionEnd;
  TextPosition m_pressBegin;
  TextPosition m_pressEnd;
  bool m_selecting = false;
  int m_clicks = 0;
  std::uint64_t m_lastPressTime = 0;
  double m_lastPressX = 0;
  double m_lastPressY = 0;

  // What the rows show once the paints asked for are done.
  std::array<Row, CONSOLE_LINES> m_shown{};
  Look m_shownLook;
  bool m_eraseRequested = false;
  bool m_eraseNext = false;
  bool m_showPosted = false;
  bool m_created = false;
  bool m_destroyed = false;
  // The error the failed save at the end left (errno), for LostSettingsText.
  int m_saveError = 0;
};

// A key the console binds and its handler. Adding a key is one row of ScreenKeys and a handler.
struct ScreenKey {
  KeyChord chord;
  void (ConsoleScreen::*run)();
};
std::span<const ScreenKey> ScreenKeys();

// The items of the console's context menu: the caption, the key shown beside it, what it does and
// when it can be chosen.
struct ContextCommand {
  const char* caption;
  KeyChord shortcut;
  void (ConsoleScreen::*run)();
  bool (ConsoleScreen::*enabled)() const;
};
std::span<const ContextCommand> ContextCommands();

}  // namespace zelk

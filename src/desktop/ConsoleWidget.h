// SPDX-License-Identifier: MIT
#pragma once

#include <QPointF>
#include <QWidget>
#include <array>
#include <cstdint>

#include "console/CommandHistory.h"
#include "console/ConsoleSelection.h"
#include "console/Scrollback.h"
#include "console/ZelkView.h"
#include "desktop/QtDrawContext.h"

namespace zelk {

class CZelkDoc;
class Platform;

// The console window: the black area that shows the document's 50 lines in green and takes the
// typed characters. It owns the platform-free CZelkView and hands it every paint and keystroke.
//
// Beside the view it offers what a console is expected to do today, none of which changes the
// buffer or the key rules: Up and Down recall earlier input lines; the mouse selects text, which
// Ctrl+Shift+C or the context menu copies; Ctrl+Shift+V, Shift+Insert or the context menu type the
// clipboard's first line; Ctrl+Plus, Ctrl+Minus and Ctrl+0 change the font size (and so the
// usable lines, as the window's height does); the mouse wheel and Shift+PageUp/PageDown read the
// lines that scrolled off the top. A key that types returns the view to the prompt.
//
// A change is shown by repainting only the rows whose picture changed since the last request.
class CConsoleWidget final : public QWidget {
  Q_OBJECT

 public:
  CConsoleWidget(CZelkDoc& doc, Platform& platform, QWidget* parent = nullptr);
  ~CConsoleWidget() override;

  // The view's creation steps (start-up directory, options file, first clear); once.
  void Create();
  // The view's destruction steps (the silent save of the options file); once. False when the
  // save failed: the program's error stream has said so, and LostSettingsText says why.
  bool Destroy();
  // What the user is told when the options file could not be saved at the end: which file, why,
  // and that the settings changed in the session are lost.
  QString LostSettingsText() const;

  // A repaint of the view; with erase, the whole view with the background filled black first,
  // otherwise the rows that changed.
  void RequestRepaint(bool erase);

  CZelkView& View() { return m_view; }

  // A typed character as the user's keyboard delivers it (Unicode), fed to the key rules as a
  // Windows-1252 byte; characters the code page cannot hold arrive as '?'.
  void TypeCharacter(char32_t codePoint);

  // The input lines for Up and Down; the main window keeps them in the user's settings.
  CommandHistory& History() { return m_history; }

  // The console font's line height in pixels. Setting it (within 8 to 96, or the default) changes
  // the font and the usable lines follow; the default is the system's fixed-pitch font.
  int FontHeight() const;
  void SetFontHeight(int pixels);
  int DefaultFontHeight() const { return m_defaultFontHeight; }
  // Ctrl+Plus and Ctrl+Minus: the next larger or smaller font size; Ctrl+0: the default.
  void Zoom(int steps);

  // The selected text, as the clipboard gets it (UTF-8, trailing blanks removed); empty without
  // a selection.
  QString SelectedText() const;
  // Ctrl+Shift+C and the context menu's Copy: the selection to the clipboard.
  void Copy();
  // Ctrl+Shift+V, Shift+Insert and the context menu's Paste: types the clipboard's first line.
  void Paste();

  // How many lines the view is scrolled back from the buffer (0: the buffer as the paint rules
  // show it). Positive lines scroll back, negative forward, within what is kept.
  int ScrolledBack();
  void ScrollBack(int lines);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key of the console

 private:
  // What one row of the view shows: its cells and the selected part of them.
  struct Row {
    std::array<char, LINE_CELLS> cells;
    short selectionBegin = 0;
    short selectionEnd = 0;
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
  CellMetrics Metrics() const;

  // A key that types: the view returns to the prompt and the selection goes, then the key rules.
  void TypeCode(unsigned char code);
  void ReturnToPrompt();
  // Whether the key is one of the console's own (history, copy, paste, zoom, scrollback); if so
  // it has been handled.
  bool HandleConsoleKey(const QKeyEvent& event);
  // The place under a mouse position, for the click count at hand (1 a boundary, 2 a word, 3 a
  // line), as the range it takes.
  void RangeAt(QPointF position, int clicks, TextPosition& begin, TextPosition& end);
  bool HasSelection() const { return m_selectionBegin != m_selectionEnd; }
  // A press of the left button as the clicks-th click: the selection starts with what it takes.
  void Press(const QMouseEvent& event, int clicks);

  CZelkView m_view;
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
  quint64 m_lastPressTime = 0;
  QPointF m_lastPressPosition;

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

}  // namespace zelk

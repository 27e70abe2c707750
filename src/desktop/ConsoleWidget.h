// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "console/ConsoleScreen.h"
#include "console/ConsoleWindow.h"

namespace zelk {

class CZelkDoc;
class Platform;

// The console window on Qt: the black area that shows the document's 50 lines in green. It draws
// and dispatches: its key, character, mouse and size events go to the platform-free console
// screen (ConsoleScreen), which decides what they do, and the screen's requests (the rows to
// repaint, the clipboard, the font's measures) come back through the ConsoleWindow operations.
class CConsoleWidget final : public QWidget, private ConsoleWindow {
  Q_OBJECT

 public:
  CConsoleWidget(CZelkDoc& doc, Platform& platform, QWidget* parent = nullptr);
  ~CConsoleWidget() override;

  ConsoleScreen& Screen() { return m_screen; }
  CZelkView& View() { return m_screen.View(); }

  // The view's creation and destruction steps (ConsoleScreen::Create, Destroy).
  void Create() { m_screen.Create(); }
  bool Destroy() { return m_screen.Destroy(); }
  // What the user is told when the options file could not be saved at the end.
  QString LostSettingsText() const;
  // The console's repaint request (ConsoleScreen::RequestRepaint).
  void RequestRepaint(bool erase) { m_screen.RequestRepaint(erase); }

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
  // ConsoleWindow
  void InvalidateRows(const RowSet& rows, bool now) override;
  void InvalidateAll(bool now) override;
  void PostShowChanges() override;
  int ClientHeight() const override { return height(); }
  double CellAdvance() const override;
  int NextFontHeight(const FontDescription& font, int direction) const override;
  ClickRules DoubleClickRules() const override;
  std::string ClipboardText() const override;
  void SetClipboardText(const std::string& utf8) override;

  void TypeText(const QString& text);

  ConsoleScreen m_screen;
};

}  // namespace zelk

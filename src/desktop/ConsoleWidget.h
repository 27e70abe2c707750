// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include "console/ZelkView.h"
#include "desktop/QtDrawContext.h"

namespace zelk {

class CZelkDoc;
class Platform;

// The console window: the black area that shows the document's 50 lines in green and takes the
// typed characters. It owns the platform-free CZelkView and hands it every paint and keystroke.
class CConsoleWidget final : public QWidget {
  Q_OBJECT

 public:
  CConsoleWidget(CZelkDoc& doc, Platform& platform, QWidget* parent = nullptr);
  ~CConsoleWidget() override;

  // The view's creation steps (start-up directory, options file, first clear); once.
  void Create();
  // The view's destruction steps (the silent save of the options file); once.
  void Destroy();

  // A repaint of the whole view; with erase, the background is filled with black first.
  void RequestRepaint(bool erase);

  CZelkView& View() { return m_view; }

  // A typed character as the user's keyboard delivers it (Unicode), fed to the key rules as a
  // Windows-1252 byte; characters the code page cannot hold arrive as '?'.
  void TypeCharacter(char32_t codePoint);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void inputMethodEvent(QInputMethodEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  bool focusNextPrevChild(bool) override { return false; }  // Tab is a key of the console

 private:
  CZelkView m_view;
  TextLayoutCache m_layouts;
  bool m_created = false;
  bool m_destroyed = false;
  bool m_erasePending = false;
};

}  // namespace zelk

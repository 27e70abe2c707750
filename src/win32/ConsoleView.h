// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include "console/ConsoleScreen.h"
#include "console/ConsoleWindow.h"
#include "win32/Win32Text.h"

namespace zelk {

// The console view of the Win32 window: a child window that draws the console screen with GDI
// and hands it the characters, the mouse and the bound keys. What they do is the screen's
// (ConsoleScreen), the same as in the Qt window.
class ConsoleView final : public ConsoleWindow {
 public:
  // The commands of the console's bound keys (ScreenKeys, one a row) and of its context menu.
  static constexpr WORD FIRST_SCREEN_KEY = 40000;
  static constexpr WORD FIRST_CONTEXT_COMMAND = 40100;
  // Posted to the view: show the changes (PostShowChanges).
  static constexpr UINT WM_SHOW_CHANGES = WM_APP + 1;

  ConsoleView(CZelkDoc& doc, Platform& platform);
  ~ConsoleView() override;

  // Registers the window class once and creates the view inside parent.
  bool Create(HWND parent, HINSTANCE instance);
  HWND Handle() const { return m_hwnd; }
  ConsoleScreen& Screen() { return m_screen; }
  // Runs the handler of a bound key or a context menu command; false for another number.
  bool RunCommand(WORD id);
  // The screen's scale changed: the font follows it.
  void ScaleFont(UINT oldDpi, UINT newDpi);

  // ConsoleWindow.
  void InvalidateRows(const RowSet& rows, bool now) override;
  void InvalidateAll(bool now) override;
  void PostShowChanges() override;
  int ClientHeight() const override;
  double CellAdvance() const override;
  int NextFontHeight(const FontDescription& font, int direction) const override;
  ClickRules DoubleClickRules() const override;
  std::string ClipboardText() const override;
  void SetClipboardText(const std::string& utf8) override;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  void TypeUnit(wchar_t unit);
  void Paint();
  void ShowContextMenu(LPARAM lParam);
  int CellWidth() const;

  ConsoleScreen m_screen;
  HWND m_hwnd = nullptr;
  Utf16Joiner m_joiner;
  // The cell width of the font last measured, by its height.
  mutable int m_measuredHeight = -1;
  mutable int m_cellWidth = 1;
};

}  // namespace zelk

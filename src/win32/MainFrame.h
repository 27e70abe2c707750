// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include <memory>
#include <string>

#include "win32/ConsoleView.h"
#include "win32/UserSettings.h"
#include "win32/Win32Platform.h"

namespace zelk {

// The main window of the Win32 program: the menu, the accelerators, the toolbar and the status
// bar around the console view, as the resources describe them; the whole frame in the monitor's
// work area, not resizable, and it can be minimized. The menu's commands run through the menu
// table (MenuCommands), as in the Qt window; the About box, the bars and the recent files are
// the frame's own.
class MainFrame {
 public:
  MainFrame(CZelkDoc& doc, Win32Platform& platform, RecentFileList& recentFiles);
  ~MainFrame();
  MainFrame(const MainFrame&) = delete;
  MainFrame& operator=(const MainFrame&) = delete;

  bool Create(HINSTANCE instance);
  HWND Handle() const { return m_hwnd; }
  HWND ToolBar() const { return m_toolBar; }
  HWND StatusBar() const { return m_statusBar; }
  ConsoleView& Console() { return m_console; }

  // The accelerators of the menu and of the console's keys; true when the message was one.
  bool TranslateKeys(MSG& message);
  // Names the frame after a document and makes it the first recent file; a file that cannot be
  // read is named in a message box with the reason and leaves the list: false.
  bool OpenDocument(const std::string& path);
  // Whether the file can be read; if not, a message box owned by owner names it with the reason.
  static bool CheckReadable(HWND owner, const std::string& path);
  // The frame's place: the whole window in the work area of the monitor it is on.
  RECT Placement() const;

 private:
  static LRESULT CALLBACK Procedure(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
  bool OnCreate();
  void OnCommand(WORD id);
  LRESULT OnNotify(NMHDR* header);
  void Layout();
  void ShowPrompt(UINT id);
  void ToggleBar(HWND bar, UINT id);
  void RebuildRecentFiles();
  void LoadToolBarImages();
  // Saves what the run leaves behind: the options file (told in a box when it fails, unless the
  // session ends), the recent files, the history and the font size.
  void SaveAtEnd(bool sessionEnding);

  CZelkDoc& m_doc;
  Win32Platform& m_platform;
  RecentFileList& m_recentFiles;
  ConsoleView m_console;
  HINSTANCE m_instance = nullptr;
  HWND m_hwnd = nullptr;
  HWND m_toolBar = nullptr;
  HWND m_statusBar = nullptr;
  HMENU m_fileMenu = nullptr;
  HACCEL m_menuKeys = nullptr;
  HACCEL m_screenKeys = nullptr;
  HIMAGELIST m_images = nullptr;
  UINT m_dpi = USER_DEFAULT_SCREEN_DPI;
  bool m_saved = false;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <span>
#include <string>
#include <string_view>

#include "console/ConsoleKeys.h"

namespace zelk {

class CZelkView;

// The command numbers of the menu items and toolbar buttons (and of their string-table texts).
enum CommandId : int {
  ID_HELP_HOME = 32772,
  ID_ACTION_CLEAR = 32773,
  ID_ACTION_STATUS = 32775,
  ID_HELP_CMDLIST = 32776,
  ID_ACTION_QUAKE2 = 32779,
  ID_ACTION_ENV = 32781,
  ID_HELP_SUPPORT = 32783,
  ID_FILE_OPEN_SOURCE = 32786,
  ID_ACTION_SAVE_OPTIONS = 32788,
  ID_ACTION_COMPILE_LAUNCH = 32789,
  ID_FILE_COMPILE = 57601,
  ID_FILE_MRU_FILE1 = 57616,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
};

// How an item starts out.
enum MenuFlag : unsigned {
  MENU_PLAIN = 0,
  MENU_CHECKED = 1,  // ticked (the bars, which start shown)
  MENU_GRAYED = 2,   // cannot be chosen (the recent-file placeholder)
};

// One row of the main window's menu, in menu order: the popup it belongs to, the command's
// number, its caption, its string-table texts (the status bar's prompt while the item or its
// button is highlighted, and the button's tooltip), its toolbar picture, the accelerator that
// runs it from anywhere in the window, and what it does. A row with number 0 is a separator.
//
// A command of the console has its handler here, the same in every window; the window's own
// commands (the About box, showing the bars, the recent files) have none, and each window
// carries them out itself.
struct MenuCommand {
  const char* menu;
  int id;
  const char* caption = nullptr;
  const char* prompt = nullptr;   // nullptr: no string-table entry, no prompt
  const char* tooltip = nullptr;  // nullptr: no tooltip
  const char* icon = nullptr;     // resources/toolbar/<icon>.svg
  KeyChord accelerator{};
  unsigned flags = MENU_PLAIN;
  void (*run)(CZelkView& view) = nullptr;
};

// The menu, top to bottom and popup after popup.
std::span<const MenuCommand> MenuCommands();
// The row of a command number; nullptr for none.
const MenuCommand* FindMenuCommand(int id);
// The toolbar's buttons from left to right by command number; 0 is a separator.
std::span<const int> ToolbarButtons();
// Carries out a command of the console; false when the number is the window's own (or none).
bool RunMenuCommand(CZelkView& view, int id);

// The application's title, and the status bar's text when nothing is highlighted.
inline constexpr const char* APPLICATION_TITLE = "Zelk";
inline constexpr const char* IDLE_PROMPT = "Ready";
// The window's title: the document's file name, or "Untitled" before one is opened, and the
// application's title ("intro.scr - Zelk").
std::string FrameTitle(std::string_view documentName);
// The caption of entry index (0..3) of the recent-file list: "&1 /home/me/intro.scr".
std::string RecentFileCaption(int index, std::string_view path);

}  // namespace zelk

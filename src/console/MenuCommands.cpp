// SPDX-License-Identifier: MIT
#include "console/MenuCommands.h"

#include "console/ConsoleCommands.h"
#include "console/OpenCompileCommands.h"
#include "console/Platform.h"
#include "console/ZelkView.h"

namespace zelk {
namespace {

// A bridge: the console word run as if it had been typed, and what it printed (the launch's echo
// line, say) shown at once, not only at the next keystroke.
void Bridge(CZelkView& view, const char* word) {
  view.RunBridge(word);
  view.Host().RequestRepaint(false);
}

void OnAppExit(CZelkView& view) { Bridge(view, "exit"); }
void OnActionClear(CZelkView& view) { Bridge(view, "clear"); }
void OnActionStatus(CZelkView& view) { view.OnActionStatus(); }
void OnActionQuake2(CZelkView& view) { Bridge(view, "quake2"); }
void OnActionEnv(CZelkView& view) { Bridge(view, "env"); }
void OnHelpHome(CZelkView& view) { Bridge(view, "home"); }
void OnHelpCommandList(CZelkView& view) { view.OnHelpCommandList(); }
void OnHelpSupport(CZelkView& view) {
  OpenPage(view, SupportPageUrl(), "support");
  view.Host().RequestRepaint(false);
}

constexpr const char* FILE_MENU = "&File";
constexpr const char* VIEW_MENU = "&View";
constexpr const char* ACTION_MENU = "&Action";
constexpr const char* HELP_MENU = "&Help";

// clang-format off
constexpr MenuCommand kMenu[] = {
  {FILE_MENU, ID_FILE_OPEN_SOURCE, "&Open...\tCtrl+O", "Open an existing source file for editing",
   "Open", "open", {Key::O, MOD_CTRL}, MENU_PLAIN, OnFileOpen},
  {FILE_MENU, ID_FILE_COMPILE, "&Compile..\tCtrl+C", "Compile an exisiting document for editing",
   "Compile", "compile", {Key::C, MOD_CTRL}, MENU_PLAIN, OnFileCompile},
  {FILE_MENU, 0},
  {FILE_MENU, ID_FILE_MRU_FILE1, "Recent File", "Open this document", nullptr, nullptr, {},
   MENU_GRAYED},
  {FILE_MENU, 0},
  {FILE_MENU, ID_APP_EXIT, "E&xit", "Quit the application", "Exit", nullptr, {}, MENU_PLAIN,
   OnAppExit},

  {VIEW_MENU, ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar", nullptr,
   {}, MENU_CHECKED},
  {VIEW_MENU, ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar",
   "Toggle StatusBar", nullptr, {}, MENU_CHECKED},

  {ACTION_MENU, ID_ACTION_CLEAR, "&Clear Screen", "Clear the screen", "Clear", "clear", {},
   MENU_PLAIN, OnActionClear},
  {ACTION_MENU, ID_ACTION_STATUS, "&Status", "Display the current environment variables",
   "Status", "status", {}, MENU_PLAIN, OnActionStatus},
  {ACTION_MENU, ID_ACTION_QUAKE2, "&Quake2", "Launch Quake2 session", "Launch Quake2", "quake2",
   {}, MENU_PLAIN, OnActionQuake2},
  {ACTION_MENU, ID_ACTION_COMPILE_LAUNCH, "Compile and &Launch\tF5",
   "Compile the source compiled or opened last (choose one first if there is none) and launch "
   "Quake2 if the compile succeeds",
   "Compile and Launch", "compile-launch", {Key::F5, MOD_NONE}, MENU_PLAIN, OnCompileAndLaunch},
  {ACTION_MENU, ID_ACTION_ENV, "&Environment...", "Display the environment dialog",
   "Environment", "environment", {}, MENU_PLAIN, OnActionEnv},
  {ACTION_MENU, ID_ACTION_SAVE_OPTIONS, "Sa&ve Options", nullptr, nullptr, nullptr, {},
   MENU_PLAIN, OnSaveOptions},

  {HELP_MENU, ID_HELP_HOME, "&Home...", "Go to the Zelk home page", "Home Page", "home", {},
   MENU_PLAIN, OnHelpHome},
  {HELP_MENU, ID_APP_ABOUT, "&About Zelk...",
   "Display program information, version number and copyright", "About", "about"},
  {HELP_MENU, ID_HELP_CMDLIST, "&Command List",
   "Display the available command list for the editor", "Command List", "cmdlist", {},
   MENU_PLAIN, OnHelpCommandList},
  {HELP_MENU, ID_HELP_SUPPORT, "&Support...", "Write to the Zelk support department", "Support",
   "support", {}, MENU_PLAIN, OnHelpSupport},
};

constexpr int kToolbar[] = {
  ID_FILE_OPEN_SOURCE, ID_FILE_COMPILE, 0,
  ID_ACTION_STATUS, ID_ACTION_CLEAR, ID_ACTION_ENV, ID_ACTION_QUAKE2, ID_ACTION_COMPILE_LAUNCH, 0,
  ID_HELP_HOME, ID_HELP_SUPPORT, ID_HELP_CMDLIST, ID_APP_ABOUT,
};
// clang-format on

}  // namespace

std::span<const MenuCommand> MenuCommands() {
  return kMenu;
}

const MenuCommand* FindMenuCommand(int id) {
  if (id == 0) return nullptr;
  for (const MenuCommand& command : kMenu) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

std::span<const int> ToolbarButtons() {
  return kToolbar;
}

bool RunMenuCommand(CZelkView& view, int id) {
  const MenuCommand* command = FindMenuCommand(id);
  if (command == nullptr || command->run == nullptr) return false;
  command->run(view);
  return true;
}

std::string FrameTitle(std::string_view documentName) {
  std::string title(documentName.empty() ? std::string_view("Untitled") : documentName);
  return title + " - " + APPLICATION_TITLE;
}

std::string RecentFileCaption(int index, std::string_view path) {
  return "&" + std::to_string(index + 1) + " " + std::string(path);
}

}  // namespace zelk

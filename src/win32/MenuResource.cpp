// SPDX-License-Identifier: MIT
// Writes the menu, the accelerator table and the string table of the Win32 window as resource
// script text, from the one table of the menu (MenuCommands): the window's resources and the Qt
// window's menu come from the same rows. The sources keep the text in resources/Menu.rc (the
// cross build has no program of the build machine to run), and a test checks that it is the text
// this program writes and that the toolbar's pictures are listed in the order of its buttons:
//   zelk_menu_rc                      the text, on standard output
//   zelk_menu_rc FILE                 the text, into FILE (to renew resources/Menu.rc)
//   zelk_menu_rc --check FILE ICONS   FILE holds the text, and ICONS ("open;compile;...") are
//                                     the toolbar's pictures from left to right
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>

#include "console/MenuCommands.h"

namespace zelk {
namespace {

// A resource script string: quotes doubled, tab and line break as escapes.
std::string Quoted(const char* text) {
  std::string out = "\"";
  for (const char* p = text; *p != '\0'; ++p) {
    if (*p == '"') {
      out += "\"\"";
    } else if (*p == '\t') {
      out += "\\t";
    } else if (*p == '\n') {
      out += "\\n";
    } else if (*p == '\\') {
      out += "\\\\";
    } else {
      out += *p;
    }
  }
  return out + "\"";
}

// The accelerator's key as the resource script names it: a letter or digit in quotes, a
// function key by its virtual key's name; "" for a key the script cannot name.
std::string AcceleratorKey(KeyChord chord) {
  const auto code = static_cast<unsigned>(chord.key);
  if ((code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z')) {
    return std::string("\"") + static_cast<char>(code) + "\"";
  }
  if (code >= static_cast<unsigned>(Key::F1) && code <= static_cast<unsigned>(Key::F12)) {
    return "VK_F" + std::to_string(code - static_cast<unsigned>(Key::F1) + 1);
  }
  return {};
}

// The toolbar's pictures from left to right, separated by ';'.
std::string ToolbarIcons() {
  std::string icons;
  for (const int id : ToolbarButtons()) {
    if (id == 0) continue;
    if (!icons.empty()) icons += ';';
    const MenuCommand* command = FindMenuCommand(id);
    icons += command != nullptr && command->icon != nullptr ? command->icon : "?";
  }
  return icons;
}

std::string MenuResourceText() {
  std::string rc =
      "// SPDX-License-Identifier: MIT\n"
      "// Written by zelk_menu_rc from the menu table of src/console/MenuCommands.cpp; do not "
      "edit.\n\n";
  rc += "IDR_MAINFRAME MENU\nBEGIN\n";
  const char* popup = nullptr;
  for (const MenuCommand& command : MenuCommands()) {
    if (popup == nullptr || std::strcmp(popup, command.menu) != 0) {
      if (popup != nullptr) rc += "    END\n";
      popup = command.menu;
      rc += "    POPUP " + Quoted(popup) + "\n    BEGIN\n";
    }
    if (command.id == 0) {
      rc += "        MENUITEM SEPARATOR\n";
      continue;
    }
    rc += "        MENUITEM " + Quoted(command.caption) + ", " + std::to_string(command.id);
    if (command.flags & MENU_CHECKED) rc += ", CHECKED";
    if (command.flags & MENU_GRAYED) rc += ", GRAYED";
    rc += "\n";
  }
  if (popup != nullptr) rc += "    END\n";
  rc += "END\n\n";

  rc += "IDR_MAINFRAME ACCELERATORS\nBEGIN\n";
  for (const MenuCommand& command : MenuCommands()) {
    if (command.accelerator.key == Key::None) continue;
    const std::string key = AcceleratorKey(command.accelerator);
    if (key.empty()) {
      std::cerr << "zelk_menu_rc: no resource name for the accelerator of " << command.id << "\n";
      std::exit(1);
    }
    rc += "    " + key + ", " + std::to_string(command.id) + ", VIRTKEY";
    if (command.accelerator.modifiers & MOD_SHIFT) rc += ", SHIFT";
    if (command.accelerator.modifiers & MOD_CTRL) rc += ", CONTROL";
    if (command.accelerator.modifiers & MOD_ALT) rc += ", ALT";
    rc += "\n";
  }
  rc += "END\n\n";

  // The document strings, the application's title and the idle prompt, then each command's
  // prompt and tooltip, split by a line break.
  rc += "STRINGTABLE\nBEGIN\n";
  const std::string title = APPLICATION_TITLE;
  rc += "    IDR_MAINFRAME " +
        Quoted((title + "\n\n" + title + "\n\n\n" + title + ".Document\n" + title + " Document")
                   .c_str()) +
        "\n";
  rc += "    AFX_IDS_APP_TITLE " + Quoted(APPLICATION_TITLE) + "\n";
  rc += "    AFX_IDS_IDLEMESSAGE " + Quoted(IDLE_PROMPT) + "\n";
  for (const MenuCommand& command : MenuCommands()) {
    if (command.id == 0 || command.prompt == nullptr) continue;
    std::string text = command.prompt;
    if (command.tooltip != nullptr) text += std::string("\n") + command.tooltip;
    rc += "    " + std::to_string(command.id) + " " + Quoted(text.c_str()) + "\n";
  }
  rc += "END\n";
  return rc;
}

int Check(const char* path, const std::string& icons) {
  std::ifstream in(path, std::ios::binary);
  const std::string kept((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  int status = 0;
  if (!in.good() && !in.eof()) {
    std::cerr << "zelk_menu_rc: cannot read " << path << "\n";
    return 1;
  }
  if (kept != MenuResourceText()) {
    std::cerr << path << " is not the menu table's resource script any more; renew it with\n"
              << "  zelk_menu_rc " << path << "\n";
    status = 1;
  }
  if (icons != ToolbarIcons()) {
    std::cerr << "the build draws the toolbar's pictures as " << icons
              << "; the buttons are " << ToolbarIcons() << "\n";
    status = 1;
  }
  return status;
}

}  // namespace
}  // namespace zelk

int main(int argc, char** argv) {
  if (argc == 4 && std::strcmp(argv[1], "--check") == 0) return zelk::Check(argv[2], argv[3]);
  const std::string text = zelk::MenuResourceText();
  if (argc < 2) {
    std::cout << text;
    return 0;
  }
  std::ofstream out(argv[1], std::ios::binary);
  out << text;
  out.close();
  if (!out) {
    std::cerr << "zelk_menu_rc: cannot write " << argv[1] << "\n";
    return 1;
  }
  return 0;
}


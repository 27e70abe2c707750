// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace zelk {

class ConsoleScreen;

// Where the window keeps what it remembers for the user, under HKEY_CURRENT_USER, as the
// original's framework kept its recent-file list: the list in "Recent File List" (File1 to
// File4), the console's input history and font size in "Console" beside it.
inline constexpr const wchar_t* SETTINGS_KEY =
    L"Software\\Local AppWizard-Generated Applications\\Zelk";

// The recent-file list: four full paths (UTF-8), the last opened first.
class RecentFileList {
 public:
  static constexpr int SIZE = 4;
  void Load();
  void Save() const;
  // Makes the file the first entry (its full path; once, whatever its letter case).
  void Add(const std::string& path);
  void Remove(const std::string& path);
  const std::vector<std::string>& Files() const { return m_files; }

 private:
  std::vector<std::string> m_files;
};

// The input history and the font height of the last run, into the screen and back.
void LoadConsoleSettings(ConsoleScreen& screen);
void SaveConsoleSettings(ConsoleScreen& screen);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelk {

class CZelkView;
struct EnvironmentSettings;

// The two filters of the file-selection dialogs, in the "Description|pattern|...||" form.
inline constexpr const char* OPEN_FILTER = "Scripts (*.SCR)|*.scr||";
inline constexpr const char* COMPILE_FILTER =
    "Scripts (*.SCR)|*.scr|Binary (*.BIN)|*.bin|Config (*.CFG)|*.cfg||";

// One choice of a filter: its description and its pattern ("Scripts (*.SCR)", "*.scr").
struct FileTypeFilter {
  std::string description;
  std::string pattern;
  bool operator==(const FileTypeFilter&) const = default;
};
// The choices of a filter, in order, up to the closing "||" (an empty description) or the end of
// the text, for the window's dialog to show in its own form. A text left after the last "|" is
// no choice.
std::vector<FileTypeFilter> SplitFileFilter(std::string_view filter);

// Makes the directory of a chosen file the load directory: the text up to its last separator,
// ending in a backslash ("c:\work\intro.scr" gives "c:\work\", "/home/me/intro.scr" gives
// "/home/me\"). A file without any directory leaves the load directory empty, which stands for
// the current directory. Returns false, changing nothing, when the directory is longer than the
// 255 characters the setting holds.
bool TakeOverDirectory(EnvironmentSettings& settings, const std::string& fullPath);

// File > Open: opens a chosen source file in the external script editor.
void OnFileOpen(CZelkView& view);

// File > Compile: compiles a chosen source file, or names a chosen configuration file.
void OnFileCompile(CZelkView& view);

// Action > Compile and Launch: compiles the source compiled or opened last in this run as File >
// Compile does (choosing one in the Compile dialog first when there is none yet), and runs the
// quake2 command when the compile succeeded.
void OnCompileAndLaunch(CZelkView& view);

}  // namespace zelk

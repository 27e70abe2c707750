// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zelk {

class CZelkView;
struct EnvironmentSettings;

// The two filters of the file-selection dialogs, in the "Description|pattern|...||" form.
inline constexpr const char* OPEN_FILTER = "Scripts (*.SCR)|*.scr||";
inline constexpr const char* COMPILE_FILTER =
    "Scripts (*.SCR)|*.scr|Binary (*.BIN)|*.bin|Config (*.CFG)|*.cfg||";

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

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zelk {

class CZelkView;
struct ParsedStatement;

// Carries out a well-formed environment command typed at the console (or run by a menu): the
// setting with its confirmation, the text colour, or a compile.
void RunSettingCommand(CZelkView& view, const ParsedStatement& statement);

// Builds the document's source and output paths from the directories and the name ("%s%s.scr",
// "%s%s.dat"). Prints a message and returns false, changing nothing, when a path would be longer
// than the 255 characters a path holds.
bool SetCompilePaths(CZelkView& view, const std::string& loadDir, std::string_view name);

// Counts a compile that did not succeed for a reason other than its source (a file that cannot
// be opened or written, a path that is too long) and hands the console's line about it to the
// platform's report, with the file it is about (a Zelk path text).
void CountFailedCompile(CZelkView& view, const std::string& file, const std::string& message);

// Compiles the document's source into its output between two separator lines, with the heading
// line after the first one when there is one: the failed-compile notice (the error sound or the
// message box) and the line number when the source has an error, then the result. Counts a
// compile that does not succeed. True when the compiled file is complete.
bool RunCompile(CZelkView& view, const char* heading);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Process.h"

namespace zelk {

class CZelkDoc;
class CZelkView;

// Carries out the console line that stands in the document's statement line: one of the nine
// console words, or a table command through the statement parser.
void ExecuteConsoleLine(CZelkView& view);

// Prints the next page of the command listing, at most m_lastLine lines.
void PrintCommandList(CZelkDoc& doc);

// The Save Options command: saves the options file and says where, or that it could not.
void OnSaveOptions(CZelkView& view);

// Opens a page in the browser, and says on the console when it cannot be opened:
// "Cannot open ADDRESS: WHY" (or "Cannot open the NAME page: WHY" when it has no address).
void OpenPage(CZelkView& view, const std::string& url, const char* pageName);

// Starts a program without waiting for it, and says on the console when it cannot be started:
// "Cannot start the program (WHY): PROGRAM".
void StartProgramOrSay(CZelkView& view, const ProgramStart& start);

// The maker's home page: the environment variable ZELK_HOME_URL when it is set, else the
// address configured at build time; when neither is, the language reference (below), or "" when
// that is not found either.
const char* HomePageUrl();
// The maker's support page; empty when none is configured.
const char* SupportPageUrl();

// Where the language reference lives, relative to a tree that holds the program: share/zelk/.
inline constexpr const char* REFERENCE_DATA_DIR = "share/zelk";
inline constexpr const char* REFERENCE_FILE_NAME = "zelk-reference.html";

// The language reference of the program in executableDir: share/zelk/zelk-reference.html one
// or two levels up (bin/zelk and libexec/zelk/zelk-desktop of an installed tree; src/ of a build
// tree). "" when there is none.
std::string FindReferencePage(const std::string& executableDir);

// The file:// address of a host path, percent-encoded; "" for "".
std::string FileUrl(const std::string& path);

}  // namespace zelk

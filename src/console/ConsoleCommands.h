// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

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
// "Cannot start PROGRAM: WHY". program and workingDir are host paths.
void StartProgramOrSay(CZelkView& view, const std::string& program,
                       const std::vector<std::string>& arguments, const std::string& workingDir);

// The maker's home page; when none is configured, the language reference (below).
const char* HomePageUrl();
// The maker's support page; empty when none is configured.
const char* SupportPageUrl();

// The file:// address of the language reference: the installed file when it exists, otherwise
// the copy in the build tree; empty when the build names neither.
std::string ReferencePageUrl(const std::string& installedPath, const std::string& builtPath);

}  // namespace zelk

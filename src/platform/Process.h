// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// Starting other programs, and the process's own place: how Zelk reaches Quake2, the script
// editor and the browser, never through a shell.
namespace zelk {

// Whether a program or a page could be started, and if not, why (host text, e.g. "No such file
// or directory"). What the started program does afterwards is not known.
struct StartResult {
  bool started = true;
  std::string reason;

  static StartResult Failed(std::string why) { return {false, std::move(why)}; }
};

// Why a page did not open: no address is configured for it, or no program opens pages.
inline constexpr const char* NO_ADDRESS_REASON = "no address is configured for it";
inline constexpr const char* NO_PAGE_OPENER_REASON = "no program to open web pages was found";

// Splits a parameter text into arguments by the usual quoting rules: blanks and tabs separate
// arguments; a double quote opens or closes a quoted part in which they are kept; three double
// quotes in a row stand for one literal double quote; empty arguments are dropped. This is the
// rule of QProcess::splitCommand, kept here so that every platform starts programs alike. Only
// the ASCII blank and tab separate, so the text may be Windows-1252 or UTF-8: no letter is ever
// cut.
std::vector<std::string> SplitCommand(const std::string& text);

// Starts program with the arguments in workingDir (the current directory when empty), detached:
// the new process is not our child and is never waited for. A program name without '/' is
// looked up in PATH; a relative path is taken from the current directory, before the new process
// changes into its working directory. Reports why the program could not be started (a failed
// look-up, change of directory or exec), with the system's text for the error.
StartResult StartDetachedProcess(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::string& workingDir);

// The full path of an executable found in PATH ("" when none).
std::string FindInPath(const std::string& program);

// The process's current directory as a host path ("" if it cannot be read), kept whole however
// long it is.
std::string ReadCurrentDirectory();

// The directory that holds the running program ("" if it cannot be found).
std::string ExecutableDirectory();

}  // namespace zelk

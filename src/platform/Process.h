// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

// Starting other programs, and the process's own place: how Zelk reaches Quake2, the script
// editor and the browser, never through a shell. Each host implements it (posix/Programs.cpp,
// windows/Programs.cpp).
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

// A program to start and what it receives.
struct ProgramStart {
  // A host path; a name without a directory is looked for along PATH.
  std::string program;
  // The parameter text as the settings hold it (Windows-1252). Each host passes it its own way:
  // POSIX splits it into arguments by SplitCommand, Windows gives it whole as the rest of the
  // command line, where the program's runtime splits it.
  std::string parameters;
  // Arguments after the parameter text (host texts), each arriving whole, spaces and all.
  std::vector<std::string> arguments;
  // The program's working directory (a host path); the current directory when empty.
  std::string workingDir;

  bool operator==(const ProgramStart&) const = default;
};

// A command setting cut into its program and the parameter text after it, by the host's
// command-line rules (POSIX: those of SplitCommand; Windows: those of CommandLineToArgvW for the
// program's part). Both stay in the setting's code page; program is "" when the text holds none.
struct CommandText {
  std::string program;
  std::string parameters;
};
CommandText SplitProgramFromCommand(const std::string& command);

// Splits a parameter text into arguments by the usual quoting rules: blanks and tabs separate
// arguments; a double quote opens or closes a quoted part in which they are kept; three double
// quotes in a row stand for one literal double quote; empty arguments are dropped. This is the
// rule of QProcess::splitCommand, kept here so that every program on POSIX is started alike. Only
// the ASCII blank and tab separate, so the text may be Windows-1252 or UTF-8: no letter is ever
// cut.
std::vector<std::string> SplitCommand(const std::string& text);
// The first argument of text by the rule of SplitCommand, from pos on; pos moves past it and the
// blank that ends it. False when no argument is left.
bool NextCommandArgument(const std::string& text, std::size_t& pos, std::string& argument);

// Starts the program detached: the new process is not our child and is never waited for. A
// relative program path is taken from the current directory, before the new process changes into
// its working directory. Reports why the program could not be started (a failed look-up, change
// of directory or start), with the system's text for the error.
StartResult StartDetachedProcess(const ProgramStart& start);

// Opens a web address with the desktop's opener of addresses.
StartResult OpenWebPage(const std::string& url);

// Hands the run over to another program with this run's arguments (argv[0] aside). POSIX:
// this process becomes the program and the call returns only when that fails; Windows: the
// program is started beside this one, and the call returns at once.
StartResult HandOverTo(const std::string& program, char** argv);

// The arguments of this run as host texts (UTF-8), argv[0] first: POSIX takes argv as it is;
// Windows reads the wide command line, since argv holds only what the ANSI code page can show.
std::vector<std::string> RunArguments(int argc, char** argv);

// True when the host path names a file this process may run.
bool IsRunnable(const std::string& hostPath);

// The name of a program file on this host: name itself on POSIX, name + ".exe" on Windows.
std::string ProgramFileName(const std::string& name);

// The full path of an executable found in PATH ("" when none).
std::string FindInPath(const std::string& program);

// The process's current directory as a host path ("" if it cannot be read), kept whole however
// long it is.
std::string ReadCurrentDirectory();

// The directory that holds the running program ("" if it cannot be found).
std::string ExecutableDirectory();

}  // namespace zelk

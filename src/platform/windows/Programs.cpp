// SPDX-License-Identifier: MIT
#include "platform/Process.h"

#include <windows.h>
#include <shellapi.h>

#include <vector>

#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/windows/Wide.h"

// Programs on a Windows host, started as ShellExecuteA started them for the original: the
// command line is the quoted program path and the parameter text, whole; the program's runtime
// splits it. Arguments that must arrive whole are quoted by the rules of CommandLineToArgvW.
namespace zelk {
namespace {

using windows::Narrow;
using windows::SystemErrorText;
using windows::Widen;

bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

// One argument quoted so that CommandLineToArgvW (and the C runtime) give it back unchanged.
std::wstring QuoteArgument(const std::wstring& argument) {
  if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos) {
    return argument;
  }
  std::wstring quoted = L"\"";
  std::size_t backslashes = 0;
  for (const wchar_t c : argument) {
    if (c == L'\\') {
      ++backslashes;
      continue;
    }
    // Backslashes before a quote are doubled, and the quote escaped.
    quoted.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    backslashes = 0;
    quoted += c;
  }
  // Before the closing quote too.
  quoted.append(backslashes * 2, L'\\');
  quoted += L'"';
  return quoted;
}

// Where the program part of a command line ends, by the rule of CommandLineToArgvW for it: a
// quoted part up to the next quote, else up to the first blank.
std::size_t ProgramEnd(const std::wstring& line, std::size_t start, std::wstring& program) {
  std::size_t pos = start;
  if (pos < line.size() && line[pos] == L'"') {
    const std::size_t close = line.find(L'"', pos + 1);
    program = line.substr(pos + 1, close == std::wstring::npos ? std::wstring::npos : close - pos - 1);
    return close == std::wstring::npos ? line.size() : close + 1;
  }
  while (pos < line.size() && !IsBlank(line[pos])) ++pos;
  program = line.substr(start, pos - start);
  return pos;
}

bool IsDirectoryPath(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Starts the command line; the program is applicationPath when given, else the command line's
// first part, looked for as Windows looks for it.
StartResult Start(const std::wstring& applicationPath, std::wstring commandLine,
                  const std::wstring& workingDir) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // A console program (an editor in a terminal) gets a console of its own, as from Explorer.
  const DWORD flags = CREATE_NEW_CONSOLE | CREATE_NEW_PROCESS_GROUP | CREATE_UNICODE_ENVIRONMENT;
  if (!::CreateProcessW(applicationPath.empty() ? nullptr : applicationPath.c_str(),
                        commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        workingDir.empty() ? nullptr : workingDir.c_str(), &startup, &process)) {
    return StartResult::Failed(SystemErrorText(::GetLastError()));
  }
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  return {};
}

}  // namespace

CommandText SplitProgramFromCommand(const std::string& command) {
  // Settings are Windows-1252; the rule works on the same characters in either form.
  const std::wstring line = Widen(Cp1252ToUtf8(command));
  std::size_t start = 0;
  while (start < line.size() && IsBlank(line[start])) ++start;
  if (start == line.size()) return {};
  std::wstring program;
  std::size_t pos = ProgramEnd(line, start, program);
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  return {Utf8ToCp1252(Narrow(program)), Utf8ToCp1252(Narrow(line.substr(pos)))};
}

std::vector<std::string> RunArguments(int argc, char** argv) {
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return {argv, argv + argc};
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(Narrow(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

bool IsRunnable(const std::string& hostPath) {
  const DWORD attributes = ::GetFileAttributesW(windows::FilePath(hostPath).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::string ProgramFileName(const std::string& name) { return name + ".exe"; }

std::string FindInPath(const std::string& program) {
  if (program.empty()) return {};
  const std::wstring name = Widen(program);
  std::vector<wchar_t> found(MAX_PATH);
  for (;;) {
    const DWORD n = ::SearchPathW(nullptr, name.c_str(), L".exe", static_cast<DWORD>(found.size()),
                                  found.data(), nullptr);
    if (n == 0) return {};
    if (n < found.size()) return Narrow(std::wstring(found.data(), n));
    found.resize(n + 1);
  }
}

std::string ReadCurrentDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetCurrentDirectoryW(static_cast<DWORD>(buffer.size()), buffer.data());
    if (n == 0) return {};
    if (n < buffer.size()) return Narrow(std::wstring(buffer.data(), n));
    buffer.resize(n + 1);
  }
}

std::string ExecutableDirectory() {
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n == 0) return {};
    if (n < buffer.size()) {
      const std::wstring path(buffer.data(), n);
      return Narrow(path.substr(0, path.find_last_of(L"\\/")));
    }
    if (buffer.size() > (1u << 16)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

StartResult StartDetachedProcess(const ProgramStart& start) {
  if (start.program.empty()) return StartResult::Failed(SystemErrorText(ERROR_FILE_NOT_FOUND));
  const std::wstring program = Widen(start.program);
  // A path is taken from the current directory, before the program changes into its own; a bare
  // name is looked for as Windows looks for programs.
  std::wstring applicationPath;
  if (program.find_first_of(L"\\/:") != std::wstring::npos) {
    applicationPath = windows::FilePath(start.program);
    const DWORD attributes = ::GetFileAttributesW(applicationPath.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
      return StartResult::Failed(SystemErrorText(::GetLastError()));
    }
    if ((attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      return StartResult::Failed(SystemErrorText(ERROR_ACCESS_DENIED));
    }
  }
  std::wstring workingDir;
  if (!start.workingDir.empty()) {
    workingDir = windows::FilePath(start.workingDir);
    if (!IsDirectoryPath(workingDir)) {
      return StartResult::Failed("cannot enter " + start.workingDir + ": " +
                                 SystemErrorText(ERROR_PATH_NOT_FOUND));
    }
  }
  std::wstring commandLine = QuoteArgument(program);
  if (!start.parameters.empty()) commandLine += L" " + Widen(Cp1252ToUtf8(start.parameters));
  for (const std::string& argument : start.arguments) {
    commandLine += L" " + QuoteArgument(Widen(argument));
  }
  return Start(applicationPath, std::move(commandLine), workingDir);
}

StartResult OpenWebPage(const std::string& url) {
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", Widen(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  if (result > 32) return {};
  return StartResult::Failed(NO_PAGE_OPENER_REASON);
}

StartResult HandOverTo(const std::string& program, char**) {
  // The window program gets this run's command line after its own path, as it stands.
  const std::wstring line = ::GetCommandLineW();
  std::wstring self;
  std::size_t pos = ProgramEnd(line, 0, self);
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  std::wstring commandLine = QuoteArgument(Widen(program));
  if (pos < line.size()) commandLine += L" " + line.substr(pos);
  return Start(windows::FilePath(program), std::move(commandLine), {});
}

}  // namespace zelk

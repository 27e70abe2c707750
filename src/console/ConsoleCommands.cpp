// SPDX-License-Identifier: MIT
#include "console/ConsoleCommands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "console/CompileCommand.h"
#include "console/Platform.h"
#include "console/Quake2Launch.h"
#include "console/ZelkView.h"
#include "environment/OptionsFile.h"
#include "environment/SettingCommands.h"
#include "language/CommandTable.h"
#include "language/StatementParser.h"
#include "platform/Cp1252.h"
#include "platform/Process.h"
#include "zelk/BuildConfig.h"

namespace zelk {
namespace {

// Trailing blanks, control characters and bytes from 128 up are cut off.
void TrimStatement(std::string& statement) {
  const auto* text = reinterpret_cast<const unsigned char*>(statement.data());
  std::size_t end = std::min<std::size_t>(statement.size(), 255);
  while (end > 0 && (text[end - 1] <= 32 || text[end - 1] >= 128)) --end;
  statement.resize(end);
}

void PrintVersion(CZelkDoc& doc) {
  doc.PrintFormat("Zelk Script Compiler Version %.2f", static_cast<double>(doc.Version()));
  doc.PrintLine("Copyright (C) 1998 The Zelk Team");
  doc.PrintLine("Written by the Zelk Team");
}

void RunEnvironmentDialog(CZelkView& view) {
  if (view.Host().RunEnvironmentDialog(view.Doc().Settings()) == DialogResult::Unavailable) {
    view.Doc().PrintLine("The Environment dialog needs the desktop window.");
  }
}

// Answers a line the console refuses, on the console and to the platform.
void RefuseLine(CZelkView& view, const char* message) {
  view.Doc().PrintLine(message);
  view.Host().ReportRefusedLine(message);
}

}  // namespace

std::string FileUrl(const std::string& path) {
  if (path.empty()) return {};
  // Percent-encoded, so that a path with blanks or non-ASCII bytes is a valid address.
  std::string url = "file://";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool alnum = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
    if (alnum || (byte != 0 && std::strchr("/-._~", byte) != nullptr)) {
      url += c;
    } else {
      static constexpr char kHex[] = "0123456789ABCDEF";
      url += '%';
      url += kHex[byte >> 4];
      url += kHex[byte & 15];
    }
  }
  return url;
}

std::string FindReferencePage(const std::string& executableDir) {
  if (executableDir.empty()) return {};
  // zelk stands in bin/ and zelk-desktop in libexec/zelk/ when installed, both in src/ of a build
  // tree whose share/zelk/ holds the reference as the installed tree does: so the reference is
  // in share/zelk/ one or two levels above the program, and no path of the build is kept in it.
  const std::filesystem::path dir(executableDir);
  for (const std::filesystem::path& candidate :
       {dir / ".." / REFERENCE_DATA_DIR / REFERENCE_FILE_NAME,
        dir / ".." / ".." / REFERENCE_DATA_DIR / REFERENCE_FILE_NAME}) {
    std::error_code ignored;
    if (std::filesystem::is_regular_file(candidate, ignored)) {
      return candidate.lexically_normal().string();
    }
  }
  return {};
}

const char* HomePageUrl() {
  // The environment's ZELK_HOME_URL, then the build's, then the reference.
  const char* fromEnvironment = std::getenv("ZELK_HOME_URL");
  if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') return fromEnvironment;
  if (ZELK_HOME_URL[0] != '\0') return ZELK_HOME_URL;
  static const std::string reference = FileUrl(FindReferencePage(ExecutableDirectory()));
  return reference.c_str();
}

const char* SupportPageUrl() {
  return ZELK_SUPPORT_URL;
}

void OpenPage(CZelkView& view, const std::string& url, const char* pageName) {
  const StartResult result = view.Host().OpenUrl(url);
  if (result.started) return;
  const std::string reason = Utf8ToCp1252(result.reason);
  if (url.empty()) {
    view.Doc().PrintFormat("Cannot open the %s page: %s", pageName, reason.c_str());
  } else {
    view.Doc().PrintFormat("Cannot open the page (%s): %s", reason.c_str(),
                           Utf8ToCp1252(url).c_str());
  }
}

void StartProgramOrSay(CZelkView& view, const ProgramStart& start) {
  const StartResult result = view.Host().StartProgram(start);
  if (result.started) return;
  // The reason first: a long program path is then what the console line's cut takes.
  view.Doc().PrintFormat("Cannot start the program (%s): %s", Utf8ToCp1252(result.reason).c_str(),
                         Utf8ToCp1252(start.program).c_str());
}

void PrintCommandList(CZelkDoc& doc) {
  int printed = 1;
  // Counts one printed line; false when the page is full.
  auto roomLeft = [&]() { return !(printed++ > doc.LastLine() - 1); };
  for (int index = doc.CmdlistNext(); Commands()[index].name != nullptr; ++index) {
    const CommandEntry& entry = Commands()[index];
    if (entry.help == nullptr) continue;
    bool full = false;
    doc.PrintRule(LINE_CELLS - 1);
    full = !roomLeft();
    if (!full) {
      doc.PrintFormat("-> COMMAND %d:", index);
      full = !roomLeft();
    }
    ForEachHelpLine(entry.help, [&](std::string_view line) {
      if (full) return;
      doc.PrintFormat("              %.*s", static_cast<int>(line.size()), line.data());
      full = !roomLeft();
    });
    if (full) {
      doc.SetCmdlistNext(static_cast<short>(index));
      return;
    }
  }
  doc.SetCmdlistNext(0);
}

void OnSaveOptions(CZelkView& view) {
  // The file as messages show it: the start-up directory, a backslash and its name.
  const std::string path =
      view.StartDir() + "\\" +
      ZelkPathText(OptionsFileName(view.Host().Files(), view.StartDirHost()));
  if (view.SaveOptionsFile(SaveMode::Always)) {
    view.Doc().PrintFormat("Current options saved to '%s'", path.c_str());
  } else {
    view.Doc().PrintFormat("Unable to saved to '%s'!", path.c_str());
  }
  view.Host().RequestRepaint(true);
}

void ExecuteConsoleLine(CZelkView& view) {
  CZelkDoc& doc = view.Doc();
  std::string statement = doc.Statement();
  TrimStatement(statement);
  doc.SetStatement(statement);
  const std::string_view line = doc.Statement();

  if (line == "clear") {
    doc.Clear();
    view.Host().RequestRepaint(true);
  } else if (line == "env") {
    RunEnvironmentDialog(view);
  } else if (line == "exit" || line == "quit") {
    view.Host().RequestClose();
  } else if (line == "version") {
    PrintVersion(doc);
  } else if (line == "status") {
    ShowStatus(doc.Settings(), doc);
  } else if (line == "home") {
    const std::string url = HomePageUrl();
    if (url.empty()) {
      doc.PrintFormat(
          "Cannot open the home page: ZELK_HOME_URL is not set and the language "
          "reference (%s/%s) is not installed",
          REFERENCE_DATA_DIR, REFERENCE_FILE_NAME);
    } else {
      OpenPage(view, url, "home");
    }
  } else if (line == "cmdlist") {
    PrintCommandList(doc);
  } else if (line == "quake2") {
    LaunchQuake2(view);
  } else if (!line.empty()) {
    const ParsedStatement parsed = ParseStatement(line);
    switch (parsed.result) {
      case ParseResult::Environment:
        RunSettingCommand(view, parsed);
        break;
      case ParseResult::Usage:
        PrintUsage(parsed.commandIndex, doc);
        view.Host().ReportRefusedLine("wrong punctuation or arguments; usage: " +
                                          std::string(UsageLine(parsed.commandIndex)));
        break;
      case ParseResult::NoEol:
        RefuseLine(view, "No EOL in current statement. Use semicolon.");
        break;
      case ParseResult::BadInstruction:
        RefuseLine(view, "Bad instruction or system data.");
        break;
      default:  // a label or script statement has no effect at the console
        break;
    }
  }
}

}  // namespace zelk

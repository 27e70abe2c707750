#include "compiler/OpenCompileCommands.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command/ConsoleCommands.h"
#include "compiler/CompileDriver.h"
#include "console/ZelkView.h"
#include "environment/EnvironmentSettings.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"

namespace zelk {
namespace {

constexpr int SEPARATOR_CELLS = 254;

// The extension must be all lower or all upper case: "Scr" is not a source file.
bool IsScriptExtension(const std::string& extension) {
  return extension == "SCR" || extension == "scr";
}
bool IsConfigExtension(const std::string& extension) {
  return extension == "CFG" || extension == "cfg";
}

void CopyText(char (&buffer)[256], const std::string& text) {
  const std::size_t length = text.size() < sizeof buffer ? text.size() : sizeof buffer - 1;
  std::memset(buffer, 0, sizeof buffer);
  std::memcpy(buffer, text.data(), length);
}

// The source path is built with the extension ".scr". Where file names distinguish letter case,
// a file chosen as INTRO.SCR does not exist under that name; it is then read under the name it
// was chosen with, so that the chosen file is the one compiled or edited.
void UseChosenNameIfBuiltIsMissing(CZelkView& view, const FileChoice& choice) {
  CZelkDoc& doc = view.m_doc;
  FileSystem& files = view.m_platform.Files();
  if (files.Exists(HostPath(doc.m_sourcePath))) return;
  const std::string chosen = std::string(doc.m_settings.loadDir) + choice.fileName;
  if (chosen.size() < sizeof doc.m_sourcePath && files.Exists(HostPath(chosen))) {
    CopyText(doc.m_sourcePath, chosen);
  }
}

bool TakeOverOrSay(CZelkView& view, const FileChoice& choice) {
  if (TakeOverDirectory(view.m_doc.m_settings, choice.fullPath)) return true;
  view.m_doc.PrintFormat("Cannot use %s: its directory is longer than 255 characters.",
                         choice.fullPath.c_str());
  return false;
}

void CompileChosenSource(CZelkView& view, const FileChoice& choice) {
  CZelkDoc& doc = view.m_doc;
  if (!TakeOverOrSay(view, choice) ||
      !SetCompilePaths(view, doc.m_settings.loadDir, choice.fileTitle)) {
    ++view.m_failedCompiles;
    return;
  }
  UseChosenNameIfBuiltIsMissing(view, choice);
  doc.PrintRule(SEPARATOR_CELLS);
  doc.PrintFormat(" ->Compiling... %s", doc.m_sourcePath);
  view.m_compiling = true;
  const int result = CompileScript(view);
  view.m_compiling = false;
  ReportCompileResult(view, result);
  doc.PrintRule(SEPARATOR_CELLS);
}

void EditChosenSource(CZelkView& view, const FileChoice& choice) {
  CZelkDoc& doc = view.m_doc;
  if (!TakeOverOrSay(view, choice)) return;
  char source[sizeof doc.m_sourcePath];
  const int length = std::snprintf(source, sizeof source, "%s%s.scr", doc.m_settings.loadDir,
                                   choice.fileTitle.c_str());
  if (length >= static_cast<int>(sizeof source)) {
    doc.PrintFormat("Cannot open %s: its path would be longer than 255 characters.",
                    choice.fileName.c_str());
    return;
  }
  std::memcpy(doc.m_sourcePath, source, sizeof source);
  UseChosenNameIfBuiltIsMissing(view, choice);

  // The editor setting may carry arguments of its own; the source path follows them as one
  // argument, whole, spaces and all.
  std::vector<std::string> arguments = SplitCommand(doc.m_settings.editorCommand);
  if (arguments.empty()) {
    doc.PrintLine("Cannot start the .SCR editor: none is set (sv_editor).");
    return;
  }
  const std::string program = Cp1252ToUtf8(arguments.front());
  arguments.erase(arguments.begin());
  for (std::string& argument : arguments) argument = Cp1252ToUtf8(argument);
  arguments.push_back(HostPath(doc.m_sourcePath));
  StartProgramOrSay(view, program, arguments, HostPath(doc.m_settings.loadDir));
}

void RedrawConsole(CZelkView& view) {
  view.m_doc.m_drawMode = DRAW_NORMAL;
  view.m_platform.RequestRepaint(false);
}

}  // namespace

bool TakeOverDirectory(EnvironmentSettings& settings, const std::string& fullPath) {
  // A backslash ends a directory in Zelk's own texts; on a POSIX host the dialog reports '/'.
  const std::size_t separator = fullPath.find_last_of("\\/");
  if (separator == std::string::npos) {
    SetText(settings.loadDir, "");
    return true;
  }
  std::string directory = fullPath.substr(0, separator);
  directory += '\\';
  if (directory.size() > TEXT_SIZE - 1) return false;
  SetText(settings.loadDir, directory);
  return true;
}

void OnFileCompile(CZelkView& view) {
  const FileChoice choice =
      view.m_platform.ChooseFile(COMPILE_FILTER, view.m_doc.m_settings.loadDir);
  if (!choice.fileName.empty()) {
    if (IsScriptExtension(choice.extension)) CompileChosenSource(view, choice);
    if (IsConfigExtension(choice.extension)) {
      CZelkDoc& doc = view.m_doc;
      CopyText(doc.m_sourcePath, choice.fullPath);
      doc.PrintRule(SEPARATOR_CELLS);
      doc.PrintFormat(" ->Opening... %s", choice.fullPath.c_str());
    }
  }
  RedrawConsole(view);
}

void OnFileOpen(CZelkView& view) {
  const FileChoice choice = view.m_platform.ChooseFile(OPEN_FILTER, view.m_doc.m_settings.loadDir);
  if (!choice.fileName.empty() && IsScriptExtension(choice.extension)) {
    EditChosenSource(view, choice);
  }
  RedrawConsole(view);
}

}  // namespace zelk

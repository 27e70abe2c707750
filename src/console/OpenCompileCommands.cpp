// SPDX-License-Identifier: MIT
#include "console/OpenCompileCommands.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "console/CompileCommand.h"
#include "console/ConsoleCommands.h"
#include "console/Platform.h"
#include "console/ZelkView.h"
#include "environment/EnvironmentSettings.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"

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

// A path as the document keeps it: at most 255 characters.
std::string PathText(const std::string& text) { return text.substr(0, 255); }

// The source path is built with the extension ".scr". Where file names distinguish letter case,
// a file chosen as INTRO.SCR does not exist under that name; it is then read under the name it
// was chosen with, so that the chosen file is the one compiled or edited.
void UseChosenNameIfBuiltIsMissing(CZelkView& view, const std::string& loadDir,
                                   const std::string& fileName) {
  CZelkDoc& doc = view.Doc();
  FileSystem& files = view.Host().Files();
  if (files.Exists(HostPath(doc.SourcePath()))) return;
  const std::string chosen = loadDir + fileName;
  if (chosen.size() <= 255 && files.Exists(HostPath(chosen))) doc.SetSourcePath(chosen);
}

bool TakeOverOrSay(CZelkView& view, const FileChoice& choice) {
  if (TakeOverDirectory(view.Doc().Settings(), choice.fullPath)) return true;
  // The reason stands before the path, so that the cut of a long console line falls on the path.
  const std::string folder = choice.fullPath.substr(0, choice.fullPath.find_last_of("\\/") + 1);
  view.Doc().PrintFormat("Cannot use the folder (its path is longer than 255 characters): %s",
                         folder.c_str());
  return false;
}

// Compiles a source between separators under the heading of File > Compile; true when the
// compiled file is complete.
bool CompileSource(CZelkView& view, const RememberedSource& source) {
  if (!SetCompilePaths(view, source.loadDir, source.name)) return false;
  view.RememberSource(source);
  UseChosenNameIfBuiltIsMissing(view, source.loadDir, source.fileName);
  return RunCompile(view, " ->Compiling... ");
}

bool CompileChosenSource(CZelkView& view, const FileChoice& choice) {
  if (!TakeOverOrSay(view, choice)) {
    view.AddFailedCompile();
    return false;
  }
  return CompileSource(view, {view.Doc().Settings().loadDir, choice.fileTitle, choice.fileName});
}

void EditChosenSource(CZelkView& view, const FileChoice& choice) {
  CZelkDoc& doc = view.Doc();
  if (!TakeOverOrSay(view, choice)) return;
  const EnvironmentSettings& settings = doc.Settings();
  const std::string source = settings.loadDir + choice.fileTitle + ".scr";
  if (source.size() > 255) {
    doc.PrintFormat("Cannot open the source (its path would be longer than 255 characters): %s",
                    source.c_str());
    return;
  }
  doc.SetSourcePath(source);
  view.RememberSource({settings.loadDir, choice.fileTitle, choice.fileName});
  UseChosenNameIfBuiltIsMissing(view, settings.loadDir, choice.fileName);

  // The editor setting may carry arguments of its own, cut from the program by the host's rules;
  // the source path follows them as one argument, whole, spaces and all.
  const CommandText editor = SplitProgramFromCommand(settings.editorCommand);
  if (editor.program.empty()) {
    doc.PrintLine("Cannot start the .SCR editor: none is set (sv_editor).");
    return;
  }
  StartProgramOrSay(view, {Cp1252ToUtf8(editor.program), editor.parameters,
                           {HostPath(doc.SourcePath())}, HostPath(settings.loadDir)});
}

void RedrawConsole(CZelkView& view) {
  view.Doc().SetDrawMode(DRAW_NORMAL);
  view.Host().RequestRepaint(false);
}

// The work of File > Compile: true when a source was chosen and compiled into a complete file.
bool CompileChosenFile(CZelkView& view) {
  const FileChoice choice =
      view.Host().ChooseFile(COMPILE_FILTER, view.Doc().Settings().loadDir);
  if (choice.fileName.empty()) return false;
  if (IsScriptExtension(choice.extension)) return CompileChosenSource(view, choice);
  if (IsConfigExtension(choice.extension)) {
    // A configuration file is only named; it is no source to compile and launch.
    CZelkDoc& doc = view.Doc();
    doc.SetSourcePath(PathText(choice.fullPath));
    doc.PrintRule(SEPARATOR_CELLS);
    doc.PrintFormat(" ->Opening... %s", choice.fullPath.c_str());
  }
  return false;
}

}  // namespace

std::vector<FileTypeFilter> SplitFileFilter(std::string_view filter) {
  std::vector<FileTypeFilter> choices;
  while (!filter.empty()) {
    const std::size_t bar = filter.find('|');
    if (bar == std::string_view::npos) break;
    const std::string_view description = filter.substr(0, bar);
    filter.remove_prefix(bar + 1);
    const std::string_view pattern = filter.substr(0, filter.find('|'));
    filter.remove_prefix(std::min(pattern.size() + 1, filter.size()));
    if (description.empty()) break;  // the closing "||"
    choices.push_back({std::string(description), std::string(pattern)});
  }
  return choices;
}

bool TakeOverDirectory(EnvironmentSettings& settings, const std::string& fullPath) {
  // A backslash ends a directory in Zelk's own texts; on a POSIX host the dialog reports '/'.
  const std::size_t separator = fullPath.find_last_of("\\/");
  if (separator == std::string::npos) {
    settings.loadDir.clear();
    return true;
  }
  std::string directory = fullPath.substr(0, separator);
  directory += '\\';
  if (directory.size() > TEXT_LIMIT) return false;
  settings.loadDir = std::move(directory);
  return true;
}

void OnFileCompile(CZelkView& view) {
  CompileChosenFile(view);
  RedrawConsole(view);
}

void OnCompileAndLaunch(CZelkView& view) {
  // A copy: the compile remembers its source again.
  const std::optional<RememberedSource> last = view.LastSource();
  const bool compiled = last ? CompileSource(view, *last) : CompileChosenFile(view);
  if (compiled) view.RunBridge("quake2");
  RedrawConsole(view);
}

void OnFileOpen(CZelkView& view) {
  const FileChoice choice = view.Host().ChooseFile(OPEN_FILTER, view.Doc().Settings().loadDir);
  if (!choice.fileName.empty() && IsScriptExtension(choice.extension)) {
    EditChosenSource(view, choice);
  }
  RedrawConsole(view);
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace zelk {

struct Diagnostic;
struct EnvironmentSettings;

enum class DialogResult { Accepted, Cancelled, Unavailable };

// What a file-selection dialog reports. An empty fileName means the user cancelled.
struct FileChoice {
  std::string fullPath;   // Zelk text, e.g. "c:\work\intro.scr" or "/home/me/intro.scr"
  std::string fileName;   // without directory
  std::string fileTitle;  // file name without its extension
  std::string extension;  // after the last dot, without the dot
};

// Everything the console needs from the world outside it. Three implementations: the desktop
// (Qt), the headless one of batch mode, and a recording fake for tests.
//
// Texts passed here are host texts (UTF-8, host paths) unless a comment says otherwise; the
// console converts its Windows-1252 texts at the call.
class Platform {
 public:
  virtual ~Platform() = default;

  // Asks for a repaint of the whole console view, with or without erasing the background first.
  virtual void RequestRepaint(bool erase) = 0;
  // Queues a close of the main window; the caller returns at once.
  virtual void RequestClose() = 0;
  // Opens a web address in the default browser.
  virtual StartResult OpenUrl(const std::string& url) = 0;
  // Starts a program without waiting for it, never through a shell: the parameter text as the
  // host passes it (split on POSIX, whole on Windows), then the arguments, each whole; an empty
  // working directory means the current one. A relative program path names a file below the
  // current directory, not below the working directory.
  virtual StartResult StartProgram(const ProgramStart& start) = 0;
  // Plays a wave file and returns when it has ended; plays the default alert sound when the file
  // cannot be played.
  virtual void PlaySoundSync(const std::string& wavePath) = 0;
  // The one message box: modal, the application title as caption, the text (Windows-1252), OK.
  virtual void ShowMessageBox(const std::string& text) = 0;
  // A compile stopped at an error in the source (a host path). The desktop shows it on the
  // console only; batch mode also writes it for editors and build tools.
  virtual void ReportCompileError(const std::string& sourcePath, const Diagnostic& error) {
    (void)sourcePath;
    (void)error;
  }
  // A compile failed because a file could not be used (the source not found, the compiled file
  // not created or written, a path too long): the file (a host path) and the console's line.
  virtual void ReportCompileFailure(const std::string& path, const std::string& message) {
    (void)path;
    (void)message;
  }
  // The console refused a typed line (a word it does not know, a missing ";", wrong punctuation
  // or arguments): the console's answer as one line (Windows-1252). The desktop shows the
  // console only; batch mode also writes it for build tools and stops their build.
  virtual void ReportRefusedLine(const std::string& message) { (void)message; }
  // Runs the Environment dialog on the settings; the dialog stores changes itself on OK.
  virtual DialogResult RunEnvironmentDialog(EnvironmentSettings& settings) = 0;
  // An "open file" dialog. filter is in the "Description|*.ext|...||" form; initialDir and the
  // result are Zelk texts.
  virtual FileChoice ChooseFile(const std::string& filter, const std::string& initialDir) = 0;
  // The process's current directory, as a host path.
  virtual std::string CurrentDirectory() = 0;
  virtual FileSystem& Files() = 0;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <ostream>

#include "console/Platform.h"

namespace zelk {

// The platform of batch mode: no window, no dialogs, no sound. There is nothing to repaint; a
// close request ends the run after the current line; the message box text goes to the error
// stream.
class HeadlessPlatform final : public Platform {
 public:
  explicit HeadlessPlatform(std::ostream& errors) : m_errors(errors) {}

  void RequestRepaint(bool) override {}
  void RequestClose() override { m_closeRequested = true; }
  // Pages open with the desktop's opener of addresses.
  StartResult OpenUrl(const std::string& url) override;
  StartResult StartProgram(const ProgramStart& start) override;
  // Batch mode runs from terminals and build systems: it plays no sound.
  void PlaySoundSync(const std::string&) override {}
  void ShowMessageBox(const std::string& text) override;
  // Writes "source:line: error: message", the form editors and build tools understand.
  void ReportCompileError(const std::string& sourcePath, const Diagnostic& error) override;
  // Writes "file: error: message".
  void ReportCompileFailure(const std::string& path, const std::string& message) override;
  // Writes "ORIGIN: error: message", with the origin of the line being typed.
  void ReportRefusedLine(const std::string& message) override;
  DialogResult RunEnvironmentDialog(EnvironmentSettings&) override {
    return DialogResult::Unavailable;
  }
  FileChoice ChooseFile(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override;
  FileSystem& Files() override { return *m_files; }

  bool CloseRequested() const { return m_closeRequested; }
  // Where the line being typed came from, as build tools name places: "FILE:LINE", or
  // "<command line>:N" for the N-th -c option.
  void SetLineOrigin(std::string origin) { m_lineOrigin = std::move(origin); }
  // The lines refused so far (each makes the run's exit status 1).
  int RefusedLines() const { return m_refusedLines; }

 private:
  std::ostream& m_errors;
  std::string m_lineOrigin;
  int m_refusedLines = 0;
  std::unique_ptr<FileSystem> m_files = MakeHostFileSystem();
  bool m_closeRequested = false;
};

}  // namespace zelk

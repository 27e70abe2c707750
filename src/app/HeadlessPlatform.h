// SPDX-License-Identifier: MIT
#pragma once

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
  // Pages open with xdg-open, the desktop's opener of addresses.
  StartResult OpenUrl(const std::string& url) override;
  StartResult StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingDir) override;
  // Batch mode runs from terminals and build systems: it plays no sound.
  void PlaySoundSync(const std::string&) override {}
  void ShowMessageBox(const std::string& text) override;
  // Writes "source:line: error: message", the form editors and build tools understand.
  void ReportCompileError(const std::string& sourcePath, const Diagnostic& error) override;
  // Writes "file: error: message".
  void ReportCompileFailure(const std::string& path, const std::string& message) override;
  DialogResult RunEnvironmentDialog(EnvironmentSettings&) override {
    return DialogResult::Unavailable;
  }
  FileChoice ChooseFile(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override;
  FileSystem& Files() override { return m_files; }

  bool CloseRequested() const { return m_closeRequested; }

 private:
  std::ostream& m_errors;
  PosixFileSystem m_files;
  bool m_closeRequested = false;
};

}  // namespace zelk

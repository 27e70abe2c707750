#pragma once

#include <ostream>

#include "platform/Platform.h"

namespace zelk {

// The platform of batch mode: no window, no dialogs, no sound. Repaint and close requests are
// recorded for the batch runner, which plays the part of the window's message loop; the message
// box text goes to the error stream.
class HeadlessPlatform final : public Platform {
 public:
  explicit HeadlessPlatform(std::ostream& errors) : m_errors(errors) {}

  void RequestRepaint(bool erase) override;
  void RequestClose() override { m_closeRequested = true; }
  // Pages open with xdg-open, the desktop's opener of addresses.
  StartResult OpenUrl(const std::string& url) override;
  StartResult StartProgram(const std::string& program, const std::vector<std::string>& arguments,
                           const std::string& workingDir) override;
  // Batch mode runs from terminals and build systems: it plays no sound.
  void PlaySoundSync(const std::string&) override {}
  void ShowMessageBox(const std::string& text) override;
  // Writes "source:line: error: message", the form editors and build tools understand.
  void ReportCompileError(const std::string& sourcePath, int line,
                          const std::string& message) override;
  DialogResult RunEnvironmentDialog(EnvironmentSettings&) override {
    return DialogResult::Unavailable;
  }
  FileChoice ChooseFile(const std::string&, const std::string&) override { return {}; }
  std::string CurrentDirectory() override;
  FileSystem& Files() override { return m_files; }

  bool TakeRepaintRequest();
  bool CloseRequested() const { return m_closeRequested; }

 private:
  std::ostream& m_errors;
  PosixFileSystem m_files;
  bool m_repaintPending = false;
  bool m_closeRequested = false;
};

// The process's current directory as a host path ("" if it cannot be read).
std::string ReadCurrentDirectory();

}  // namespace zelk

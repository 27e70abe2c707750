// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include <memory>

#include "console/Platform.h"

namespace zelk {

class ConsoleView;

// The console's platform in the Win32 window: the repaints go to the console view, the close
// request to the main frame; pages and programs start as on the command line (no shell), the
// sound is played by the multimedia library, the dialogs are the window's.
class Win32Platform final : public Platform {
 public:
  Win32Platform();
  ~Win32Platform() override;

  void SetWindows(HWND frame, ConsoleView* console) {
    m_frame = frame;
    m_console = console;
  }
  HWND Frame() const { return m_frame; }

  void RequestRepaint(bool erase) override;
  void RequestClose() override;
  StartResult OpenUrl(const std::string& url) override;
  StartResult StartProgram(const ProgramStart& start) override;
  void PlaySoundSync(const std::string& wavePath) override;
  void ShowMessageBox(const std::string& text) override;
  DialogResult RunEnvironmentDialog(EnvironmentSettings& settings) override;
  FileChoice ChooseFile(const std::string& filter, const std::string& initialDir) override;
  std::string CurrentDirectory() override;
  FileSystem& Files() override { return *m_files; }

  // The filter of the common file dialog: description and pattern pairs, each ended by a zero,
  // and one more zero at the end.
  static std::wstring DialogFilter(const std::string& filter);

 private:
  HWND m_frame = nullptr;
  ConsoleView* m_console = nullptr;
  std::unique_ptr<FileSystem> m_files;
};

}  // namespace zelk

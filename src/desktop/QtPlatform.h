// SPDX-License-Identifier: MIT
#pragma once

#include <memory>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "desktop/ConsoleWidget.h"
#include "platform/FileSystem.h"
#include "console/Platform.h"

namespace zelk {

// The platform of the desktop console, on Qt 6 Widgets.
class QtPlatform final : public Platform {
 public:
  QtPlatform() = default;

  // The window the requests are for: repaints go to the console, close requests and the parent of
  // the modal windows to the main window. Either may be null (before the window exists).
  void SetConsole(CConsoleWidget* console) { m_console = console; }
  void SetMainWindow(QWidget* mainWindow) { m_mainWindow = mainWindow; }

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

  // "Scripts (*.SCR)|*.scr||" in the form QFileDialog takes: "Scripts (*.SCR)" entries joined by
  // ";;". A description that already ends with its pattern in parentheses (letter case aside) is
  // kept as it is; otherwise the pattern is added in parentheses.
  static QString QtFileFilter(const std::string& filter);
  // The parts of a chosen host path that the core needs, as Zelk texts.
  static FileChoice DescribeChoice(const QString& hostPath);


 private:
  QPointer<CConsoleWidget> m_console;
  QPointer<QWidget> m_mainWindow;
  std::unique_ptr<FileSystem> m_files = MakeHostFileSystem();
};

}  // namespace zelk

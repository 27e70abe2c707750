// SPDX-License-Identifier: MIT
#pragma once

#include <QApplication>
#include <memory>
#include <string>

#include "desktop/RecentFileList.h"
#include "desktop/QtPlatform.h"

namespace zelk {

class CMainFrame;
class CZelkDoc;

// The application object: the document, the platform, the recent-file list and the main window
// for the whole run.
class CZelkApp {
 public:
  CZelkApp(int& argc, char** argv);
  ~CZelkApp();

  // Start-up: settings location, recent files, the document, the main window with the console
  // view, the file named on the command line. False when start-up failed (the cause was shown).
  bool InitInstance(const std::string& fileName);
  // The message loop; the exit status.
  int Run();

  CMainFrame* MainFrame() const { return m_frame.get(); }
  CZelkDoc* Doc() const { return m_doc.get(); }
  QtPlatform& GetPlatform() { return m_platform; }

  // Makes the organisation and application names the settings (recent-file list) are kept under.
  static void SetSettingsLocation();

 private:
  QApplication m_app;
  QtPlatform m_platform;
  RecentFileList m_recentFiles;
  std::unique_ptr<CZelkDoc> m_doc;
  std::unique_ptr<CMainFrame> m_frame;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QMap>
#include <QMargins>
#include <QString>

class QAction;
class QMenu;
class QToolBar;

namespace zelk {

class CConsoleWidget;
class CZelkDoc;
class QtPlatform;
class RecentFileList;

// The command numbers of the menu items and toolbar buttons.
enum CommandId : int {
  ID_ACTION_CLEAR = 32773,
  ID_HELP_HOME = 32772,
  ID_ACTION_STATUS = 32775,
  ID_HELP_CMDLIST = 32776,
  ID_ACTION_QUAKE2 = 32779,
  ID_ACTION_ENV = 32781,
  ID_HELP_SUPPORT = 32783,
  ID_FILE_OPEN_SOURCE = 32786,
  ID_ACTION_SAVE_OPTIONS = 32788,
  ID_FILE_COMPILE = 57601,
  ID_FILE_MRU_FILE1 = 57616,
  ID_APP_ABOUT = 57664,
  ID_APP_EXIT = 57665,
  ID_VIEW_TOOLBAR = 59392,
  ID_VIEW_STATUS_BAR = 59393,
};

// The main window: menu, toolbar, status bar and the console view, full-screen at the top left,
// neither resizable nor maximizable. It turns the menu and toolbar commands into work, most of
// them as console words run through the view.
class CMainFrame final : public QMainWindow {
  Q_OBJECT

 public:
  CMainFrame(CZelkDoc& doc, QtPlatform& platform, RecentFileList& recentFiles);
  ~CMainFrame() override;

  CConsoleWidget* Console() const { return m_console; }

  // Opens a file as the document: the document reads nothing from it; its name goes into the
  // title and the recent-file list. False (with a message box) when the file cannot be read.
  bool OpenDocument(const QString& fileName);
  // The title when no file is open.
  static QString UntitledTitle();

  // The desktop session is ending (its manager asked for the data to be saved): the window will
  // close with nobody there to answer a message box, so it shows none.
  void EndWithTheSession() { m_sessionEnding = true; }

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  QAction* AddCommand(QMenu* menu, int id, const char* caption, const char* prompt,
                      const char* tooltip, const char* icon);
  void BuildMenusAndToolBar();
  void ConnectCommands();
  void RebuildRecentFiles();
  void RunBridge(const char* word);
  // Gives the frame the screen's available area: its top left corner and its size.
  void FitToAvailableArea();
  // The margins of the frame the window manager draws around the window (none without one).
  QMargins FrameMargins() const;

  CZelkDoc& m_doc;
  QtPlatform& m_platform;
  RecentFileList& m_recentFiles;
  CConsoleWidget* m_console = nullptr;
  QToolBar* m_toolBar = nullptr;
  QMenu* m_fileMenu = nullptr;
  QAction* m_recentSeparator = nullptr;
  QList<QAction*> m_recentActions;
  QMap<int, QAction*> m_actions;
  QMargins m_fittedMargins{-1, -1, -1, -1};
  bool m_sessionEnding = false;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <QMainWindow>
#include <QMap>
#include <QMargins>
#include <QString>

#include "console/MenuCommands.h"

class QAction;
class QMenu;
class QToolBar;

namespace zelk {

class CConsoleWidget;
class CZelkDoc;
class QtPlatform;
class RecentFileList;

// The main window: menu, toolbar, status bar and the console view, full-screen at the top left,
// neither resizable nor maximizable. Its menu, toolbar and accelerators are built from the
// console's command table (MenuCommands), whose handlers carry out the console's commands; the
// window carries out its own (the About box, the bars, the recent files).
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
  QAction* AddCommand(QMenu* menu, const MenuCommand& command);
  void BuildMenusAndToolBar();
  void ConnectCommands();
  void RebuildRecentFiles();
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

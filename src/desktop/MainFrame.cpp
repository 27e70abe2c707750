// SPDX-License-Identifier: MIT
#include "desktop/MainFrame.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QToolBar>

#include "console/ConsoleCommands.h"
#include "console/OpenCompileCommands.h"
#include "desktop/AboutBox.h"
#include "desktop/ConsoleSettings.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/QtPlatform.h"
#include "desktop/RecentFileList.h"
#include "environment/OptionsFile.h"
#include "platform/StopSignals.h"

namespace zelk {
namespace {

const QString kReady = QStringLiteral("Ready");

}  // namespace

CMainFrame::CMainFrame(CZelkDoc& doc, QtPlatform& platform, RecentFileList& recentFiles)
    : m_doc(doc), m_platform(platform), m_recentFiles(recentFiles) {
  setObjectName(QStringLiteral("MainFrame"));
  // A minimize box and a close box; no maximize box and no sizing border.
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                 Qt::WindowCloseButtonHint);
  setWindowTitle(UntitledTitle());
  // A position given before the window exists is that of the frame the window manager draws
  // around it (title bar included), so the frame, not the inside area, goes to the top left of
  // the available area. The size is the area's until the frame's margins are known.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  move(area.topLeft());
  setFixedSize(area.size());

  m_console = new CConsoleWidget(doc, platform, this);
  setCentralWidget(m_console);
  platform.SetConsole(m_console);
  platform.SetMainWindow(this);

  BuildMenusAndToolBar();
  ConnectCommands();
  statusBar()->setSizeGripEnabled(false);
  statusBar()->showMessage(kReady);
  RebuildRecentFiles();

#ifndef QT_NO_SESSIONMANAGER
  connect(qApp, &QGuiApplication::commitDataRequest, this, [this] { EndWithTheSession(); });
#endif

  // The input history and the font size of the last run.
  LoadConsoleSettings(*m_console);

  // The view is created inside the frame: it loads the options file and asks for the first clear.
  m_console->Create();
  m_console->setFocus();
}

CMainFrame::~CMainFrame() {
  m_console->Destroy();
  m_platform.SetConsole(nullptr);
  m_platform.SetMainWindow(nullptr);
}

QString CMainFrame::UntitledTitle() {
  return QStringLiteral("Untitled - Zelk");
}

QAction* CMainFrame::AddCommand(QMenu* menu, int id, const char* caption, const char* prompt,
                                const char* tooltip, const char* icon) {
  auto* action = new QAction(QString::fromLatin1(caption), this);
  action->setData(id);
  if (prompt != nullptr) action->setStatusTip(QString::fromLatin1(prompt));
  // Without a tooltip of its own an action shows its caption; a command without one shows none.
  action->setToolTip(tooltip != nullptr ? QString::fromLatin1(tooltip) : QString());
  if (icon != nullptr) {
    action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(QString::fromLatin1(icon))));
  }
  menu->addAction(action);
  m_actions.insert(id, action);
  return action;
}

void CMainFrame::BuildMenusAndToolBar() {
  QMenuBar* bar = menuBar();
  m_fileMenu = bar->addMenu(QStringLiteral("&File"));
  m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
  AddCommand(m_fileMenu, ID_FILE_OPEN_SOURCE, "&Open...\tCtrl+O",
             "Open an existing source file for editing", "Open", "open")
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  AddCommand(m_fileMenu, ID_FILE_COMPILE, "&Compile..\tCtrl+C",
             "Compile an exisiting document for editing", "Compile", "compile")
      ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
  m_fileMenu->addSeparator();
  AddCommand(m_fileMenu, ID_FILE_MRU_FILE1, "Recent File", "Open this document", nullptr, nullptr)
      ->setEnabled(false);
  m_recentSeparator = m_fileMenu->addSeparator();
  AddCommand(m_fileMenu, ID_APP_EXIT, "E&xit", "Quit the application", "Exit", nullptr);

  QMenu* view = bar->addMenu(QStringLiteral("&View"));
  QAction* toolBarItem = AddCommand(view, ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar",
                                    "Toggle ToolBar", nullptr);
  QAction* statusBarItem = AddCommand(view, ID_VIEW_STATUS_BAR, "&Status Bar",
                                      "Show or hide the status bar", "Toggle StatusBar", nullptr);
  toolBarItem->setCheckable(true);
  toolBarItem->setChecked(true);
  statusBarItem->setCheckable(true);
  statusBarItem->setChecked(true);

  QMenu* action = bar->addMenu(QStringLiteral("&Action"));
  AddCommand(action, ID_ACTION_CLEAR, "&Clear Screen", "Clear the screen", "Clear", "clear");
  AddCommand(action, ID_ACTION_STATUS, "&Status", "Display the current environment variables",
             "Status", "status");
  AddCommand(action, ID_ACTION_QUAKE2, "&Quake2", "Launch Quake2 session", "Launch Quake2",
             "quake2");
  AddCommand(action, ID_ACTION_ENV, "&Environment...", "Display the environment dialog",
             "Environment", "environment");
  AddCommand(action, ID_ACTION_SAVE_OPTIONS, "Sa&ve Options", nullptr, nullptr, nullptr);

  QMenu* help = bar->addMenu(QStringLiteral("&Help"));
  AddCommand(help, ID_HELP_HOME, "&Home...", "Go to the Zelk home page", "Home Page", "home");
  AddCommand(help, ID_APP_ABOUT, "&About Zelk...",
             "Display program information, version number and copyright", "About", "about");
  AddCommand(help, ID_HELP_CMDLIST, "&Command List",
             "Display the available command list for the editor", "Command List", "cmdlist");
  AddCommand(help, ID_HELP_SUPPORT, "&Support...", "Write to the Zelk support department",
             "Support", "support");

  m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  m_toolBar->setObjectName(QStringLiteral("ToolBar"));
  m_toolBar->setIconSize(QSize(16, 15));
  m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_toolBar->setMovable(true);
  m_toolBar->setFloatable(true);
  const int buttons[] = {
      ID_FILE_OPEN_SOURCE, ID_FILE_COMPILE,  0, ID_ACTION_STATUS, ID_ACTION_CLEAR,
      ID_ACTION_ENV,       ID_ACTION_QUAKE2, 0, ID_HELP_HOME,     ID_HELP_SUPPORT,
      ID_HELP_CMDLIST,     ID_APP_ABOUT};
  for (const int id : buttons) {
    if (id == 0) {
      m_toolBar->addSeparator();
    } else {
      m_toolBar->addAction(m_actions.value(id));
    }
  }
  addToolBar(Qt::TopToolBarArea, m_toolBar);

  connect(toolBarItem, &QAction::toggled, m_toolBar, &QToolBar::setVisible);
  connect(m_toolBar, &QToolBar::visibilityChanged, toolBarItem, [this, toolBarItem](bool) {
    // Hiding the main window hides the toolbar too; only a hidden toolbar in a visible window
    // unticks the item.
    if (isVisible()) toolBarItem->setChecked(m_toolBar->isVisible());
  });
  connect(statusBarItem, &QAction::toggled, statusBar(), &QStatusBar::setVisible);
}

void CMainFrame::ConnectCommands() {
  CZelkView& view = m_console->View();
  auto on = [this](int id, auto handler) {
    connect(m_actions.value(id), &QAction::triggered, this, handler);
  };
  on(ID_FILE_OPEN_SOURCE, [&view] { OnFileOpen(view); });
  on(ID_FILE_COMPILE, [&view] { OnFileCompile(view); });
  on(ID_APP_EXIT, [this] { RunBridge("exit"); });
  on(ID_ACTION_CLEAR, [this] { RunBridge("clear"); });
  on(ID_ACTION_STATUS, [this, &view] { view.OnActionStatus(); });
  on(ID_ACTION_QUAKE2, [this] { RunBridge("quake2"); });
  on(ID_ACTION_ENV, [this] { RunBridge("env"); });
  on(ID_ACTION_SAVE_OPTIONS, [&view] { OnSaveOptions(view); });
  on(ID_HELP_HOME, [this] { RunBridge("home"); });
  on(ID_HELP_CMDLIST, [&view] { view.OnHelpCommandList(); });
  on(ID_HELP_SUPPORT, [this, &view] {
    OpenPage(view, SupportPageUrl(), "support");
    m_console->RequestRepaint(false);
  });
  on(ID_APP_ABOUT, [this] {
    CAboutBox about(this);
    about.exec();
  });
}

void CMainFrame::RunBridge(const char* word) {
  m_console->View().RunBridge(word);
  // What the command printed (the launch's echo line, say) is shown at once, not only at the
  // next keystroke.
  m_console->RequestRepaint(false);
}

void CMainFrame::RebuildRecentFiles() {
  for (QAction* action : m_recentActions) {
    m_fileMenu->removeAction(action);
    delete action;
  }
  m_recentActions.clear();
  const QStringList& files = m_recentFiles.Files();
  m_actions.value(ID_FILE_MRU_FILE1)->setVisible(files.isEmpty());
  for (int i = 0; i < files.size(); ++i) {
    const QString fileName = files[i];
    auto* action = new QAction(
        QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(fileName)), this);
    action->setStatusTip(QStringLiteral("Open this document"));
    action->setData(ID_FILE_MRU_FILE1 + i);
    connect(action, &QAction::triggered, this, [this, fileName] { OpenDocument(fileName); });
    m_fileMenu->insertAction(m_recentSeparator, action);
    m_recentActions << action;
  }
}

bool CMainFrame::OpenDocument(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    QMessageBox::warning(this, QStringLiteral("Zelk"),
                         QStringLiteral("Cannot open %1:\n%2").arg(fileName, file.errorString()));
    m_recentFiles.Remove(fileName);
    RebuildRecentFiles();
    return false;
  }
  // The document keeps nothing from the file: it is only named.
  setWindowTitle(QStringLiteral("%1 - Zelk").arg(QFileInfo(fileName).fileName()));
  m_recentFiles.Add(fileName);
  m_recentFiles.Save();
  RebuildRecentFiles();
  return true;
}

bool CMainFrame::event(QEvent* event) {
  // The window manager frames the window after it is shown, and tells the frame's margins only
  // then: the window moves inside its frame. Each time the margins change, the window fits again.
  if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && isVisible() &&
      FrameMargins() != m_fittedMargins) {
    FitToAvailableArea();
  }
  // The status bar shows the prompt of the highlighted item, and "Ready" otherwise.
  if (event->type() == QEvent::StatusTip) {
    const QString tip = static_cast<QStatusTipEvent*>(event)->tip();
    if (statusBar() != nullptr) statusBar()->showMessage(tip.isEmpty() ? kReady : tip);
    return true;
  }
  return QMainWindow::event(event);
}

void CMainFrame::closeEvent(QCloseEvent* event) {
  // Saves the options file. A failure is on the error stream; a desktop user never sees that, so
  // the window tells it before it goes, unless it goes by a stop signal or with the desktop
  // session, when nobody is there to answer.
  const bool saved = m_console->Destroy();
  if (!saved && StopSignal() == 0 && !m_sessionEnding && !qApp->isSavingSession()) {
    QMessageBox::warning(this, QStringLiteral("Zelk"), m_console->LostSettingsText());
  }
  m_recentFiles.Save();
  SaveConsoleSettings(*m_console);
  event->accept();
}

void CMainFrame::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  FitToAvailableArea();
}

QMargins CMainFrame::FrameMargins() const {
  const QRect frame = frameGeometry();
  const QRect inside = geometry();
  return {inside.left() - frame.left(), inside.top() - frame.top(), frame.right() - inside.right(),
          frame.bottom() - inside.bottom()};
}

void CMainFrame::FitToAvailableArea() {
  // The frame, title bar and borders included, takes the available area: the inside gets what
  // the frame leaves of it.
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  m_fittedMargins = FrameMargins();
  const QSize inside = area.size().shrunkBy(m_fittedMargins);
  if (minimumSize() != inside || maximumSize() != inside) setFixedSize(inside);
  if (frameGeometry().topLeft() != area.topLeft()) move(area.topLeft());
}

}  // namespace zelk

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

#include <cstring>

#include "desktop/AboutBox.h"
#include "desktop/ConsoleSettings.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/QtKeys.h"
#include "desktop/QtPlatform.h"
#include "desktop/RecentFileList.h"
#include "platform/Cp1252.h"
#include "platform/StopNotice.h"

namespace zelk {
namespace {

QString FromZelk(const char* text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}

const QString kReady = FromZelk(IDLE_PROMPT);

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
  return QString::fromStdString(FrameTitle(""));
}

QAction* CMainFrame::AddCommand(QMenu* menu, const MenuCommand& command) {
  auto* action = new QAction(FromZelk(command.caption), this);
  action->setData(command.id);
  if (command.prompt != nullptr) action->setStatusTip(FromZelk(command.prompt));
  // Without a tooltip of its own an action shows its caption; a command without one shows none.
  action->setToolTip(command.tooltip != nullptr ? FromZelk(command.tooltip) : QString());
  if (command.icon != nullptr) {
    action->setIcon(QIcon(QStringLiteral(":/toolbar/%1.svg").arg(FromZelk(command.icon))));
  }
  if (command.accelerator.key != Key::None) {
    action->setShortcut(KeySequenceOf(command.accelerator));
  }
  if (command.flags & MENU_CHECKED) {
    action->setCheckable(true);
    action->setChecked(true);
  }
  if (command.flags & MENU_GRAYED) action->setEnabled(false);
  menu->addAction(action);
  m_actions.insert(command.id, action);
  return action;
}

void CMainFrame::BuildMenusAndToolBar() {
  QMenuBar* bar = menuBar();
  QMenu* menu = nullptr;
  const char* menuCaption = nullptr;
  for (const MenuCommand& command : MenuCommands()) {
    if (menuCaption == nullptr || std::strcmp(menuCaption, command.menu) != 0) {
      menuCaption = command.menu;
      menu = bar->addMenu(FromZelk(menuCaption));
    }
    if (command.id != 0) {
      AddCommand(menu, command);
      if (command.id == ID_FILE_MRU_FILE1) {
        m_fileMenu = menu;
        m_fileMenu->setObjectName(QStringLiteral("FileMenu"));
      }
      continue;
    }
    QAction* separator = menu->addSeparator();
    // The recent files go before the separator that follows their placeholder.
    if (menu == m_fileMenu && m_recentSeparator == nullptr) m_recentSeparator = separator;
  }

  m_toolBar = new QToolBar(QStringLiteral("Toolbar"), this);
  m_toolBar->setObjectName(QStringLiteral("ToolBar"));
  m_toolBar->setIconSize(QSize(16, 15));
  m_toolBar->setAllowedAreas(Qt::AllToolBarAreas);
  m_toolBar->setMovable(true);
  m_toolBar->setFloatable(true);
  for (const int id : ToolbarButtons()) {
    if (id == 0) {
      m_toolBar->addSeparator();
    } else {
      m_toolBar->addAction(m_actions.value(id));
    }
  }
  addToolBar(Qt::TopToolBarArea, m_toolBar);

  QAction* toolBarItem = m_actions.value(ID_VIEW_TOOLBAR);
  connect(toolBarItem, &QAction::toggled, m_toolBar, &QToolBar::setVisible);
  connect(m_toolBar, &QToolBar::visibilityChanged, toolBarItem, [this, toolBarItem](bool) {
    // Hiding the main window hides the toolbar too; only a hidden toolbar in a visible window
    // unticks the item.
    if (isVisible()) toolBarItem->setChecked(m_toolBar->isVisible());
  });
  connect(m_actions.value(ID_VIEW_STATUS_BAR), &QAction::toggled, statusBar(),
          &QStatusBar::setVisible);
}

void CMainFrame::ConnectCommands() {
  CZelkView& view = m_console->View();
  for (const MenuCommand& command : MenuCommands()) {
    if (command.run == nullptr) continue;
    connect(m_actions.value(command.id), &QAction::triggered, this,
            [&view, id = command.id] { RunMenuCommand(view, id); });
  }
  connect(m_actions.value(ID_APP_ABOUT), &QAction::triggered, this, [this] {
    CAboutBox about(this);
    about.exec();
  });
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
        QString::fromStdString(
            RecentFileCaption(i, QDir::toNativeSeparators(fileName).toStdString())),
        this);
    action->setStatusTip(FromZelk(FindMenuCommand(ID_FILE_MRU_FILE1)->prompt));
    action->setData(ID_FILE_MRU_FILE1 + i);
    connect(action, &QAction::triggered, this, [this, fileName] { OpenDocument(fileName); });
    m_fileMenu->insertAction(m_recentSeparator, action);
    m_recentActions << action;
  }
}

bool CMainFrame::OpenDocument(const QString& fileName) {
  QFile file(fileName);
  if (!file.open(QIODevice::ReadOnly)) {
    QMessageBox::warning(this, FromZelk(APPLICATION_TITLE),
                         QStringLiteral("Cannot open %1:\n%2").arg(fileName, file.errorString()));
    m_recentFiles.Remove(fileName);
    RebuildRecentFiles();
    return false;
  }
  // The document keeps nothing from the file: it is only named.
  setWindowTitle(QString::fromStdString(FrameTitle(QFileInfo(fileName).fileName().toStdString())));
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
  if (!saved && StopNotice() == 0 && !m_sessionEnding && !qApp->isSavingSession()) {
    QMessageBox::warning(this, FromZelk(APPLICATION_TITLE), m_console->LostSettingsText());
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

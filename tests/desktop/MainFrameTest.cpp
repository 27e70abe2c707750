// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QAction>
#include <QClipboard>
#include <QDialog>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QScreen>
#include <QSettings>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <csignal>
#include <filesystem>
#include <functional>
#include <memory>

#include "GuiTestSupport.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/EnvironmentDialog.h"
#include "desktop/MainFrame.h"
#include "desktop/QtDrawContext.h"
#include "desktop/QtPlatform.h"
#include "desktop/RecentFileList.h"
#include "desktop/StopSignalWatcher.h"
#include "platform/StopNotice.h"
#include "support/ArgsRecord.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

class MainFrameTest : public ::testing::Test {
 protected:
  MainFrameTest()
      : cwd(dir.Path()), doc(DescribeFont(QFontDatabase::systemFont(QFontDatabase::FixedFont))) {
    QSettings().clear();
    recent.Load();
    frame = std::make_unique<CMainFrame>(doc, platform, recent);
    paints = std::make_unique<PaintCounter>(frame->Console());
    frame->show();
    QApplication::setActiveWindow(frame.get());
    EXPECT_TRUE(QTest::qWaitForWindowExposed(frame.get()));
    Paint();
  }
  ~MainFrameTest() override {
    frame.reset();
    QSettings().clear();
  }

  CConsoleWidget& Console() { return *frame->Console(); }
  void Paint() {
    QApplication::processEvents();
    Console().repaint();
  }
  void Trigger(int id) { FindAction(*frame, id)->trigger(); }
  std::string Line(int i) { return LineText(doc, i); }

  TempDir dir;
  CurrentDirectory cwd;
  QtPlatform platform;
  RecentFileList recent;
  CZelkDoc doc;
  std::unique_ptr<CMainFrame> frame;
  std::unique_ptr<PaintCounter> paints;
};

TEST_F(MainFrameTest, MenuItemsCarryTheirCaptionsPromptsAndTooltips) {
  const struct {
    int id;
    const char* caption;
    const char* prompt;
    const char* tooltip;
  } items[] = {
      {ID_FILE_OPEN_SOURCE, "&Open...\tCtrl+O", "Open an existing source file for editing", "Open"},
      {ID_FILE_COMPILE, "&Compile..\tCtrl+C", "Compile an exisiting document for editing",
       "Compile"},
      {ID_FILE_MRU_FILE1, "Recent File", "Open this document", ""},
      {ID_APP_EXIT, "E&xit", "Quit the application", "Exit"},
      {ID_VIEW_TOOLBAR, "&Toolbar", "Show or hide the toolbar", "Toggle ToolBar"},
      {ID_VIEW_STATUS_BAR, "&Status Bar", "Show or hide the status bar", "Toggle StatusBar"},
      {ID_ACTION_CLEAR, "&Clear Screen", "Clear the screen", "Clear"},
      {ID_ACTION_STATUS, "&Status", "Display the current environment variables", "Status"},
      {ID_ACTION_QUAKE2, "&Quake2", "Launch Quake2 session", "Launch Quake2"},
      {ID_ACTION_COMPILE_LAUNCH, "Compile and &Launch\tF5",
       "Compile the source compiled or opened last (choose one first if there is none) and "
       "launch Quake2 if the compile succeeds",
       "Compile and Launch"},
      {ID_ACTION_ENV, "&Environment...", "Display the environment dialog", "Environment"},
      {ID_ACTION_SAVE_OPTIONS, "Sa&ve Options", "", ""},
      {ID_HELP_HOME, "&Home...", "Go to the Zelk home page", "Home Page"},
      {ID_APP_ABOUT, "&About Zelk...", "Display program information, version number and copyright",
       "About"},
      {ID_HELP_CMDLIST, "&Command List", "Display the available command list for the editor",
       "Command List"},
      {ID_HELP_SUPPORT, "&Support...", "Write to the Zelk support department", "Support"},
  };
  for (const auto& item : items) {
    QAction* action = FindAction(*frame, item.id);
    ASSERT_NE(action, nullptr) << item.id;
    EXPECT_EQ(action->text(), QString::fromLatin1(item.caption)) << item.id;
    EXPECT_EQ(action->statusTip(), QString::fromLatin1(item.prompt)) << item.id;
    if (item.tooltip[0] != '\0') {
      EXPECT_EQ(action->toolTip(), QString::fromLatin1(item.tooltip)) << item.id;
    }
  }
  EXPECT_FALSE(FindAction(*frame, ID_FILE_MRU_FILE1)->isEnabled());
  EXPECT_EQ(FindAction(*frame, ID_FILE_COMPILE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_C));
  EXPECT_EQ(FindAction(*frame, ID_FILE_OPEN_SOURCE)->shortcut(),
            QKeySequence(Qt::CTRL | Qt::Key_O));
  EXPECT_EQ(FindAction(*frame, ID_ACTION_COMPILE_LAUNCH)->shortcut(), QKeySequence(Qt::Key_F5));

  QStringList file;
  for (QAction* a : frame->findChild<QMenu*>("FileMenu")->actions())
    file << (a->isSeparator() ? "-" : a->text());
  EXPECT_EQ(file, (QStringList{"&Open...\tCtrl+O", "&Compile..\tCtrl+C", "-", "Recent File", "-",
                               "E&xit"}));
}

TEST_F(MainFrameTest, ToolbarButtonsAndSeparatorsInOrder) {
  std::vector<int> ids;
  for (QAction* a : frame->findChild<QToolBar*>("ToolBar")->actions()) {
    ids.push_back(a->isSeparator() ? 0 : a->data().toInt());
    if (!a->isSeparator()) {
      EXPECT_FALSE(a->icon().isNull()) << a->data().toInt();
      // Drawn for the screen's pixel ratio, not scaled up from a small picture.
      const qreal ratio = frame->devicePixelRatioF();
      const QPixmap sharp = a->icon().pixmap(QSize(16, 15), ratio);
      EXPECT_EQ(sharp.size(), QSize(qRound(16 * ratio), qRound(15 * ratio))) << a->data().toInt();
    }
  }
  EXPECT_EQ(ids, (std::vector<int>{ID_FILE_OPEN_SOURCE, ID_FILE_COMPILE, 0, ID_ACTION_STATUS,
                                   ID_ACTION_CLEAR, ID_ACTION_ENV, ID_ACTION_QUAKE2,
                                   ID_ACTION_COMPILE_LAUNCH, 0, ID_HELP_HOME, ID_HELP_SUPPORT, ID_HELP_CMDLIST, ID_APP_ABOUT}));
  EXPECT_EQ(frame->findChild<QToolBar*>("ToolBar")->allowedAreas(), Qt::AllToolBarAreas);
  EXPECT_TRUE(frame->findChild<QToolBar*>("ToolBar")->isMovable());
  EXPECT_TRUE(frame->findChild<QToolBar*>("ToolBar")->isFloatable());
}

TEST_F(MainFrameTest, WindowFillsTheAvailableAreaAndCannotBeResized) {
  const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(frame->frameGeometry().topLeft(), area.topLeft());
  EXPECT_EQ(frame->frameGeometry().size(), area.size());
  EXPECT_EQ(frame->minimumSize(), frame->maximumSize());
  EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(frame->statusBar()->currentMessage(), "Ready");
  EXPECT_EQ(frame->windowTitle(), "Untitled - Zelk");
}

TEST_F(MainFrameTest, StartsWithAClearedScreenErasedInBlack) {
  EXPECT_EQ(Line(0), "OK>\xA4");
  EXPECT_GE(paints->count, 1);
  EXPECT_EQ(doc.LastLine(), std::min(49, Console().height() / doc.Font().height - 1));
}

TEST_F(MainFrameTest, StatusIsFramedByRulesAndOverwritesUnsubmittedText) {
  QTest::keyClicks(&Console(), "abc");
  Paint();
  Trigger(ID_ACTION_STATUS);
  EXPECT_EQ(Line(0), std::string(255, '-'));
  EXPECT_EQ(Line(1), " -> Quake Dir:");
  EXPECT_EQ(Line(14), " -> Disconnect: OFF");
  EXPECT_EQ(Line(15), std::string(255, '-'));
  EXPECT_EQ(Line(16), "OK>\xA4");
}

TEST_F(MainFrameTest, ClearScreenEmptiesTheScreenWithTextTyped) {
  QTest::keyClicks(&Console(), "version");
  QTest::keyClick(&Console(), Qt::Key_Return);
  QTest::keyClicks(&Console(), "unsent");
  Paint();
  Trigger(ID_ACTION_CLEAR);
  QApplication::processEvents();
  EXPECT_TRUE(BlackBelow(Console(), doc.Font().height));
  EXPECT_EQ(Line(0), "OK>\xA4");
  for (int i = 1; i < CONSOLE_LINES; ++i) EXPECT_EQ(Line(i), "") << i;
}

TEST_F(MainFrameTest, CommandListPrintsOnePageAndContinues) {
  ASSERT_GE(doc.LastLine(), 10);
  Trigger(ID_HELP_CMDLIST);
  EXPECT_EQ(Line(0), std::string(254, '-'));
  EXPECT_EQ(Line(1), "-> COMMAND 0:");
  EXPECT_EQ(doc.CursorLine(), std::min<int>(doc.LastLine(), 49));
  EXPECT_GT(doc.CmdlistNext(), 0);
}

TEST_F(MainFrameTest, EnvironmentLeavesTypedTextWhereItWas) {
  QTest::keyClicks(&Console(), "abc");
  bool sawDialog = false;
  WhenModal([&](QWidget* w) {
    sawDialog = qobject_cast<CEnvironmentDialog*>(w) != nullptr;
    static_cast<QDialog*>(w)->reject();
  });
  Trigger(ID_ACTION_ENV);
  EXPECT_TRUE(sawDialog);
  EXPECT_EQ(Line(0), "OK>abc\xA4");
  EXPECT_EQ(doc.CursorColumn(), 6);
}

TEST_F(MainFrameTest, CtrlCCompilesAndCtrlOOpensThroughTheFileChooser) {
  std::filesystem::create_directories(dir.File("src"));
  dir.Write("src/intro.scr", "wait(1);\n");
  SetText(doc.Settings().saveDir, dir.Path() + "\\");
  QStringList filters;
  const QString chosen = QString::fromStdString(dir.File("src/intro.scr"));
  ChooseInNextFileDialog(chosen, &filters);
  QTest::keyClick(&Console(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(Line(1), " ->Compiling... " + dir.Path() + "/src\\intro.scr");
  EXPECT_EQ(Line(3), "Compile successful. 1 instructions. 544 bytes");
  EXPECT_TRUE(dir.Exists("intro.dat"));
  EXPECT_EQ(std::string(doc.Settings().loadDir), dir.Path() + "/src\\");
  // The dialog has closed: the main window takes the keys again.
  QApplication::setActiveWindow(frame.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  ChooseInNextFileDialog(chosen, &filters);
  QTest::keyClick(&Console(), Qt::Key_O, Qt::ControlModifier);
  EXPECT_EQ(filters,
            (QStringList{"Scripts (*.SCR);;Binary (*.BIN);;Config (*.CFG)", "Scripts (*.SCR)"}));
  // Nothing was typed: the accelerators never reach the console as characters.
  EXPECT_EQ(doc.Statement().find('\x03'), std::string::npos);
}

TEST_F(MainFrameTest, CompileOfANewNameInTheFileDialogSaysTheSourceIsNotFound) {
  SetText(doc.Settings().loadDir, dir.Path() + "\\");
  QString refusal;
  TypeIntoNextFileDialog(QStringLiteral("new.scr"), &refusal);
  Trigger(ID_FILE_COMPILE);
  EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
  const std::string source = dir.Path() + "\\new.scr";
  EXPECT_EQ(Line(1), " ->Compiling... " + source);
  EXPECT_EQ(Line(2), "File " + source + " not found.");
  EXPECT_FALSE(dir.Exists("new.dat"));
}

TEST_F(MainFrameTest, Quake2FromTheMenuStartsTheGameAndShowsTheEcho) {
  const std::string gameDir = dir.File("quake 2");
  std::filesystem::create_directories(gameDir);
  InstallStandIn(gameDir, "quake2");
  const std::string record = dir.File("record");
  RecordArgumentsTo(record);
  SetText(doc.Settings().quake2Dir, gameDir + "\\");
  SetText(doc.Settings().parameters, "+set name \"Big Gun\" +exec a.cfg");
  SetText(doc.Settings().gameName, "my game");
  SetText(doc.Settings().mapName, "base1");
  doc.Settings().disconnectOn = 1;
  const int paintsBefore = paints->count;
  Trigger(ID_ACTION_QUAKE2);
  EXPECT_EQ(Line(0), " -> " + gameDir +
                         "\\quake2.exe +set name \"Big Gun\" +exec a.cfg +set game "
                         "\"my game\" +map base1 +disconnect");
  EXPECT_EQ(doc.CursorLine(), 1);  // no failure line below the echo
  const auto received = WaitForRecord(record, [] { QApplication::processEvents(); });
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->workingDir, gameDir);
  EXPECT_EQ(received->arguments,
            (std::vector<std::string>{"+set", "name", "Big Gun", "+exec", "a.cfg", "+set", "game",
                                      "my game", "+map", "base1", "+disconnect"}));
  QApplication::processEvents();
  EXPECT_GT(paints->count, paintsBefore);  // the echo line is shown at once
}

TEST_F(MainFrameTest, F5CompilesTheLastSourceAndLaunchesTheGameOnlyWhenItCompiled) {
  const std::string gameDir = dir.File("quake 2");
  std::filesystem::create_directories(gameDir);
  InstallStandIn(gameDir, "quake2");
  const std::string record = dir.File("record");
  RecordArgumentsTo(record);
  SetText(doc.Settings().quake2Dir, gameDir + "\\");
  SetText(doc.Settings().saveDir, dir.Path() + "\\");
  SetText(doc.Settings().mapName, "base1");
  doc.Settings().errorSoundOn = 0;
  dir.Write("intro.scr", "wait(1);\n");
  const std::string echo = " -> " + gameDir + "\\quake2.exe  +map base1";  // no parameters

  // No source yet: the Compile dialog chooses one first.
  QStringList filters;
  ChooseInNextFileDialog(QString::fromStdString(dir.File("intro.scr")), &filters);
  QTest::keyClick(&Console(), Qt::Key_F5);
  EXPECT_EQ(filters.size(), 1);
  EXPECT_EQ(Line(3), "Compile successful. 1 instructions. 544 bytes");
  EXPECT_EQ(Line(5), echo);
  const auto received = WaitForRecord(record, [] { QApplication::processEvents(); });
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->arguments, (std::vector<std::string>{"+map", "base1"}));

  // The same source, now with an error, from the toolbar: no dialog, no launch.
  QApplication::setActiveWindow(frame.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(frame.get()));
  dir.Write("intro.scr", "wait(1);\nnonsense;\n");
  doc.ClearScreen();
  MessageBoxSeen box;
  AnswerNextMessageBox(&box);
  QToolBar* toolBar = frame->findChild<QToolBar*>("ToolBar");
  QTest::mouseClick(toolBar->widgetForAction(FindAction(*frame, ID_ACTION_COMPILE_LAUNCH)),
                    Qt::LeftButton);
  EXPECT_EQ(filters.size(), 1);
  EXPECT_EQ(Line(1), " ->Compiling... " + dir.Path() + "\\intro.scr");
  EXPECT_FALSE(box.text.isEmpty());
  for (int i = 0; i <= doc.CursorLine(); ++i) EXPECT_NE(Line(i), echo) << i;
}

TEST_F(MainFrameTest, ExitClosesAndSavesTheOptions) {
  Trigger(ID_APP_EXIT);
  EXPECT_TRUE(frame->isVisible());  // queued: the command returns first
  QApplication::processEvents();
  EXPECT_FALSE(frame->isVisible());
  EXPECT_EQ(dir.Read("zelk.cfg").size(), OPTIONS_IMAGE_SIZE);
}

TEST_F(MainFrameTest, AStopSignalClosesAsExitDoesAndSavesTheOptions) {
  InstallStopNotice();
  new StopSignalWatcher(frame.get());
  std::raise(SIGTERM);
  for (int i = 0; i < 100 && frame->isVisible(); ++i) QTest::qWait(10);
  EXPECT_FALSE(frame->isVisible());
  EXPECT_EQ(StopNotice(), SIGTERM);
  RemoveStopNotice();
  EXPECT_EQ(dir.Read("zelk.cfg").size(), OPTIONS_IMAGE_SIZE);
}

// An options file that cannot be written at the end (a folder stands in its place): the user is
// told in a box before the window goes, unless nobody is there to answer; the error stream always.
TEST_F(MainFrameTest, AFailedSaveAtTheEndIsToldToTheUserWhenSomeoneIsThere) {
  ASSERT_TRUE(std::filesystem::create_directory(dir.File("zelk.cfg")));
  QStringList boxes;
  QTimer answer;
  answer.setInterval(5);
  QObject::connect(&answer, &QTimer::timeout, [&boxes] {
    if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
      boxes << box->windowTitle() + " | " + box->text() + " | " +
                   QString::number(static_cast<int>(box->standardButtons())) +
                   (box->isModal() ? "" : " (not modal)");
      box->button(QMessageBox::Ok)->click();
    }
  });
  answer.start();
  const struct {
    const char* name;
    std::function<void(CMainFrame&)> end;
    bool told;
  } cases[] = {
      {"File > Exit",
       [](CMainFrame& window) {
         FindAction(window, ID_APP_EXIT)->trigger();
         QApplication::processEvents();
       },
       true},
      {"the close box", [](CMainFrame& window) { window.close(); }, true},
      {"a stop signal",
       [](CMainFrame& window) {
         InstallStopNotice();
         new StopSignalWatcher(&window);
         std::raise(SIGTERM);
         for (int i = 0; i < 100 && window.isVisible(); ++i) QTest::qWait(10);
         RemoveStopNotice();
       },
       false},
      {"the end of the desktop session",
       [](CMainFrame& window) {
         window.EndWithTheSession();
         window.close();
       },
       false},
  };
  const QString path = QString::fromStdString(dir.File("zelk.cfg"));
  for (const auto& c : cases) {
    boxes.clear();
    CZelkDoc caseDoc(DescribeFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)));
    RecentFileList caseRecent;
    CMainFrame window(caseDoc, platform, caseRecent);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window)) << c.name;
    ::testing::internal::CaptureStderr();
    c.end(window);
    const std::string stderrText = ::testing::internal::GetCapturedStderr();
    EXPECT_FALSE(window.isVisible()) << c.name;
    EXPECT_NE(stderrText.find("cannot save the options file " + path.toStdString()),
              std::string::npos)
        << c.name << ": " << stderrText;
    const QStringList expected{"Zelk | Cannot save the options file (Is a directory):\n" + path +
                               "\n\nThe settings changed in this session are lost. | " +
                               QString::number(QMessageBox::Ok)};
    EXPECT_EQ(boxes, c.told ? expected : QStringList()) << c.name;
  }
  answer.stop();
  std::filesystem::remove(dir.File("zelk.cfg"));
  platform.SetConsole(frame->Console());
  platform.SetMainWindow(frame.get());
}

TEST_F(MainFrameTest, SaveOptionsReportsAndRepaints) {
  const int paintsBefore = paints->count;
  Trigger(ID_ACTION_SAVE_OPTIONS);
  EXPECT_EQ(Line(0).rfind("Current options saved to '", 0), 0u) << Line(0);
  QApplication::processEvents();
  EXPECT_GT(paints->count, paintsBefore);
}

TEST_F(MainFrameTest, OpenedDocumentsEnterTheRecentFileList) {
  std::vector<std::string> names;
  for (int i = 0; i < 5; ++i) {
    names.push_back(dir.File("doc" + std::to_string(i) + ".scr"));
    dir.Write("doc" + std::to_string(i) + ".scr", "");
    ASSERT_TRUE(frame->OpenDocument(QString::fromStdString(names.back())));
  }
  EXPECT_EQ(frame->windowTitle(), "doc4.scr - Zelk");
  QSettings settings;
  settings.beginGroup("Recent File List");
  EXPECT_EQ(settings.value("File1").toString().toStdString(), names[4]);
  EXPECT_EQ(settings.value("File4").toString().toStdString(), names[1]);
  EXPECT_FALSE(settings.contains("File5"));
  EXPECT_FALSE(FindAction(*frame, ID_FILE_MRU_FILE1)->isVisible());
  QStringList menu;
  for (QAction* a : frame->findChild<QMenu*>("FileMenu")->actions()) {
    if (!a->isSeparator() && a->isVisible()) menu << a->text();
  }
  EXPECT_EQ(menu.size(), 2 + 4 + 1);
  EXPECT_EQ(menu[2], "&1 " + QString::fromStdString(names[4]));
  EXPECT_EQ(QCoreApplication::organizationName(), "Local AppWizard-Generated Applications");
  EXPECT_EQ(QCoreApplication::applicationName(), "Zelk");
}

TEST_F(MainFrameTest, HidingTheToolbarGivesTheConsoleMoreLinesAndShowingItKeepsThePrompt) {
  // Lines tall enough that the bars take some of the fifty.
  Console().Screen().SetFontHeight(30);
  const short before = doc.LastLine();
  ASSERT_LT(before, 49);
  FindAction(*frame, ID_VIEW_TOOLBAR)->trigger();
  FindAction(*frame, ID_VIEW_STATUS_BAR)->trigger();
  QApplication::processEvents();
  Console().repaint();
  EXPECT_FALSE(frame->findChild<QToolBar*>("ToolBar")->isVisible());
  EXPECT_GT(doc.LastLine(), before);
  EXPECT_EQ(doc.LastLine(), std::min(49, Console().height() / doc.Font().height - 1));
  // The prompt on the last line, the bars back: the prompt moves up onto the last line left.
  while (doc.CursorLine() < doc.LastLine()) doc.PrintLine("output");
  doc.PrintLine("last output");
  QTest::keyClicks(&Console(), "move_to");
  FindAction(*frame, ID_VIEW_TOOLBAR)->trigger();
  FindAction(*frame, ID_VIEW_STATUS_BAR)->trigger();
  QApplication::processEvents();
  EXPECT_EQ(doc.LastLine(), before);
  EXPECT_EQ(doc.CursorLine(), doc.LastLine());
  EXPECT_EQ(Line(doc.CursorLine()), "OK>move_to\xA4");
  EXPECT_EQ(Line(doc.CursorLine() - 1), "last output");
  EXPECT_LE((doc.CursorLine() + 1) * doc.Font().height, Console().height());
}

TEST_F(MainFrameTest, CtrlShiftCCopiesAndNeverCompiles) {
  // A file dialog would mean a compile: it is refused and counted.
  int dialogs = 0;
  QTimer refuse;
  refuse.setInterval(5);
  QObject::connect(&refuse, &QTimer::timeout, [&dialogs] {
    if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      ++dialogs;
      dialog->reject();
    }
  });
  refuse.start();
  QTest::keyClicks(&Console(), "version");
  QTest::keyClick(&Console(), Qt::Key_Return);
  QTest::mouseDClick(&Console(), Qt::LeftButton, {}, QPoint(3, doc.Font().height * 3 / 2));
  QTest::keyClick(&Console(), Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("Zelk"));
  EXPECT_EQ(dialogs, 0);
  QTest::keyClick(&Console(), Qt::Key_C, Qt::ControlModifier);  // still Compile
  EXPECT_EQ(dialogs, 1);
}

TEST_F(MainFrameTest, TheHistoryAndTheFontSizeAreKeptBetweenRuns) {
  for (const char* line : {"version", "status"}) {
    QTest::keyClicks(&Console(), line);
    QTest::keyClick(&Console(), Qt::Key_Return);
  }
  QTest::keyClick(&Console(), Qt::Key_Plus, Qt::ControlModifier);
  const int zoomed = Console().Screen().FontHeight();
  ASSERT_GT(zoomed, Console().Screen().DefaultFontHeight());
  frame->close();

  CZelkDoc nextDoc(DescribeFont(QFontDatabase::systemFont(QFontDatabase::FixedFont)));
  RecentFileList nextRecent;
  auto next = std::make_unique<CMainFrame>(nextDoc, platform, nextRecent);
  EXPECT_EQ(next->Console()->Screen().FontHeight(), zoomed);
  EXPECT_EQ(nextDoc.Font().height, zoomed);
  QTest::keyClick(next->Console(), Qt::Key_Up);
  EXPECT_EQ(LineText(nextDoc, 0), "OK>status\xA4");
  // Back at the default size, the size is no longer kept: the system's font decides it.
  QTest::keyClick(next->Console(), Qt::Key_0, Qt::ControlModifier);
  next->close();
  QSettings settings;
  settings.beginGroup("Console");
  EXPECT_EQ(settings.value("History").toStringList(), (QStringList{"version", "status"}));
  EXPECT_FALSE(settings.contains("FontHeight"));
  next.reset();
  platform.SetConsole(frame->Console());
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
// Speed of the desktop console on Qt's offscreen platform:
// - one typed character on a 1920 by 1080 console: the key rules and the repaint the key asks
//   for, done as the event loop does it;
// - a line of output that scrolls the full console, painted again;
// - from the start of the main window to the first painted prompt.
//
// At a device pixel ratio of 2 the console is 3840 by 2160 pixels:
//   QT_QPA_PLATFORM=offscreen:configfile=bench/desktop/uhd-screen.json QT_SCALE_FACTOR=2
//   build/bench/desktop/zelk_desktop_bench
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QStandardPaths>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "console/ZelkDoc.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/MainFrame.h"
#include "desktop/QtDrawContext.h"
#include "desktop/QtPlatform.h"
#include "desktop/RecentFileList.h"
#include "desktop/ZelkApp.h"

namespace {

zelk::FontDescription SystemFixedFont() {
  return zelk::DescribeFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
}

// Counts the paints of a widget.
struct Paints final : QObject {
  explicit Paints(QWidget* widget) { widget->installEventFilter(this); }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
  benchmark::IterationCount count = 0;
};

// A 1920 by 1080 console widget, shown, on its own document and platform.
struct ShownConsole {
  ShownConsole() {
    platform.SetConsole(&console);
    console.resize(1920, 1080);
    console.Create();
    console.show();
    QApplication::processEvents();
  }
  zelk::CZelkDoc doc{SystemFixedFont()};
  zelk::QtPlatform platform;
  zelk::CConsoleWidget console{doc, platform};
};

void TypedCharacter(benchmark::State& state) {
  ShownConsole shown;
  zelk::CZelkDoc& doc = shown.doc;
  zelk::CConsoleWidget& console = shown.console;
  // 45 lines of output, each state.range(0) characters long: 40 is a typical answer (the status
  // listing), 200 a screen packed with text.
  for (int i = 0; i < 45; ++i) doc.PrintLine(std::string(state.range(0), 'x').c_str());
  console.repaint();

  QKeyEvent letter(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
  QKeyEvent backspace(QEvent::KeyPress, Qt::Key_Backspace, Qt::NoModifier);
  Paints paints(&console);
  bool type = true;
  for (auto _ : state) {
    QApplication::sendEvent(&console, type ? &letter : &backspace);
    // The paint the key asked for, done now, as the event loop would do it next.
    QCoreApplication::sendPostedEvents();
    type = !type;
  }
  if (paints.count < state.iterations()) state.SkipWithError("a key was not painted");
  state.counters["lastLine"] = doc.LastLine();
  state.counters["devicePixelRatio"] = console.devicePixelRatioF();
}
BENCHMARK(TypedCharacter)->Arg(40)->Arg(200)->Unit(benchmark::kMicrosecond);

// A line of output on a full console: the buffer scrolls, every row changes and the whole console
// is painted again.
void LineThatScrolls(benchmark::State& state) {
  ShownConsole shown;
  zelk::CZelkDoc& doc = shown.doc;
  zelk::QtPlatform& platform = shown.platform;
  zelk::CConsoleWidget& console = shown.console;
  const std::string text(state.range(0), 'x');
  int number = 0;
  for (auto _ : state) {
    // Lines that differ, as output does.
    doc.PrintLine((std::to_string(++number % 1000) + text).c_str());
    platform.RequestRepaint(false);
    QCoreApplication::sendPostedEvents();
  }
  state.counters["devicePixelRatio"] = console.devicePixelRatioF();
}
BENCHMARK(LineThatScrolls)->Arg(40)->Arg(200)->Unit(benchmark::kMicrosecond);

void StartToFirstPrompt(benchmark::State& state) {
  for (auto _ : state) {
    QElapsedTimer clock;
    clock.start();
    zelk::CZelkDoc doc(SystemFixedFont());
    zelk::QtPlatform platform;
    zelk::RecentFileList recent;
    recent.Load();
    auto frame = std::make_unique<zelk::CMainFrame>(doc, platform, recent);
    Paints painted(frame->Console());
    frame->show();
    while (painted.count == 0) QApplication::processEvents();
    state.SetIterationTime(static_cast<double>(clock.nsecsElapsed()) / 1e9);
    if (doc.LineText(0).substr(0, 4) != "OK>\xA4")
      state.SkipWithError("no prompt painted");
    frame->close();
  }
}
BENCHMARK(StartToFirstPrompt)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  QApplication app(argc, argv);
  zelk::CZelkApp::SetSettingsLocation();
  // The options file of the runs goes to a scratch directory.
  std::string scratch = (std::filesystem::temp_directory_path() / "zelk-bench-XXXXXX").string();
  if (::mkdtemp(scratch.data()) == nullptr || ::chdir(scratch.c_str()) != 0) return 1;
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  std::filesystem::remove_all(scratch);
  return 0;
}

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QBackingStore>
#include <QClipboard>
#include <QFontMetrics>
#include <QImage>
#include <QMenu>
#include <QPainter>
#include <QTest>
#include <algorithm>
#include <functional>

#include "GuiTestSupport.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/QtDrawContext.h"
#include "desktop/QtPlatform.h"
#include "support/RecordingPlatform.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

FontDescription SixteenPixelFont() {
  FontDescription font;
  font.height = 16;
  std::snprintf(font.faceName, sizeof font.faceName, "%s", "DejaVu Sans Mono");
  return font;
}

// What the window shows: the picture its paints left in the window's backing store.
QImage OnScreen(QWidget& widget) {
  QPaintDevice* device = widget.backingStore()->paintDevice();
  if (device == nullptr || device->devType() != QInternal::Image) return {};
  return static_cast<QImage*>(device)->convertToFormat(QImage::Format_RGB32);
}

// The picture of a paint of the whole widget.
QImage FullRepaint(QWidget& widget) {
  return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The pixels in which two pictures differ; all of them when the sizes differ.
int DifferentPixels(const QImage& a, const QImage& b) {
  if (a.size() != b.size() || a.isNull()) return std::max(a.width() * a.height(), 1);
  int different = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) different += a.pixel(x, y) != b.pixel(x, y);
  }
  return different;
}

// Lets the paints asked for happen, as the event loop does them.
void Settle() {
  QCoreApplication::sendPostedEvents();
  QApplication::processEvents();
}

// Runs act on the next popup menu as soon as it is open (its own event loop blocks the caller).
void WhenPopup(std::function<void(QMenu*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
      timer->stop();
      timer->deleteLater();
      act(menu);
    }
  });
  timer->start();
}

class ConsoleWidgetTest : public ::testing::Test {
 protected:
  ConsoleWidgetTest() : doc(SixteenPixelFont()), widget(doc, platform) {
    platform.currentDirectory = dir.Path();
    widget.resize(800, 500);
    widget.Create();
    widget.show();
    QApplication::setActiveWindow(&widget);
    EXPECT_TRUE(QTest::qWaitForWindowActive(&widget));
    widget.setFocus();
    widget.repaint();  // the first paint clears and shows the prompt
    platform.repaints.clear();
  }

  CZelkDoc& Doc() { return doc; }
  std::string Line(int i) { return LineText(doc, i); }

  // The middle of a cell and the boundary before it, by the advance the font draws with.
  QPoint CellPoint(int row, int column) {
    const CellMetrics m = MeasureCells(FontFromDescription(doc.Font()), doc.Font().height);
    return {qRound((column + 0.5) * m.advance), row * m.lineHeight + m.lineHeight / 2};
  }
  QPoint BoundaryPoint(int row, int column) {
    const CellMetrics m = MeasureCells(FontFromDescription(doc.Font()), doc.Font().height);
    return {qRound(column * m.advance), row * m.lineHeight + m.lineHeight / 2};
  }
  // Mouse events at their own times: clicks count as double and triple clicks only when they
  // follow each other quickly.
  void Mouse(QEvent::Type type, QPoint at, int afterMs, QWidget* target = nullptr) {
    if (target == nullptr) target = &widget;
    time += static_cast<quint64>(afterMs);
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held =
        type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::MouseButtons(Qt::LeftButton);
    QMouseEvent event(type, at, target->mapToGlobal(at), button, held, Qt::NoModifier);
    event.setTimestamp(time);
    QApplication::sendEvent(target, &event);
  }
  void Drag(QPoint from, QPoint to, QWidget* target = nullptr) {
    Mouse(QEvent::MouseButtonPress, from, 1000, target);
    Mouse(QEvent::MouseMove, (from + to) / 2, 10, target);
    Mouse(QEvent::MouseMove, to, 10, target);
    Mouse(QEvent::MouseButtonRelease, to, 10, target);
  }
  void Clicks(QPoint at, int count) {
    Mouse(QEvent::MouseButtonPress, at, 1000);
    Mouse(QEvent::MouseButtonRelease, at, 20);
    if (count >= 2) {
      Mouse(QEvent::MouseButtonDblClick, at, 20);
      Mouse(QEvent::MouseButtonRelease, at, 20);
    }
    if (count >= 3) {
      Mouse(QEvent::MouseButtonPress, at, 20);
      Mouse(QEvent::MouseButtonRelease, at, 20);
    }
  }
  void Wheel(int delta) {
    const QPointF at(100, 100);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
  }
  quint64 time = 0;

  TempDir dir;
  RecordingPlatform platform;
  CZelkDoc doc;
  CConsoleWidget widget;
};

TEST_F(ConsoleWidgetTest, FirstPaintShowsThePromptAndCursor) {
  EXPECT_EQ(Line(0), "OK>\xA4");
  for (int i = 1; i < CONSOLE_LINES; ++i) EXPECT_EQ(Line(i), "") << i;
}

TEST_F(ConsoleWidgetTest, TypedKeysFollowTheCaseAndQuoteRules) {
  struct Key {
    Qt::Key key;
    const char* text;
  };
  const struct {
    const char* name;
    std::vector<Key> keys;
    std::string line;
    bool quoteMode;
  } cases[] = {
      {"lower-cased outside quotes",
       {{Qt::Key_V, "V"}, {Qt::Key_E, "e"}, {Qt::Key_R, "R"}},
       "OK>ver\xA4",
       false},
      {"capitals kept inside quotes",
       {{Qt::Key_S, "S"},
        {Qt::Key_QuoteDbl, "\""},
        {Qt::Key_H, "H"},
        {Qt::Key_QuoteDbl, "\""},
        {Qt::Key_X, "X"}},
       "OK>s\"H\"x\xA4",
       false},
      {"backspace over a quote ends quote mode",
       {{Qt::Key_QuoteDbl, "\""},
        {Qt::Key_A, "A"},
        {Qt::Key_Backspace, ""},
        {Qt::Key_Backspace, ""},
        {Qt::Key_B, "B"}},
       "OK>b\xA4",
       false},
      {"backspace at the prompt changes nothing", {{Qt::Key_Backspace, ""}}, "OK>\xA4", false},
      {"escape is stored",
       {{Qt::Key_Escape, ""}, {Qt::Key_A, "a"}},
       "OK>\x1B"
       "a\xA4",
       false},
      {"keys without a character change nothing on an empty line",
       {{Qt::Key_Left, ""},
        {Qt::Key_Delete, "\x7F"},
        {Qt::Key_F5, ""},
        {Qt::Key_Home, ""},
        {Qt::Key_A, "a"}},
       "OK>a\xA4",
       false},
      {"Windows-1252 characters arrive as their byte, others as '?'",
       {{Qt::Key_unknown, "\xE2\x82\xAC"},
        {Qt::Key_Eacute, "\xC3\x89"},
        {Qt::Key_unknown, "\xD0\x96"}},
       "OK>\x80\xC9?\xA4",
       false},
      {"an open quote stays open",
       {{Qt::Key_QuoteDbl, "\""}, {Qt::Key_Q, "Q"}},
       "OK>\"Q\xA4",
       true},
  };
  for (const auto& c : cases) {
    // An empty line submitted ends the quote mode of the case before.
    Doc().ClearScreen();
    QTest::keyClick(&widget, Qt::Key_Return);
    Doc().ClearScreen();
    for (const Key& k : c.keys) {
      QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier, QString::fromUtf8(k.text));
      QApplication::sendEvent(&widget, &press);
    }
    EXPECT_EQ(Line(0), c.line) << c.name;
    // In quote mode a letter keeps its case.
    QTest::keyClicks(&widget, "X");
    EXPECT_EQ(Line(0), c.line.substr(0, c.line.size() - 1) + (c.quoteMode ? "X" : "x") + "\xA4")
        << c.name;
  }
}

TEST_F(ConsoleWidgetTest, TheEditingKeysEditTheLineAndTheCellUnderTheCursorShowsInverted) {
  const CellMetrics m = MeasureCells(FontFromDescription(doc.Font()), doc.Font().height);
  // The top left pixel of a cell on line 0: the text colour when the cell is inverted.
  auto corner = [&](const QImage& image, int column) {
    const qreal ratio = image.devicePixelRatio();
    return image.pixelColor(qRound((m.ColumnX(column) + 1) * ratio), qRound(ratio));
  };
  QTest::keyClicks(&widget, "sy \"Hi\"");
  Settle();
  EXPECT_EQ(corner(OnScreen(widget), 3), QColor(Qt::black));
  QTest::keyClick(&widget, Qt::Key_Home);
  Settle();
  const QImage home = OnScreen(widget);
  EXPECT_EQ(corner(home, 3), QColor(0, 170, 0));
  EXPECT_EQ(corner(home, 4), QColor(Qt::black));
  EXPECT_EQ(DifferentPixels(home, FullRepaint(widget)), 0);  // the row was painted again
  EXPECT_EQ(Line(0), "OK>sy \"Hi\"");                        // no mark inside the line

  QTest::keyClick(&widget, Qt::Key_Right);
  QTest::keyClicks(&widget, "A");  // inserted, lower-cased: no quote before the cursor
  EXPECT_EQ(Line(0), "OK>say \"Hi\"");
  QTest::keyClick(&widget, Qt::Key_Right, Qt::ControlModifier);
  QTest::keyClick(&widget, Qt::Key_Right, Qt::ControlModifier);
  EXPECT_EQ(doc.CursorColumn(), 8);
  QTest::keyClick(&widget, Qt::Key_Delete);
  QTest::keyClicks(&widget, "Y");  // inside the quotes: kept
  EXPECT_EQ(Line(0), "OK>say \"Yi\"");
  QTest::keyClick(&widget, Qt::Key_Left, Qt::ControlModifier);
  QTest::keyClick(&widget, Qt::Key_Backspace);  // the quote goes; the Y keeps its case
  EXPECT_EQ(Line(0), "OK>say Yi\"");
  QTest::keyClick(&widget, Qt::Key_End);
  Settle();
  const QImage end = OnScreen(widget);
  EXPECT_EQ(Line(0), "OK>say Yi\"\xA4");
  EXPECT_EQ(corner(end, 3), QColor(Qt::black));
  EXPECT_EQ(DifferentPixels(end, FullRepaint(widget)), 0);
  QTest::keyClick(&widget, Qt::Key_Home);
  QTest::keyClick(&widget, Qt::Key_Return);  // the whole line goes
  EXPECT_EQ(doc.Statement().substr(0, 7), "say Yi\"");
}

TEST_F(ConsoleWidgetTest, EveryKeyAsksForARepaintWithoutErase) {
  QTest::keyClicks(&widget, "ab");
  QTest::keyClick(&widget, Qt::Key_Backspace);
  EXPECT_EQ(platform.repaints, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(doc.DrawMode(), DRAW_NORMAL);
}

TEST_F(ConsoleWidgetTest, TheInputLineHoldsAtMost251Characters) {
  QTest::keyClicks(&widget, QString(260, QLatin1Char('a')));
  const std::string line = Line(0);
  EXPECT_EQ(line, "OK>" + std::string(251, 'a') + "\xA4");
  EXPECT_EQ(doc.CursorColumn(), 254);
  QTest::keyClick(&widget, Qt::Key_Backspace);
  EXPECT_EQ(Line(0), "OK>" + std::string(250, 'a') + "\xA4");
  QTest::keyClick(&widget, Qt::Key_Return);
  EXPECT_EQ(doc.CursorLine(), 2);  // the line went to the interpreter, which answered
}

TEST_F(ConsoleWidgetTest, EnterTabAndShiftTabSubmitTheLine) {
  for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Tab, Qt::Key_Backtab}) {
    doc.ClearScreen();
    const Qt::KeyboardModifier modifier =
        key == Qt::Key_Backtab ? Qt::ShiftModifier : Qt::NoModifier;
    // An open quote ends with the line: the next line is lower-cased again.
    QTest::keyClicks(&widget, "\"");
    QTest::keyClick(&widget, key, modifier);
    EXPECT_EQ(Line(1), "Bad instruction or system data.") << key;
    QTest::keyClicks(&widget, "Version");
    QTest::keyClick(&widget, key, modifier);
    EXPECT_EQ(Line(2), "OK>version") << key;
    EXPECT_EQ(Line(3), "Zelk Script Compiler Version 1.01") << key;
    EXPECT_EQ(std::string(doc.Statement()), "version") << key;
    EXPECT_TRUE(widget.hasFocus()) << key;  // Tab does not move the focus away
  }
}

TEST_F(ConsoleWidgetTest, LastLineFollowsTheHeightAtEveryPaint) {
  const int lineHeight = doc.Font().height;
  ASSERT_EQ(lineHeight, 16);
  const struct {
    int height;
    short lastLine;
  } cases[] = {{500, 30}, {100, 5}, {16 * 60, 49}, {16 * 50, 49}, {16 * 50 - 1, 48}, {40, 1}};
  for (const auto& c : cases) {
    widget.resize(800, c.height);
    widget.repaint();
    EXPECT_EQ(doc.LastLine(), c.lastLine) << c.height;
  }
}

TEST_F(ConsoleWidgetTest, TheFontHasTheLineHeightOfItsDescription) {
  for (const int height : {12, 16, 23}) {
    FontDescription description = SixteenPixelFont();
    description.height = height;
    EXPECT_LE(QFontMetrics(FontFromDescription(description)).height(), height) << height;
    EXPECT_GE(QFontMetrics(FontFromDescription(description)).height(), height - 2) << height;
  }
}

TEST_F(ConsoleWidgetTest, PaintsGreenTextOnBlack) {
  QTest::keyClicks(&widget, "version status");
  const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  int exactGreen = 0;
  int other = 0;
  for (int y = 0; y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      const QColor c = image.pixelColor(x, y);
      if (c == QColor(0, 170, 0)) ++exactGreen;
      // Black, the text colour, and the shades between them at the glyphs' edges.
      if (c.red() != 0 || c.blue() != 0 || c.green() > 170) ++other;
    }
  }
  EXPECT_GT(exactGreen, 20);
  EXPECT_EQ(other, 0);
  // Below the last line and right of the text: black.
  EXPECT_EQ(image.pixelColor(image.width() - 1, image.height() - 1), QColor(Qt::black));
  // The prompt on line 0 has green pixels; line 5 has none.
  auto greenIn = [&](int line) {
    int n = 0;
    for (int y = line * 16; y < (line + 1) * 16; ++y)
      for (int x = 0; x < 200; ++x) n += image.pixelColor(x, y).green() > 0;
    return n;
  };
  EXPECT_GT(greenIn(0), 0);
  EXPECT_EQ(greenIn(5), 0);
}

TEST_F(ConsoleWidgetTest, TheColourIntensityIsTheGreenOfTheText) {
  doc.SetColorIntensity(255);
  widget.repaint();
  const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  bool found = false;
  for (int y = 0; y < 16 && !found; ++y)
    for (int x = 0; x < 60 && !found; ++x) found = image.pixelColor(x, y) == QColor(0, 255, 0);
  EXPECT_TRUE(found);
}

TEST_F(ConsoleWidgetTest, UpAndDownRecallEarlierLinesAndAnEditedOneRunsAgain) {
  QTest::keyClicks(&widget, "Version");
  QTest::keyClick(&widget, Qt::Key_Return);
  QTest::keyClicks(&widget, "say \"Hi\"");
  QTest::keyClick(&widget, Qt::Key_Return);
  QTest::keyClicks(&widget, "ab");
  const struct {
    Qt::Key key;
    const char* input;
  } steps[] = {
      {Qt::Key_Up, "say \"Hi\""}, {Qt::Key_Up, "version"},
      {Qt::Key_Up, "version"},    {Qt::Key_Down, "say \"Hi\""},
      {Qt::Key_Down, "ab"},       {Qt::Key_Down, "ab"},
      {Qt::Key_Up, "say \"Hi\""}, {Qt::Key_Backspace, "say \"Hi"},
      {Qt::Key_X, "say \"Hix"},
  };
  for (const auto& step : steps) {
    QTest::keyClick(&widget, step.key);
    EXPECT_EQ(Line(doc.CursorLine()), std::string("OK>") + step.input + "\xA4") << step.input;
  }
  QTest::keyClicks(&widget, "X");
  EXPECT_EQ(Line(doc.CursorLine()), "OK>say \"HixX\xA4");  // the recalled quote is open again
  QTest::keyClick(&widget, Qt::Key_Backspace);
  QTest::keyClick(&widget, Qt::Key_Tab);  // Tab hands the line over as Enter does
  EXPECT_EQ(widget.Screen().History().Lines(),
            (std::vector<std::string>{"version", "say \"Hi\"", "say \"Hix"}));
  QTest::keyClicks(&widget, "X");
  EXPECT_EQ(Line(doc.CursorLine()), "OK>x\xA4");  // quote mode is over
}

TEST_F(ConsoleWidgetTest, SelectedTextIsCopiedAsUtf8WithoutTrailingBlanks) {
  doc.ClearScreen();
  doc.PrintLine("Compile failed: intro.scr:12: error: Bad label   ");
  doc.PrintLine((std::string(200, ' ') + "far right").c_str());
  doc.PrintLine("caf\xE9 costs \x80 5");
  const struct {
    const char* name;
    std::function<void()> select;
    std::string copied;
  } cases[] = {
      {"a drag from boundary to boundary",
       [&] { Drag(BoundaryPoint(0, 16), BoundaryPoint(0, 29)); }, "intro.scr:12:"},
      {"a drag backwards", [&] { Drag(BoundaryPoint(0, 29), BoundaryPoint(0, 16)); },
       "intro.scr:12:"},
      {"a drag over three lines", [&] { Drag(BoundaryPoint(0, 37), BoundaryPoint(2, 4)); },
       "Bad label\n" + std::string(200, ' ') + "far right\ncaf\u00e9"},
      {"a double click takes a word", [&] { Clicks(CellPoint(0, 20), 2); }, "intro.scr:12:"},
      {"a double click far right hits the character drawn there",
       [&] { Clicks(CellPoint(1, 201), 2); }, "far"},
      {"a triple click takes the line", [&] { Clicks(CellPoint(2, 3), 3); },
       "caf\u00e9 costs \u20ac 5"},
      {"the cursor mark is not copied", [&] { Clicks(CellPoint(3, 1), 3); }, "OK>"},
      {"a click selects nothing", [&] { Clicks(CellPoint(0, 3), 1); }, "unchanged"},
  };
  for (const auto& c : cases) {
    QGuiApplication::clipboard()->setText(QStringLiteral("unchanged"));
    c.select();
    QTest::keyClick(&widget, Qt::Key_C, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QString::fromStdString(c.copied)) << c.name;
  }
  EXPECT_EQ(Line(3), "OK>\xA4");  // copying typed nothing
}

// The mouse finds a character where the font draws it: at the font's real advance, which is not
// the whole-pixel width, far right on a line.
TEST_F(ConsoleWidgetTest, GlyphsStandInTheCellsTheMouseFindsThem) {
  const CellMetrics metrics =
      MeasureCells(FontFromDescription(doc.Font()), doc.Font().height, &widget);
  ASSERT_NE(metrics.advance, metrics.cellWidth);  // else there is nothing to tell apart
  widget.resize(qCeil(metrics.advance * LINE_CELLS) + 8, 500);
  for (const int column : {15, 100, 200, 254}) {
    doc.ClearScreen();
    doc.PrintLine((std::string(column, ' ') + "|").c_str());
    const QImage image = FullRepaint(widget);
    const qreal ratio = image.devicePixelRatio();
    int left = image.width();
    int right = -1;
    for (int y = 0; y < qRound(16 * ratio); ++y) {
      for (int x = 0; x < image.width(); ++x) {
        if (qGreen(image.pixel(x, y)) == 0) continue;
        left = std::min(left, x);
        right = std::max(right, x);
      }
    }
    EXPECT_GE(left / ratio, column * metrics.advance - 0.5) << column;
    EXPECT_LE((right + 1) / ratio, (column + 1) * metrics.advance + 0.5) << column;
    EXPECT_EQ(CellAt((left + right + 1) / 2.0 / ratio, 3, metrics.advance, 16).column, column);
  }
}

TEST_F(ConsoleWidgetTest, PasteTypesTheClipboardsFirstLineThroughTheKeyRules) {
  const QKeyCombination ctrlShiftV(Qt::ControlModifier | Qt::ShiftModifier, Qt::Key_V);
  const QKeyCombination shiftInsert(Qt::ShiftModifier, Qt::Key_Insert);
  const struct {
    const char* clipboard;
    QKeyCombination key;
    std::string line;
  } cases[] = {
      {"Compile INTRO", ctrlShiftV, "OK>compile intro\xA4"},
      {"say \"Hi There\"", shiftInsert, "OK>say \"Hi There\"\xA4"},
      {"version\nclear\n", ctrlShiftV, "OK>version\xA4"},
      {"dos line\r\nnext", shiftInsert, "OK>dos line\xA4"},
      {"a\tb\x1B\b\x7F", ctrlShiftV, "OK>a b\xA4"},
      {"\u20ac \u0416", shiftInsert, "OK>\x80 ?\xA4"},
      {"", ctrlShiftV, "OK>\xA4"},
  };
  for (const auto& c : cases) {
    doc.ClearScreen();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(c.clipboard));
    QTest::keyClick(&widget, c.key.key(), c.key.keyboardModifiers());
    EXPECT_EQ(Line(0), c.line) << c.clipboard;
    EXPECT_EQ(doc.CursorLine(), 0) << c.clipboard;  // nothing was submitted
  }
  // The input limit holds for a paste.
  doc.ClearScreen();
  QGuiApplication::clipboard()->setText(QString(300, QLatin1Char('A')));
  QTest::keyClick(&widget, Qt::Key_V, Qt::ControlModifier | Qt::ShiftModifier);
  EXPECT_EQ(Line(0), "OK>" + std::string(251, 'a') + "\xA4");
}

TEST_F(ConsoleWidgetTest, TheContextMenuCopiesAndPastes) {
  doc.ClearScreen();
  doc.PrintLine("sv_load_dir = \"/home/me/Scenes\";");
  QGuiApplication::clipboard()->setText(QStringLiteral("before"));
  Clicks(CellPoint(0, 20), 2);
  QStringList seen;
  auto choose = [&seen](const QString& item) {
    WhenPopup([&seen, item](QMenu* menu) {
      for (QAction* action : menu->actions()) {
        seen << action->text() + (action->isEnabled() ? "" : " (off)");
        if (action->text() == item) action->trigger();
      }
      menu->close();
    });
  };
  const QPoint at = CellPoint(0, 20);
  choose(QStringLiteral("&Copy"));
  QContextMenuEvent copy(QContextMenuEvent::Mouse, at, widget.mapToGlobal(at));
  QApplication::sendEvent(&widget, &copy);
  EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("/home/me/Scenes"));

  QTest::keyClicks(&widget, "sv_save_dir = \"");  // typing ends the selection
  choose(QStringLiteral("&Paste"));
  QContextMenuEvent paste(QContextMenuEvent::Mouse, at, widget.mapToGlobal(at));
  QApplication::sendEvent(&widget, &paste);
  EXPECT_EQ(Line(1), "OK>sv_save_dir = \"/home/me/Scenes\xA4");
  EXPECT_EQ(seen, (QStringList{"&Copy", "&Paste", "&Copy (off)", "&Paste"}));
}

TEST_F(ConsoleWidgetTest, ZoomChangesTheFontAndTheUsableLinesFollow) {
  enum Height { LARGER, SMALLER, SAME, DEFAULT };
  const Qt::KeyboardModifiers ctrl = Qt::ControlModifier;
  const struct {
    const char* name;
    Qt::KeyboardModifiers modifiers;
    Qt::Key key;
    int repeat;
    Height height;  // than before the step
  } steps[] = {
      {"Ctrl+Plus", ctrl | Qt::ShiftModifier, Qt::Key_Plus, 1, LARGER},
      {"Ctrl+= for Plus", ctrl, Qt::Key_Equal, 1, LARGER},
      {"the keypad's plus", ctrl | Qt::KeypadModifier, Qt::Key_Plus, 1, LARGER},
      {"Ctrl+Minus", ctrl, Qt::Key_Minus, 1, SMALLER},
      {"Ctrl+0", ctrl, Qt::Key_0, 1, DEFAULT},
      {"Ctrl+Minus down to the smallest", ctrl, Qt::Key_Minus, 30, SMALLER},
      {"no smaller than the smallest", ctrl, Qt::Key_Minus, 1, SAME},
      {"Ctrl+Plus up to the largest", ctrl, Qt::Key_Plus, 100, LARGER},
      {"no larger than the largest", ctrl, Qt::Key_Plus, 1, SAME},
  };
  // The prompt on the last usable line: fewer lines push it up, more leave it where it is.
  for (int i = 0; i < 30; ++i) doc.PrintLine(("line " + std::to_string(i)).c_str());
  QTest::keyClicks(&widget, "abc");
  ASSERT_EQ(doc.CursorLine(), doc.LastLine());
  for (const auto& step : steps) {
    const int before = doc.Font().height;
    const short lineBefore = doc.CursorLine();
    for (int i = 0; i < step.repeat; ++i) {
      QTest::keyClick(&widget, step.key, step.modifiers);
    }
    const int after = doc.Font().height;
    const int expected[] = {after > before, after < before, after == before, after == 16};
    EXPECT_TRUE(expected[step.height]) << step.name << ": " << before << " to " << after;
    EXPECT_GE(after, 8) << step.name;
    EXPECT_LE(after, 96) << step.name;
    EXPECT_EQ(widget.Screen().FontHeight(), after) << step.name;
    EXPECT_EQ(doc.LastLine(), std::min(500 / after - 1, 49)) << step.name;
    // The font drawn is the one of that line height, every glyph whole.
    EXPECT_LE(MeasureGlyphRows(FontFromDescription(doc.Font())).Height(), after) << step.name;
    // The keys typed nothing, and the prompt is painted inside the window.
    EXPECT_EQ(doc.CursorLine(), std::min(lineBefore, doc.LastLine())) << step.name;
    EXPECT_EQ(Line(doc.CursorLine()), "OK>abc\xA4") << step.name;
    EXPECT_EQ(Line(doc.CursorLine() - 1), "line 29") << step.name;
    const QImage image = FullRepaint(widget);
    const qreal ratio = image.devicePixelRatio();
    int prompt = 0;
    for (int y = qRound(doc.CursorLine() * after * ratio);
         y < qRound((doc.CursorLine() + 1) * after * ratio) && y < image.height(); ++y) {
      for (int x = 0; x < image.width(); ++x) prompt += qGreen(image.pixel(x, y)) != 0;
    }
    EXPECT_GT(prompt, 0) << step.name;
  }
}

// Every glyph is drawn whole, at every size of the font: the row holds all the ink the glyphs of a
// line have when drawn without any clip (the underscore below the descent, the accents above).
TEST_F(ConsoleWidgetTest, EveryGlyphIsDrawnWholeAtEverySize) {
  const std::string text = "move_to |_gjpqy\xC5\xC9\xD6\xC7";
  widget.resize(1200, 500);  // the line fits at the largest size
  widget.Screen().SetFontHeight(8);
  for (int before = 0; before != widget.Screen().FontHeight(); widget.Screen().Zoom(1)) {
    before = widget.Screen().FontHeight();
    doc.ClearScreen();
    doc.PrintLine(text);
    const QImage shown = FullRepaint(widget);
    const qreal ratio = shown.devicePixelRatio();
    // The same characters drawn on a picture with room above and below the row.
    const CellMetrics metrics =
        MeasureCells(FontFromDescription(doc.Font()), doc.Font().height, &widget);
    QImage free(shown.width(), qRound(3 * before * ratio), QImage::Format_RGB32);
    free.setDevicePixelRatio(ratio);
    free.fill(Qt::black);
    QPainter painter(&free);
    painter.setFont(FontFromDescription(doc.Font()));
    painter.setPen(ColorFromValue(doc.TextColor()));
    painter.drawText(0, before + metrics.ascent,
                     CellsToString(text.data(), static_cast<int>(text.size())));
    painter.end();
    auto ink = [](const QImage& image, int top, int bottom) {
      int n = 0;
      for (int y = top; y < bottom && y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) n += qGreen(image.pixel(x, y)) != 0;
      }
      return n;
    };
    // No ink outside the row, and the row shows it all (a clip can change a faint edge pixel).
    const int row = qRound(before * ratio);
    EXPECT_EQ(ink(free, 0, row) + ink(free, 2 * row, free.height()), 0) << before;
    EXPECT_NEAR(ink(shown, 0, row), ink(free, row, 2 * row), 3) << before;
  }
}

// A cell takes its column whatever its code: a line feed, form feed, tab, carriage return or soft
// hyphen, which the font draws with no width (or a tab stop's), shows as a blank cell and moves
// nothing after it, in the rows and in the selection.
TEST_F(ConsoleWidgetTest, AControlCharacterTakesItsCell) {
  // The same text on a second console, with blanks where the characters without width stand.
  RecordingPlatform blankPlatform;
  blankPlatform.currentDirectory = dir.Path();
  CZelkDoc blankDoc(SixteenPixelFont());
  CConsoleWidget blanks(blankDoc, blankPlatform);
  blanks.resize(widget.size());
  blanks.Create();
  auto fill = [](CConsoleWidget& console, CZelkDoc& shown, bool blank) {
    auto text = [blank](std::string line) {
      if (blank) {
        std::replace_if(
            line.begin(), line.end(),
            [](char c) { return c == '\t' || c == '\f' || c == '\r' || c == '\n' || c == '\xAD'; },
            ' ');
      }
      return line;
    };
    shown.ClearScreen();
    shown.PrintLine(text("tab\there, form\ffeed"));
    shown.PrintLine(text("return\rsoft\xADhyphen \x1B escape"));
    QTest::keyClicks(&console, "a");
    QKeyEvent lineFeed(QEvent::KeyPress, blank ? Qt::Key_Space : Qt::Key_J,
                       blank ? Qt::NoModifier : Qt::ControlModifier,
                       blank ? QStringLiteral(" ") : QStringLiteral("\n"));
    QApplication::sendEvent(&console, &lineFeed);
    QTest::keyClicks(&console, "move");
  };
  fill(widget, doc, false);
  fill(blanks, blankDoc, true);
  ASSERT_EQ(Line(2), "OK>a\nmove\xA4");
  ASSERT_EQ(LineText(blankDoc, 2), "OK>a move\xA4");
  for (const bool selected : {false, true}) {
    if (selected) {
      Drag(BoundaryPoint(0, 2), BoundaryPoint(2, 6));
      Drag(BoundaryPoint(0, 2), BoundaryPoint(2, 6), &blanks);
    }
    EXPECT_EQ(DifferentPixels(FullRepaint(widget), FullRepaint(blanks)), 0) << selected;
  }
}

// Rows of text as the console's paint draws them, for comparing pictures.
class RowsWidget final : public QWidget {
 public:
  RowsWidget(const FontDescription& font, QSize size) : m_font(font) { resize(size); }
  std::array<std::string, CONSOLE_LINES> rows;

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    QtDrawContext dc(painter);
    dc.SelectFont(m_font);
    dc.SetBkColor(0);
    dc.SetTextColor(0x00AA00);
    for (int row = 0; row < CONSOLE_LINES; ++row) {
      std::string cells = rows[static_cast<std::size_t>(row)];
      cells.resize(LINE_CELLS, ' ');
      dc.TextOut(0, row * m_font.height, cells.data(), LINE_CELLS);
    }
    dc.RestoreFont();
  }

 private:
  FontDescription m_font;
};

TEST_F(ConsoleWidgetTest, TheWheelAndShiftPageKeysReadTheLinesThatScrolledOff) {
  // 100 lines on 31 usable ones: "line 0" to "line 69" scrolled off.
  doc.ClearScreen();
  for (int i = 0; i < 100; ++i) doc.PrintLine(("line " + std::to_string(i)).c_str());
  ASSERT_EQ(doc.LastLine(), 30);
  // The console as it shows when its first row is line `top` of all that was printed.
  RowsWidget reference(doc.Font(), widget.size());
  auto showsFrom = [&](int top) {
    for (int row = 0; row < CONSOLE_LINES; ++row) {
      const int number = top + row;
      reference.rows[static_cast<std::size_t>(row)] = number < 100    ? "line " + std::to_string(number)
                                                      : number == 100 ? std::string(doc.LineText(30))
                                                                      : std::string();
    }
    return DifferentPixels(FullRepaint(widget), FullRepaint(reference));
  };
  const struct {
    const char* name;
    std::function<void()> act;
    int top;
  } steps[] = {
      {"a wheel notch up: three lines", [&] { Wheel(120); }, 67},
      {"Shift+PageUp: a page of 31 rows less one",
       [&] { QTest::keyClick(&widget, Qt::Key_PageUp, Qt::ShiftModifier); }, 37},
      {"half notches add up",
       [&] {
         Wheel(-60);
         Wheel(-60);
       },
       40},
      {"not beyond the oldest line",
       [&] {
         for (int i = 0; i < 3; ++i) QTest::keyClick(&widget, Qt::Key_PageUp, Qt::ShiftModifier);
       },
       0},
      {"Shift+PageDown", [&] { QTest::keyClick(&widget, Qt::Key_PageDown, Qt::ShiftModifier); },
       30},
      {"keys that neither type nor edit leave the view",
       [&] {
         QTest::keyClick(&widget, Qt::Key_Left, Qt::ShiftModifier);
         QTest::keyClick(&widget, Qt::Key_PageUp);
       },
       30},
      {"an editing key returns to the prompt", [&] { QTest::keyClick(&widget, Qt::Key_Home); },
       70},
      {"Shift+PageUp again", [&] { QTest::keyClick(&widget, Qt::Key_PageUp, Qt::ShiftModifier); },
       40},
      {"a typed key returns to the prompt", [&] { QTest::keyClick(&widget, Qt::Key_X); }, 70},
      {"not below the prompt", [&] { Wheel(-1200); }, 70},
  };
  for (const auto& step : steps) {
    step.act();
    EXPECT_EQ(widget.Screen().ScrolledBack(), 70 - step.top) << step.name;
    EXPECT_EQ(showsFrom(step.top), 0) << step.name;
  }
  EXPECT_EQ(Line(30), "OK>x\xA4");
}

// Each step repaints only what changed; the window then shows what a paint of the whole view
// gives, at every device pixel ratio.
TEST(ConsoleRepaint, WhatReachesTheScreenIsThePictureOfAFullPaint) {
  TempDir dir;
  CurrentDirectory cwd(dir.Path());
  QtPlatform platform;
  CZelkDoc doc(SixteenPixelFont());
  CConsoleWidget widget(doc, platform);
  platform.SetConsole(&widget);
  widget.resize(900, 600);
  widget.Create();
  widget.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&widget));
  Settle();
  auto drag = [&](int fromRow, int fromX, int toRow, int toX) {
    QTest::mousePress(&widget, Qt::LeftButton, {}, QPoint(fromX, fromRow * 16 + 8));
    QTest::mouseMove(&widget, QPoint(toX, toRow * 16 + 8));
    QTest::mouseRelease(&widget, Qt::LeftButton, {}, QPoint(toX, toRow * 16 + 8));
  };
  const struct {
    const char* name;
    std::function<void()> act;
  } steps[] = {
      {"typing", [&] { QTest::keyClicks(&widget, "Version"); }},
      {"backspace", [&] { QTest::keyClick(&widget, Qt::Key_Backspace); }},
      {"enter with output",
       [&] {
         QTest::keyClick(&widget, Qt::Key_N);
         QTest::keyClick(&widget, Qt::Key_Return);
       }},
      {"output that scrolls",
       [&] {
         for (int i = 0; i < 12; ++i) {
           QTest::keyClicks(&widget, "status");
           QTest::keyClick(&widget, Qt::Key_Return);
         }
       }},
      {"a recalled line", [&] { QTest::keyClick(&widget, Qt::Key_Up); }},
      {"a selection", [&] { drag(3, 40, 6, 200); }},
      {"a smaller selection", [&] { drag(5, 10, 5, 60); }},
      {"scrolled back", [&] { QTest::keyClick(&widget, Qt::Key_PageUp, Qt::ShiftModifier); }},
      {"a selection scrolled back", [&] { drag(1, 0, 2, 300); }},
      {"back at the prompt", [&] { QTest::keyClick(&widget, Qt::Key_Backspace); }},
      {"zoomed in", [&] { QTest::keyClick(&widget, Qt::Key_Plus, Qt::ControlModifier); }},
      {"zoomed out", [&] { QTest::keyClick(&widget, Qt::Key_0, Qt::ControlModifier); }},
      {"another colour",
       [&] {
         QTest::keyClicks(&widget, "sv_color 255");
         QTest::keyClick(&widget, Qt::Key_Return);
       }},
      {"a clear",
       [&] {
         QTest::keyClicks(&widget, "clear");
         QTest::keyClick(&widget, Qt::Key_Return);
       }},
  };
  for (const auto& step : steps) {
    step.act();
    Settle();
    const QImage screen = OnScreen(widget);
    ASSERT_FALSE(screen.isNull());
    EXPECT_EQ(screen.width(), qRound(widget.width() * widget.devicePixelRatioF())) << step.name;
    EXPECT_EQ(DifferentPixels(screen, FullRepaint(widget)), 0) << step.name;
  }
}

}  // namespace
}  // namespace zelk::test

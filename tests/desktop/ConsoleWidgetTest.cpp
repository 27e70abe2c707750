// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QImage>
#include <QTest>

#include "GuiTestSupport.h"
#include "desktop/ConsoleWidget.h"
#include "desktop/QtDrawContext.h"
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
      {"keys without a character do nothing",
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
    Doc().ClearScreen();
    widget.View().m_quoteMode = false;
    for (const Key& k : c.keys) {
      QKeyEvent press(QEvent::KeyPress, k.key, Qt::NoModifier, QString::fromUtf8(k.text));
      QApplication::sendEvent(&widget, &press);
    }
    EXPECT_EQ(Line(0), c.line) << c.name;
    EXPECT_EQ(widget.View().m_quoteMode, c.quoteMode) << c.name;
  }
}

TEST_F(ConsoleWidgetTest, EveryKeyAsksForARepaintWithoutErase) {
  QTest::keyClicks(&widget, "ab");
  QTest::keyClick(&widget, Qt::Key_Backspace);
  EXPECT_EQ(platform.repaints, (std::vector<bool>{false, false, false}));
  EXPECT_EQ(doc.m_drawMode, DRAW_NORMAL);
}

TEST_F(ConsoleWidgetTest, TheInputLineHoldsAtMost251Characters) {
  QTest::keyClicks(&widget, QString(260, QLatin1Char('a')));
  const std::string line = Line(0);
  EXPECT_EQ(line, "OK>" + std::string(251, 'a') + "\xA4");
  EXPECT_EQ(doc.m_curCol, 254);
  QTest::keyClick(&widget, Qt::Key_Backspace);
  EXPECT_EQ(Line(0), "OK>" + std::string(250, 'a') + "\xA4");
  QTest::keyClick(&widget, Qt::Key_Return);
  EXPECT_EQ(doc.m_curLine, 2);  // the line went to the interpreter, which answered
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
    EXPECT_EQ(std::string(doc.m_statement), "version") << key;
    EXPECT_FALSE(widget.View().m_quoteMode) << key;
    EXPECT_TRUE(widget.hasFocus()) << key;  // Tab does not move the focus away
  }
}

TEST_F(ConsoleWidgetTest, LastLineFollowsTheHeightAtEveryPaint) {
  const int lineHeight = doc.m_logFont.height;
  ASSERT_EQ(lineHeight, 16);
  const struct {
    int height;
    short lastLine;
  } cases[] = {{500, 30}, {100, 5}, {16 * 60, 49}, {16 * 50, 49}, {16 * 50 - 1, 48}, {40, 1}};
  for (const auto& c : cases) {
    widget.resize(800, c.height);
    widget.repaint();
    EXPECT_EQ(doc.m_lastLine, c.lastLine) << c.height;
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
  QTest::keyClicks(&widget, "version");
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
  doc.m_colorIntensity = 255;
  widget.repaint();
  const QImage image = widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  bool found = false;
  for (int y = 0; y < 16 && !found; ++y)
    for (int x = 0; x < 60 && !found; ++x) found = image.pixelColor(x, y) == QColor(0, 255, 0);
  EXPECT_TRUE(found);
}

}  // namespace
}  // namespace zelk::test

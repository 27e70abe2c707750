// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <array>
#include <cstring>

#include "GuiTestSupport.h"
#include "environment/EnvironmentSettings.h"
#include "desktop/EnvironmentDialog.h"
#include "desktop/DialogUnits.h"

namespace zelk::test {
namespace {

std::array<unsigned char, OPTIONS_IMAGE_SIZE> Image(const EnvironmentSettings& s) {
  std::array<unsigned char, OPTIONS_IMAGE_SIZE> image{};
  WriteSettingsImage(s, image.data());
  return image;
}

EnvironmentSettings Filled() {
  EnvironmentSettings s;
  s.spare = 77;
  SetText(s.quake2Dir, "C:\\Quake2\\");
  SetText(s.parameters, "+set x %d");
  SetText(s.mapName, "base1");
  SetText(s.gameName, "ctf");
  s.cheatsOn = 1;
  s.deathmatchValue = -3;
  s.videoMode = 4;
  SetText(s.saveDir, "/out\\");
  SetText(s.loadDir, "/in\\");
  SetText(s.editorCommand, "kate");
  return s;
}

// A control by its template id, which is its object name.
QWidget* Control(const CEnvironmentDialog& d, int id) {
  return d.findChild<QWidget*>(QString::number(id));
}
QLineEdit* Edit(CEnvironmentDialog& d, int id) {
  return qobject_cast<QLineEdit*>(Control(d, id));
}
QCheckBox* Check(CEnvironmentDialog& d, int id) {
  return qobject_cast<QCheckBox*>(Control(d, id));
}

TEST(EnvironmentDialog, ShowsTheSettings) {
  EnvironmentSettings s = Filled();
  s.godOn = 7;  // any nonzero value is on
  CEnvironmentDialog dialog(s);
  EXPECT_EQ(dialog.windowTitle(), "Environment");
  EXPECT_EQ(Edit(dialog, 1005)->text(), "C:\\Quake2\\");
  EXPECT_EQ(Edit(dialog, 1006)->text(), "+set x %d");
  EXPECT_EQ(Edit(dialog, 1007)->text(), "ctf");
  EXPECT_EQ(Edit(dialog, 1008)->text(), "base1");
  EXPECT_EQ(Edit(dialog, 1009)->text(), "/out\\");
  EXPECT_EQ(Edit(dialog, 1010)->text(), "/in\\");
  EXPECT_EQ(Edit(dialog, 1011)->text(), "kate");
  EXPECT_TRUE(Check(dialog, 1000)->isChecked());
  EXPECT_TRUE(Check(dialog, 1002)->isChecked());
  EXPECT_FALSE(Check(dialog, 1001)->isChecked());
  EXPECT_FALSE(Check(dialog, 1012)->isChecked());
}

TEST(EnvironmentDialog, CancelLeavesTheSettingsUntouched) {
  for (const bool escape : {false, true}) {
    EnvironmentSettings s = Filled();
    const auto before = Image(s);
    CEnvironmentDialog dialog(s);
    for (const int id : {1005, 1006, 1007, 1008, 1009, 1010, 1011}) Edit(dialog, id)->setText("x");
    for (const int id : {1000, 1001, 1002, 1003, 1004, 1012}) Check(dialog, id)->toggle();
    dialog.show();
    if (escape) {
      QTest::keyClick(&dialog, Qt::Key_Escape);
    } else {
      qobject_cast<QPushButton*>(Control(dialog, 2))->click();
    }
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(Image(s), before) << escape;
  }
}

TEST(EnvironmentDialog, OkWithoutChangesGivesEmptyDirectoriesTheirBackslash) {
  EnvironmentSettings s;
  s.deathmatchValue = 2;
  s.videoMode = 3;
  s.noTargetOn = 5;
  SetText(s.editorCommand, "my editor");
  CEnvironmentDialog dialog(s);
  qobject_cast<QPushButton*>(Control(dialog, 1))->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(s.quake2Dir, "\\");
  EXPECT_EQ(s.saveDir, "\\");
  EXPECT_EQ(s.loadDir, "\\");
  EXPECT_EQ(s.editorCommand, "my editor");  // no backslash for the editor
  EXPECT_EQ(s.parameters, "");
  EXPECT_EQ(s.noTargetOn, 1);
  EXPECT_EQ(s.deathmatchValue, 2);
  EXPECT_EQ(s.videoMode, 3);
}

TEST(EnvironmentDialog, OkStoresEveryField) {
  EnvironmentSettings s;
  CEnvironmentDialog dialog(s);
  dialog.show();
  QTest::keyClicks(Edit(dialog, 1005), "C:\\Quake2");
  QTest::keyClicks(Edit(dialog, 1006), "+set name \"A B\"");
  QTest::keyClicks(Edit(dialog, 1007), "My Game");
  QTest::keyClicks(Edit(dialog, 1008), "base1");
  QTest::keyClicks(Edit(dialog, 1009), "/out/");
  QTest::keyClicks(Edit(dialog, 1010), "/in\\");
  QTest::keyClicks(Edit(dialog, 1011), "kate -n");
  for (const int id : {1000, 1001, 1002, 1003, 1004, 1012}) Check(dialog, id)->click();
  QTest::keyClick(Edit(dialog, 1011), Qt::Key_Return);  // the default button
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(s.quake2Dir, "C:\\Quake2\\");
  EXPECT_EQ(s.parameters, "+set name \"A B\"");
  EXPECT_EQ(s.gameName, "My Game");
  EXPECT_EQ(s.mapName, "base1");
  EXPECT_EQ(s.saveDir, "/out/\\");
  EXPECT_EQ(s.loadDir, "/in\\");
  EXPECT_EQ(s.editorCommand, "kate -n");
  for (const std::int32_t flag :
       {s.godOn, s.noTargetOn, s.cheatsOn, s.giveAllOn, s.disconnectOn, s.errorSoundOn}) {
    EXPECT_EQ(flag, 1);
  }
}

TEST(EnvironmentDialog, FieldsTakeNoMoreThanTheirLimit) {
  const struct {
    int id;
    int limit;
  } cases[] = {{1005, 255}, {1006, 255}, {1007, 32}, {1008, 32},
               {1009, 255}, {1010, 255}, {1011, 255}};
  EnvironmentSettings s;
  CEnvironmentDialog dialog(s);
  for (const auto& c : cases) {
    QLineEdit* edit = Edit(dialog, c.id);
    EXPECT_EQ(edit->maxLength(), c.limit) << c.id;
    QTest::keyClicks(edit, QString(c.limit + 5, QLatin1Char('a')));
    EXPECT_EQ(edit->text().size(), c.limit) << c.id;
  }
  // Ending each directory in a backslash leaves it a full 255 characters, which fits.
  for (const int id : {1005, 1009, 1010}) {
    Edit(dialog, id)->setText(QString(254, QLatin1Char('a')) + QLatin1Char('\\'));
  }
  dialog.accept();
  EXPECT_EQ(s.gameName.size(), 32u);
  EXPECT_EQ(s.parameters.size(), 255u);
  EXPECT_EQ(s.quake2Dir.size(), 255u);
}

TEST(EnvironmentDialog, StoredNamesLongerThanTheLimitComeBackWhole) {
  // The game and map commands store words longer than the dialog's typing limit.
  const std::string game(40, 'g');
  const std::string map = std::string(31, 'm') + "_and_a_long_tail";
  EnvironmentSettings s = Filled();
  SetText(s.gameName, game);
  SetText(s.mapName, map);
  {
    CEnvironmentDialog dialog(s);
    dialog.show();
    EXPECT_EQ(Edit(dialog, 1007)->text().toStdString(), game);
    EXPECT_EQ(Edit(dialog, 1008)->text().toStdString(), map);
    // Typing does not lengthen a text that is over the limit; deleting shortens it.
    QTest::keyClick(Edit(dialog, 1007), Qt::Key_End);
    QTest::keyClicks(Edit(dialog, 1007), "xy");
    EXPECT_EQ(Edit(dialog, 1007)->text().toStdString(), game);
    QTest::keyClick(Edit(dialog, 1007), Qt::Key_Backspace);
    QTest::keyClicks(Edit(dialog, 1007), "xy");
    EXPECT_EQ(Edit(dialog, 1007)->text().toStdString(), std::string(39, 'g'));
    qobject_cast<QPushButton*>(Control(dialog, 1))->click();
  }
  EXPECT_EQ(s.gameName, std::string(39, 'g'));
  EXPECT_EQ(s.mapName, map);

  // OK without touching anything stores every value as it was.
  const auto before = Image(s);
  CEnvironmentDialog dialog(s);
  qobject_cast<QPushButton*>(Control(dialog, 1))->click();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(Image(s), before);
}

TEST(EnvironmentDialog, RefusesADirectoryWithoutRoomForItsBackslash) {
  const std::string full(255, 'd');
  for (const int id : {1005, 1009, 1010}) {
    EnvironmentSettings s = Filled();
    const auto before = Image(s);
    CEnvironmentDialog dialog(s);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    Edit(dialog, id)->setText(QString::fromStdString(full));
    Edit(dialog, 1006)->setText("changed");
    MessageBoxSeen seen;
    AnswerNextMessageBox(&seen);
    qobject_cast<QPushButton*>(Control(dialog, 1))->click();
    const QString caption = id == 1005 ? "Quake2 Dir" : id == 1009 ? "Save Dir" : "Load Dir";
    EXPECT_TRUE(seen.text.startsWith(caption + " has 255 characters")) << id;
    EXPECT_TRUE(dialog.isVisible()) << id;  // still open, nothing stored
    EXPECT_EQ(Image(s), before) << id;
    EXPECT_EQ(dialog.focusWidget(), Edit(dialog, id)) << id;

    // With the backslash typed at the end of a shorter text, OK goes through.
    Edit(dialog, id)->setText(QString::fromStdString(std::string(254, 'd')));
    qobject_cast<QPushButton*>(Control(dialog, 1))->click();
    EXPECT_EQ(dialog.result(), QDialog::Accepted) << id;
    EXPECT_EQ(s.parameters, "changed");
  }
}

TEST(EnvironmentDialog, TabOrderIsTemplateOrderAndOkHasTheFocus) {
  EnvironmentSettings s;
  CEnvironmentDialog dialog(s);
  dialog.show();
  QApplication::setActiveWindow(&dialog);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
  EXPECT_EQ(QApplication::focusWidget(), Control(dialog, 1));
  const int order[] = {1,    2,    1000, 1001, 1002, 1003, 1004, 1005,
                       1006, 1007, 1008, 1009, 1010, 1011, 1012, 1};
  for (std::size_t i = 1; i < std::size(order); ++i) {
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Control(dialog, order[i])) << i;
  }
}

TEST(EnvironmentDialog, LaidOutInDialogUnitsOfItsFont) {
  EnvironmentSettings s;
  CEnvironmentDialog dialog(s);
  const DialogUnits du(dialog.font());
  EXPECT_EQ(dialog.size(), du.Size(279, 160));
  EXPECT_EQ(Control(dialog, 1)->geometry(), du.Rect(10, 140, 50, 14));
  EXPECT_EQ(Control(dialog, 1011)->geometry(), du.Rect(50, 80, 220, 10));
  EXPECT_EQ(du.X(4), qRound(du.AverageCharWidth()));
  EXPECT_EQ(du.Y(8), du.LineHeight());
}

}  // namespace
}  // namespace zelk::test

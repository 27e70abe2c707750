// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTest>
#include <filesystem>
#include <fstream>

#include "support/ArgsRecord.h"
#include "GuiTestSupport.h"
#include "console/OpenCompileCommands.h"
#include "console/ZelkView.h"
#include "desktop/QtPlatform.h"
#include "desktop/SoundPlayer.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

TEST(QtPlatform, FiltersInQtForm) {
  const struct {
    const char* filter;
    const char* qt;
  } cases[] = {
      {"Scripts (*.SCR)|*.scr||", "Scripts (*.SCR)"},
      {"Scripts (*.SCR)|*.scr|Binary (*.BIN)|*.bin|Config (*.CFG)|*.cfg||",
       "Scripts (*.SCR);;Binary (*.BIN);;Config (*.CFG)"},
      {"All|*.*||", "All (*.*)"},
      {"Text files|*.txt|Logs (*.LOG)|*.log||", "Text files (*.txt);;Logs (*.LOG)"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(QtPlatform::QtFileFilter(c.filter).toStdString(), c.qt) << c.filter;
  }
}

TEST(QtPlatform, DescribesTheChosenFile) {
  const struct {
    const char* path;
    const char* name;
    const char* title;
    const char* extension;
  } cases[] = {
      {"/home/me/intro.scr", "intro.scr", "intro", "scr"},
      {"/home/me/my.old.SCR", "my.old.SCR", "my.old", "SCR"},
      {"/home/me/noext", "noext", "noext", ""},
      {"/home/me/caf\xC3\xA9.scr", "caf\xE9.scr", "caf\xE9", "scr"},  // Windows-1252 texts
  };
  for (const auto& c : cases) {
    const FileChoice choice = QtPlatform::DescribeChoice(QString::fromUtf8(c.path));
    EXPECT_EQ(choice.fullPath, ZelkPathText(c.path)) << c.path;
    EXPECT_EQ(choice.fileName, c.name) << c.path;
    EXPECT_EQ(choice.fileTitle, c.title) << c.path;
    EXPECT_EQ(choice.extension, c.extension) << c.path;
  }
  EXPECT_TRUE(QtPlatform::DescribeChoice(QString()).fileName.empty());
}

TEST(QtPlatform, FileDialogStartsInTheLoadDirectoryWithTheFilters) {
  TempDir dir;
  dir.Write("INTRO.SCR", "");
  QtPlatform platform;
  QStringList filters;
  QString startDir;
  WhenModal([&](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (dialog == nullptr) return;
    filters = dialog->nameFilters();
    startDir = dialog->directory().absolutePath();
    dialog->selectFile(QString::fromStdString(dir.File("INTRO.SCR")));
    QMetaObject::invokeMethod(dialog, "accept");
  });
  const FileChoice choice = platform.ChooseFile(COMPILE_FILTER, dir.Path() + "\\");
  EXPECT_EQ(filters, (QStringList{"Scripts (*.SCR)", "Binary (*.BIN)", "Config (*.CFG)"}));
  EXPECT_EQ(startDir.toStdString(), dir.Path());
  EXPECT_EQ(choice.fullPath, dir.File("INTRO.SCR"));
  EXPECT_EQ(choice.extension, "SCR");

  WhenModal([](QWidget* w) { static_cast<QDialog*>(w)->reject(); });
  EXPECT_TRUE(platform.ChooseFile(OPEN_FILTER, "").fileName.empty());
}

TEST(QtPlatform, FileDialogTakesATypedNameOfAFileThatDoesNotExistYet) {
  TempDir dir;
  QtPlatform platform;
  QString refusal;
  TypeIntoNextFileDialog(QStringLiteral("new.scr"), &refusal);
  const FileChoice choice = platform.ChooseFile(OPEN_FILTER, dir.Path() + "\\");
  EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
  EXPECT_EQ(choice.fullPath, dir.File("new.scr"));
  EXPECT_EQ(choice.fileName, "new.scr");
  EXPECT_EQ(choice.fileTitle, "new");
  EXPECT_EQ(choice.extension, "scr");
  EXPECT_FALSE(dir.Exists("new.scr"));  // the dialog creates nothing
}

TEST(QtPlatform, StartsProgramsWithArgumentsWholeInTheirDirectory) {
  TempDir dir;
  const std::string workDir = dir.File("work dir");
  std::filesystem::create_directories(workDir);
  const std::vector<std::string> arguments = {"plain", "two words", "\"quoted\"",
                                              "",      "a\\b",      "caf\xC3\xA9"};
  const std::string record = dir.File("record");
  RecordArgumentsTo(record);
  QtPlatform platform;
  EXPECT_TRUE(platform.StartProgram({ZELK_ARGS_RECORDER, {}, arguments, workDir}).started);
  const auto received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->workingDir, workDir);
  EXPECT_EQ(received->arguments, arguments);

  const StartResult missing = platform.StartProgram({dir.File("missing"), {}, {}, workDir});
  EXPECT_FALSE(missing.started);
  EXPECT_EQ(missing.reason, "No such file or directory");
}

TEST(QtPlatform, FileOpenHandsTheEditorThePathAsOneArgument) {
  TempDir dir;
  const std::string scripts = dir.File("my scripts");
  std::filesystem::create_directories(scripts);
  dir.Write("my scripts/intro game.scr", "wait(1);\n");
  const std::string record = dir.File("record");
  RecordArgumentsTo(record);
  QtPlatform platform;
  QStringList filters;
  ChooseInNextFileDialog(QString::fromStdString(scripts + "/intro game.scr"), &filters);
  CZelkDoc doc;
  CZelkView view(doc, platform);
  SetText(doc.Settings().editorCommand, std::string("\"") + ZELK_ARGS_RECORDER + "\" -n");
  OnFileOpen(view);
  EXPECT_EQ(filters, QStringList{"Scripts (*.SCR)"});
  const auto received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->arguments, (std::vector<std::string>{"-n", scripts + "/intro game.scr"}));
  EXPECT_EQ(received->workingDir, scripts);
}

TEST(QtPlatform, MessageBoxIsModalWithCaptionZelkAndOk) {
  QtPlatform platform;
  MessageBoxSeen seen;
  AnswerNextMessageBox(&seen);
  platform.ShowMessageBox("Compile was unsuccessfull. \xA4\n");
  EXPECT_EQ(seen.caption, "Zelk");
  EXPECT_EQ(seen.text, QString::fromUtf8("Compile was unsuccessfull. \xC2\xA4"));
  EXPECT_EQ(seen.buttons, static_cast<int>(QMessageBox::Ok));
  EXPECT_TRUE(seen.modal);
}

void WriteWave(const std::string& path, std::uint32_t byteRate, std::uint32_t dataSize,
               bool withList) {
  std::ofstream out(path, std::ios::binary);
  auto le32 = [&](std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.put(static_cast<char>(v >> (8 * i)));
  };
  auto le16 = [&](std::uint16_t v) {
    out.put(static_cast<char>(v));
    out.put(static_cast<char>(v >> 8));
  };
  out << "RIFF";
  le32(36 + dataSize + (withList ? 12 : 0));
  out << "WAVE";
  if (withList) {
    out << "LIST";
    le32(3);
    out << "abc";
    out.put('\0');  // padding to an even size
  }
  out << "fmt ";
  le32(16);
  le16(1);
  le16(1);
  le32(byteRate);
  le32(byteRate);
  le16(1);
  le16(8);
  out << "data";
  le32(dataSize);
  out << std::string(dataSize, '\x80');
}

TEST(SoundPlayer, WaveDurationFromTheHeader) {
  TempDir dir;
  WriteWave(dir.File("a.wav"), 8000, 4000, false);
  WriteWave(dir.File("b.wav"), 8000, 800, true);
  dir.Write("c.wav", "RIFF....WAVEjunk");
  EXPECT_EQ(WaveDuration(dir.File("a.wav")), std::chrono::milliseconds(500));
  EXPECT_EQ(WaveDuration(dir.File("b.wav")), std::chrono::milliseconds(100));
  EXPECT_FALSE(WaveDuration(dir.File("c.wav")).has_value());
  EXPECT_FALSE(WaveDuration(dir.File("none.wav")).has_value());
}

TEST(SoundPlayer, AnUnplayableFileFallsBackAndReturns) {
  TempDir dir;
  EXPECT_FALSE(PlayWaveFileSync(dir.File("doh.wav")));  // missing: the caller falls back
  QtPlatform platform;
  platform.PlaySoundSync(dir.File("doh.wav"));  // returns after the alert sound or the beep
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "environment/OptionsFile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "console/ConsoleCommands.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

using OptionsFile = ConsoleFixture;

std::string Image(const EnvironmentSettings& s) {
  std::string image(OPTIONS_IMAGE_SIZE, '\0');
  WriteSettingsImage(s, reinterpret_cast<unsigned char*>(image.data()));
  return image;
}

TEST(SettingsImage, FieldsStandAtTheirOffsetsLittleEndian) {
  EnvironmentSettings s;
  s.spare = 0x01020304;
  SetText(s.quake2Dir, "Q");
  SetText(s.parameters, "P");
  SetText(s.mapName, "M");
  SetText(s.gameName, "G");
  s.cheatsOn = 1;
  s.godOn = 2;
  s.noTargetOn = 3;
  s.giveAllOn = 4;
  s.deathmatchValue = -2;
  s.disconnectOn = 6;
  s.videoMode = 7;
  SetText(s.saveDir, "S");
  SetText(s.loadDir, "L");
  SetText(s.editorCommand, "E");
  s.errorSoundOn = 1;
  const std::string image = Image(s);
  ASSERT_EQ(image.size(), 1828u);
  EXPECT_EQ(image.substr(0, 4), std::string("\x04\x03\x02\x01", 4));
  const std::pair<std::size_t, char> texts[] = {{4, 'Q'},    {260, 'P'},  {516, 'M'},
                                                {772, 'G'},  {1056, 'S'}, {1312, 'L'},
                                                {1568, 'E'}};
  for (const auto& [offset, c] : texts) EXPECT_EQ(image[offset], c) << offset;
  const std::pair<std::size_t, int> ints[] = {{1028, 1}, {1032, 2}, {1036, 3}, {1040, 4},
                                              {1048, 6}, {1052, 7}, {1824, 1}};
  for (const auto& [offset, v] : ints) EXPECT_EQ(image[offset], v) << offset;
  EXPECT_EQ(image.substr(1044, 4), std::string("\xFE\xFF\xFF\xFF", 4));
  EnvironmentSettings back;
  ReadSettingsImage(reinterpret_cast<const unsigned char*>(image.data()), image.size(), back);
  EXPECT_EQ(Image(back), image);
}

TEST_F(OptionsFile, FirstRunStartsEmptyAndTheEndOfTheRunWritesTheFile) {
  EXPECT_EQ(doc.Settings().quake2Dir, "");
  EXPECT_FALSE(dir.Exists("zelk.cfg"));
  Enter("sv_quake2_dir = \"C:\\Quake2\";");
  view.OnDestroy();
  ASSERT_EQ(dir.Read("zelk.cfg").size(), 1828u);

  RecordingPlatform next;
  next.currentDirectory = dir.Path();
  CZelkDoc nextDoc;
  CZelkView nextView(nextDoc, next);
  nextView.OnCreate();
  EXPECT_EQ(nextDoc.Settings().quake2Dir, "C:\\Quake2\\");
}

TEST_F(OptionsFile, AShortFileReplacesOnlyTheLeadingBytes) {
  std::string bytes = std::string("\x2A\0\0\0", 4) + std::string(96, 'q');
  dir.Write("zelk.cfg", bytes);
  doc.Settings().godOn = 1;
  LoadOptions(platform.Files(), dir.Path(), doc.Settings());
  EXPECT_EQ(doc.Settings().spare, 42);
  EXPECT_EQ(std::string(doc.Settings().quake2Dir), std::string(96, 'q'));
  EXPECT_EQ(doc.Settings().godOn, 1);
}

TEST_F(OptionsFile, ATextWithoutItsZeroByteIsCutTo255Characters) {
  EnvironmentSettings s;
  std::string image = Image(s);
  std::fill(image.begin() + 4, image.begin() + 260, 'x');
  dir.Write("zelk.cfg", image + "extra bytes are ignored");
  LoadOptions(platform.Files(), dir.Path(), doc.Settings());
  EXPECT_EQ(std::string(doc.Settings().quake2Dir), std::string(255, 'x'));
  EXPECT_EQ(doc.Settings().parameters, "");
}

TEST_F(OptionsFile, TheWindowsNameIsFoundAndKeptAndSpareSurvives) {
  EnvironmentSettings s;
  s.spare = 77;
  SetText(s.mapName, "base1");
  dir.Write("Zelk.CFG", Image(s));
  LoadOptions(platform.Files(), dir.Path(), doc.Settings());
  EXPECT_EQ(doc.Settings().mapName, "base1");
  EXPECT_TRUE(SaveOptions(platform.Files(), dir.Path(), doc.Settings()));
#ifndef _WIN32
  EXPECT_FALSE(dir.Exists("zelk.cfg"));  // on Windows the same name
#endif
  EXPECT_EQ(dir.Read("Zelk.CFG"), Image(doc.Settings()));
  EXPECT_EQ(dir.Read("Zelk.CFG").substr(0, 1), "M");
}

// Bytes after a text's terminator (left by the Windows program) are written back while the
// setting keeps the text that was read; a changed setting writes its text and zeros.
TEST_F(OptionsFile, BytesAfterATextStayUntilTheTextChanges) {
  EnvironmentSettings s;
  SetText(s.quake2Dir, "C:\\Q2\\");
  SetText(s.mapName, "base1");
  std::string image = Image(s);
  image.replace(4 + 8, 6, "stale!");
  image.replace(516 + 7, 4, "old!");
  dir.Write("zelk.cfg", image);
  const OptionsImage asRead = LoadOptions(platform.Files(), dir.Path(), doc.Settings());
  EXPECT_EQ(doc.Settings().quake2Dir, "C:\\Q2\\");
  Enter("map q2dm1");
  ASSERT_TRUE(SaveOptions(platform.Files(), dir.Path(), doc.Settings(), asRead));
  const std::string saved = dir.Read("zelk.cfg");
  EXPECT_EQ(saved.substr(4, 256), image.substr(4, 256));
  EXPECT_EQ(saved.substr(516, 256), "q2dm1" + std::string(251, '\0'));
}

TEST_F(OptionsFile, SaveOptionsSaysWhichFileItWrote) {
  Enter("god");
  platform.repaints.clear();
  OnSaveOptions(view);
  EXPECT_EQ(Line(2), "Current options saved to '" + dir.Path() + "\\zelk.cfg'");
  EXPECT_EQ(platform.repaints, std::vector<bool>{true});
  EXPECT_EQ(dir.Read("zelk.cfg"), Image(doc.Settings()));
}

TEST_F(OptionsFile, AReadOnlyFileIsNeitherReplacedNorDamaged) {
  dir.Write("zelk.cfg", Image(doc.Settings()));
  const std::string before = dir.Read("zelk.cfg");
  ASSERT_EQ(::chmod(dir.File("zelk.cfg").c_str(), 0444), 0);
  Enter("god");
  OnSaveOptions(view);
  EXPECT_EQ(Line(2), "Unable to saved to '" + dir.Path() + "\\zelk.cfg'!");
  EXPECT_EQ(dir.Read("zelk.cfg"), before);
  EXPECT_FALSE(dir.Exists("zelk.cfg.new"));
}

TEST_F(OptionsFile, AMissingStartDirectoryFailsWithoutCreatingAnything) {
  EXPECT_FALSE(SaveOptions(platform.Files(), dir.File("gone"), doc.Settings()));
  EXPECT_FALSE(dir.Exists("gone"));
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "environment/SettingCommands.h"

#include <gtest/gtest.h>

#include "environment/EnvironmentSettings.h"
#include "language/StatementParser.h"
#include "support/ConsoleFixture.h"
#include "support/RecordingSink.h"

namespace zelk::test {
namespace {

using SettingCommands = ConsoleFixture;
using Out = std::vector<std::string>;

TEST_F(SettingCommands, EachCommandStoresItsValueAndConfirmsIt) {
  const std::pair<std::string, std::string> cases[] = {
      {"sv_quake2_dir = \"C:\\Quake2\";", "Quake2 directory is now: C:\\Quake2\\"},
      {"sv_quake2_dir=\"\";", "Quake2 directory is now: \\"},
      {"sv_load_dir = \"C:\\Scripts\\\";", "Loading directory is now: C:\\Scripts\\"},
      {"sv_save_dir = \"D:/out/\";", "Saving directory is now: D:/out/\\"},
      {"sv_editor = \"notepad.exe\";", ".SCR editor is now: notepad.exe"},
      {"sv_params = \"+set x %d\";", "Parameters are +set x %d"},
      {"map base1", "Map set to base1"},
      {"game ctf", "Game set to ctf"},
      {"deathmatch 0", "Deathmatch set to 0"},
      {"deathmatch -1", "Deathmatch set to -1"},
      {"video 3", "Video set to 3"},
      {"video 2147483648", "Video set to -2147483648"},
  };
  for (const auto& [typed, confirmation] : cases) {
    const int typedLine = doc.CursorLine();
    Enter(typed);
    EXPECT_EQ(Output(typedLine), Out{confirmation}) << typed;
  }
  EXPECT_EQ(doc.Settings().quake2Dir, "\\");
  EXPECT_EQ(doc.Settings().loadDir, "C:\\Scripts\\");
  EXPECT_EQ(doc.Settings().saveDir, "D:/out/\\");
  EXPECT_EQ(doc.Settings().editorCommand, "notepad.exe");
  EXPECT_EQ(doc.Settings().parameters, "+set x %d");
  EXPECT_EQ(doc.Settings().mapName, "base1");
  EXPECT_EQ(doc.Settings().gameName, "ctf");
  EXPECT_EQ(doc.Settings().deathmatchValue, -1);
  EXPECT_EQ(doc.Settings().videoMode, std::numeric_limits<std::int32_t>::min());
}

TEST_F(SettingCommands, TogglesSwitchOnAndOff) {
  struct Case {
    const char* word;
    std::int32_t EnvironmentSettings::*flag;
    const char* on;
    const char* off;
  };
  const Case cases[] = {
      {"god", &EnvironmentSettings::godOn, "God mode on", "God mode off"},
      {"cheats", &EnvironmentSettings::cheatsOn, "Cheats mode on", "Cheats mode off"},
      {"notarget", &EnvironmentSettings::noTargetOn, "No Target on", "No Target off"},
      {"give_all", &EnvironmentSettings::giveAllOn, "Give All on", "Give All off"},
      {"disconnect", &EnvironmentSettings::disconnectOn, "Disconnect on", "Disconnect off"},
  };
  for (const Case& c : cases) {
    int typedLine = doc.CursorLine();
    Enter(c.word);
    EXPECT_EQ(Output(typedLine), Out{c.on});
    EXPECT_EQ(doc.Settings().*c.flag, 1);
    typedLine = doc.CursorLine();
    Enter(c.word);
    EXPECT_EQ(Output(typedLine), Out{c.off});
    EXPECT_EQ(doc.Settings().*c.flag, 0);
    doc.Settings().*c.flag = 7;  // from an edited options file: counts as on
    typedLine = doc.CursorLine();
    Enter(c.word);
    EXPECT_EQ(Output(typedLine), Out{c.off});
  }
}

TEST_F(SettingCommands, WrongFormsLeaveTheSettingsUnchanged) {
  Enter("sv_quake2_dir \"C:\\Quake2\";");
  Enter("sv_quake2_dir = \"C:\\Quake2\"");
  Enter("deathmatch");
  Enter("map Base1");  // lower-cased at the console, so this one works
  EXPECT_EQ(doc.Settings().quake2Dir, "");
  EXPECT_EQ(Line(1), ">> USAGE <<");
  EXPECT_EQ(doc.Settings().mapName, "base1");
}

TEST_F(SettingCommands, SvColorWritesNoLine) {
  Enter("sv_color 255");
  EXPECT_EQ(doc.TextColor(), 255u * 256u);
  EXPECT_EQ(doc.CursorLine(), 1);
  Enter("sv_color -3");
  EXPECT_EQ(doc.TextColor(), static_cast<std::uint32_t>(-3) * 256u);  // as it was given
}

// A 255-character value reaches ApplySetting from a source line; typed input is shorter.
TEST(SettingCommandsAlone, ADirectoryWithNoRoomForItsBackslashIsRefused) {
  EnvironmentSettings settings;
  SetText(settings.loadDir, "keep\\");
  RecordingSink out;
  const std::string full = "sv_load_dir=\"" + std::string(255, 'd') + "\";";
  ParsedStatement statement = ParseStatement("sv_load_dir=\"x\";");
  statement.tokens[1] = std::string_view(full).substr(13, 255);
  const SettingOutcome refused = ApplySetting(statement, settings, out);
  EXPECT_EQ(refused.kind, SettingOutcome::Kind::Refused);
  EXPECT_EQ(refused.refusal,
            "Directory too long: no room for its final backslash. Nothing was changed.");
  EXPECT_EQ(settings.loadDir, "keep\\");
  EXPECT_TRUE(out.lines.empty());
  const std::string ended = std::string(254, 'd') + "\\";
  statement.tokens[1] = ended;
  EXPECT_EQ(ApplySetting(statement, settings, out).kind, SettingOutcome::Kind::Applied);
  EXPECT_EQ(settings.loadDir, ended);
  // The confirmation is cut where the console line ends.
  EXPECT_EQ(out.lines,
            std::vector<std::string>{("Loading directory is now: " + ended).substr(0, 255)});
}

TEST_F(SettingCommands, StatusListsTheSettingsInItsOwnOrder) {
  Enter("status");
  EXPECT_EQ(Output(), (Out{" -> Quake Dir:", " -> Quake Parameters:", " -> Quake Game:",
                           " -> Quake Map:", " -> Deathmatch: OFF", " -> Video: 0",
                           " -> Save Dir:", " -> Load Dir:", " -> .SCR Editor:",
                           " -> God Mode: OFF", " -> Cheats: OFF", " -> No Target: OFF",
                           " -> All Items: OFF", " -> Disconnect: OFF"}));
  Enter("clear");
  doc.ClearScreen();
  SetText(doc.Settings().gameName, "ctf");
  SetText(doc.Settings().mapName, "q2dm1");
  doc.Settings().deathmatchValue = -1;
  doc.Settings().godOn = 1;
  doc.Settings().giveAllOn = 5;
  Enter("status");
  const Out out = Output();
  ASSERT_EQ(out.size(), 14u);
  EXPECT_EQ(out[2], " -> Quake Game: ctf");
  EXPECT_EQ(out[3], " -> Quake Map: q2dm1");
  EXPECT_EQ(out[4], " -> Deathmatch: -1");
  EXPECT_EQ(out[9], " -> God Mode: ON");
  EXPECT_EQ(out[12], " -> All Items: ON");
}

}  // namespace
}  // namespace zelk::test

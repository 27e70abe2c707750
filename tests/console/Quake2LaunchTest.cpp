// SPDX-License-Identifier: MIT
#include "console/Quake2Launch.h"

#include <gtest/gtest.h>

#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

using Quake2Launch = ConsoleFixture;
using Args = std::vector<std::string>;

TEST_F(Quake2Launch, BuildsTheCommandLineFromTheSettings) {
  struct Case {
    const char* dir;
    const char* params;
    const char* game;
    const char* map;
    int disconnect;
    const char* program;
    const char* parameters;
  };
  const Case cases[] = {
      {"", "", "", "", 0, "quake2.exe", ""},
      {"C:\\Quake2\\", "", "", "", 0, "C:\\Quake2\\quake2.exe", ""},
      {"", "", "ctf", "base1", 1, "quake2.exe", " +set game \"ctf\" +map base1 +disconnect"},
      {"", "+set developer 1", "", "", 0, "quake2.exe", "+set developer 1"},
      {"", "-x", "my game", "big map", 0, "quake2.exe", "-x +set game \"my game\" +map big map"},
      {"", "", "", "", 1, "quake2.exe", " +disconnect"},
  };
  for (const Case& c : cases) {
    EnvironmentSettings s;
    SetText(s.quake2Dir, c.dir);
    SetText(s.parameters, c.params);
    SetText(s.gameName, c.game);
    SetText(s.mapName, c.map);
    s.disconnectOn = c.disconnect;
    s.godOn = s.cheatsOn = s.noTargetOn = s.giveAllOn = 1;
    s.deathmatchValue = 1;
    s.videoMode = 3;
    const Quake2CommandLine line = BuildQuake2CommandLine(s);
    EXPECT_EQ(line.program, c.program);
    EXPECT_EQ(line.parameters, c.parameters) << c.params << "|" << c.game;
  }
}

TEST_F(Quake2Launch, EchoesAndStartsWithSplitArgumentsInTheQuake2Directory) {
  Enter("sv_quake2_dir = \"" + dir.Path() + "\";");
  // Quotes in the parameters come from the dialog or the options file.
  SetText(doc.Settings().parameters, "+set name \"Big Al\" +exec my.cfg");
  Enter("game ctf");
  Enter("quake2");
  EXPECT_EQ(Line(5), " -> " + dir.Path() + "\\quake2.exe +set name \"Big Al\" +exec my.cfg "
                     "+set game \"ctf\"");
  ASSERT_EQ(platform.programs.size(), 1u);
  const auto& started = platform.programs[0];
  EXPECT_EQ(started.program, HostPath(dir.Path() + "/quake2.exe"));
  // The host splits it (or, on Windows, passes it whole).
  EXPECT_EQ(started.parameters, "+set name \"Big Al\" +exec my.cfg +set game \"ctf\"");
  EXPECT_TRUE(started.arguments.empty());
  EXPECT_EQ(started.workingDir, HostPath(dir.Path() + "/"));
}

#ifndef _WIN32  // the Linux ports' name; on Windows the program is quake2.exe itself
TEST_F(Quake2Launch, PrefersTheLinuxPortNameWhenQuake2ExeIsMissing) {
  dir.Write("quake2", "#!/bin/sh\n");
  Enter("sv_quake2_dir = \"" + dir.Path() + "\";");
  Enter("quake2");
  ASSERT_EQ(platform.programs.size(), 1u);
  EXPECT_EQ(platform.programs[0].program, HostPath(dir.Path() + "/quake2"));
  EXPECT_EQ(Line(3), " -> " + dir.Path() + "\\quake2.exe");  // the echo stays
  dir.Write("quake2.exe", "");
  Enter("quake2");
  EXPECT_EQ(platform.programs[1].program, HostPath(dir.Path() + "/quake2.exe"));
}
#endif

TEST_F(Quake2Launch, AStartThatFailsSaysWhatAndWhyBelowTheEcho) {
  SetText(doc.Settings().parameters, "+set name c\xE0t");
  platform.startResult = StartResult::Failed("No such file or directory");
  Enter("quake2");
  EXPECT_EQ(Output(), (std::vector<std::string>{
                          " -> quake2.exe +set name c\xE0t",
                          "Cannot start the program (No such file or directory): quake2.exe"}));
  ASSERT_EQ(platform.programs.size(), 1u);
  EXPECT_EQ(platform.programs[0].parameters, "+set name c\xE0t");
}

TEST_F(Quake2Launch, AllEmptyEchoesTheBareNameAndATrailingSpace) {
  Enter("quake2");
  EXPECT_EQ(std::string(doc.LineText(1)), " -> quake2.exe ");
  ASSERT_EQ(platform.programs.size(), 1u);
  EXPECT_EQ(platform.programs[0].program, "quake2.exe");
  EXPECT_EQ(platform.programs[0], (ProgramStart{"quake2.exe", "", {}, ""}));
}

TEST(SplitCommand, FollowsTheUsualQuotingRules) {
  struct Case {
    std::string text;
    Args args;
  };
  const Case cases[] = {
      {"", {}},
      {"   ", {}},
      {"a b  c", {"a", "b", "c"}},
      {"\"a b\" c", {"a b", "c"}},
      {"+set game \"my game\"", {"+set", "game", "my game"}},
      {"x\"\"\"y", {"x\"y"}},
      {"\"\"", {}},
      {"a\"b c\"d", {"ab cd"}},
      {"\"unclosed part", {"unclosed part"}},
      {"tab\tsep", {"tab", "sep"}},
      // Only blanks and tabs separate: letters of either code page stay whole.
      {"+set name c\xE0t", {"+set", "name", "c\xE0t"}},
      {"+set name c\xC3\xA0t", {"+set", "name", "c\xC3\xA0t"}},
      {"a\xA0" "b\nc\rd", {"a\xA0" "b\nc\rd"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommand(c.text), c.args) << c.text;
}

}  // namespace
}  // namespace zelk::test

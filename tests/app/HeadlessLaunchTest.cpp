// SPDX-License-Identifier: MIT
// The Quake2 launch of batch mode: the headless platform starts the program itself
// (StartDetachedProcess), and the arguments must arrive neither merged nor split wrongly.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "support/ArgsRecord.h"
#include "console/ConsoleCommands.h"
#include "console/ZelkView.h"
#include "app/HeadlessPlatform.h"
#include "platform/Process.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

struct LaunchCase {
  const char* name;
  const char* parameters;
  const char* game;
  const char* map;
  bool disconnect;
  std::vector<std::string> expected;
};

const LaunchCase kCases[] = {
    {"nothing set", "", "", "", false, {}},
    {"parameters only", "+set deathmatch 1", "", "", false, {"+set", "deathmatch", "1"}},
    {"quoted parameter with spaces",
     "+set name \"John  Smith\" +exec my.cfg",
     "",
     "",
     false,
     {"+set", "name", "John  Smith", "+exec", "my.cfg"}},
    {"game with a space stays one value",
     "",
     "my game",
     "base1",
     true,
     {"+set", "game", "my game", "+map", "base1", "+disconnect"}},
    {"percent and backslash kept",
     "+exec 100%\\x.cfg",
     "ctf",
     "",
     false,
     {"+exec", "100%\\x.cfg", "+set", "game", "ctf"}},
    {"letters beyond ASCII stay whole",
     "+set name c\xE0t\xA0x",
     "voil\xE0",
     "",
     false,
     {"+set", "name", "c\xC3\xA0t\xC2\xA0x", "+set", "game", "voil\xC3\xA0"}},
};

class HeadlessLaunch : public ::testing::TestWithParam<LaunchCase> {};

TEST_P(HeadlessLaunch, ArgumentsAndWorkingDirectoryArriveIntact) {
  const LaunchCase& c = GetParam();
  TempDir dir;
  const std::string gameDir = dir.File("Quake 2 dir");
  std::filesystem::create_directories(gameDir);
  InstallStandIn(gameDir, "quake2");  // the Linux ports' name: quake2.exe is absent
  const std::string record = dir.File("record");
  RecordArgumentsTo(record);

  std::ostringstream errors;
  HeadlessPlatform platform(errors);
  CZelkDoc doc;
  CZelkView view(doc, platform);
  SetText(doc.Settings().quake2Dir, gameDir + "\\");
  SetText(doc.Settings().parameters, c.parameters);
  SetText(doc.Settings().gameName, c.game);
  SetText(doc.Settings().mapName, c.map);
  doc.Settings().disconnectOn = c.disconnect ? 1 : 0;
  doc.SetStatement("quake2");
  ExecuteConsoleLine(view);

  const auto received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value()) << c.name;
  EXPECT_EQ(received->workingDir, gameDir) << c.name;
  EXPECT_EQ(received->arguments, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessLaunch, ::testing::ValuesIn(kCases));

TEST(StartDetachedProcess, ReportsWhyAProgramCannotStart) {
  TempDir dir;
  const std::string missingDir = dir.File("no such dir");
  const struct {
    std::string program;
    std::string workingDir;
    std::string reason;
  } cases[] = {
      {dir.File("missing"), "", "No such file or directory"},
      {"zelk-no-such-program", "", "No such file or directory"},
      {"", "", "No such file or directory"},
      {ZELK_ARGS_RECORDER, missingDir, "cannot enter " + missingDir + ": No such file or directory"},
      {dir.Path(), "", "Permission denied"},
  };
  for (const auto& c : cases) {
    const StartResult result = StartDetachedProcess({c.program, {}, {}, c.workingDir});
    EXPECT_FALSE(result.started) << c.program;
    EXPECT_EQ(result.reason, c.reason) << c.program;
  }
}

// A relative program (a Quake2 directory "q2", an editor "tools/edit") names a file below the
// current directory, also when the program runs in another working directory.
TEST(StartDetachedProcess, ARelativeProgramIsFoundFromTheCurrentDirectory) {
  TempDir dir;
  std::filesystem::create_directories(dir.File("voil\xC3\xA0 tools"));
  std::filesystem::create_directories(dir.File("work"));
  InstallStandIn(dir.File("voil\xC3\xA0 tools"), "edit");
  const std::string record = dir.File("record");
  RecordArgumentsTo(record);
  const std::filesystem::path before = std::filesystem::current_path();
  std::filesystem::current_path(dir.Path());
  const StartResult result = StartDetachedProcess({"voil\xC3\xA0 tools/edit", "x", {"y z"}, "work"});
  std::filesystem::current_path(before);
  ASSERT_TRUE(result.started) << result.reason;
  const auto received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value());
  EXPECT_EQ(received->workingDir, dir.File("work"));
  EXPECT_EQ(received->arguments, (std::vector<std::string>{"x", "y z"}));
}

}  // namespace
}  // namespace zelk::test

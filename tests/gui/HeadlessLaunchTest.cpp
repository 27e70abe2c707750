// The Quake2 launch of batch mode: the headless platform starts the program itself
// (StartDetachedProcess), and the arguments must arrive neither merged nor split wrongly.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "ArgsRecord.h"
#include "command/ConsoleCommands.h"
#include "console/ZelkView.h"
#include "platform/HeadlessPlatform.h"
#include "platform/PosixProcess.h"
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
  SetText(doc.m_settings.quake2Dir, gameDir + "\\");
  SetText(doc.m_settings.parameters, c.parameters);
  SetText(doc.m_settings.gameName, c.game);
  SetText(doc.m_settings.mapName, c.map);
  doc.m_settings.disconnectOn = c.disconnect ? 1 : 0;
  std::snprintf(doc.m_statement, sizeof doc.m_statement, "%s", "quake2");
  ExecuteConsoleLine(view);

  const auto received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value()) << c.name;
  EXPECT_EQ(received->workingDir, gameDir) << c.name;
  EXPECT_EQ(received->arguments, c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(Cases, HeadlessLaunch, ::testing::ValuesIn(kCases));

TEST(StartDetachedProcess, ReportsAProgramThatCannotStart) {
  TempDir dir;
  EXPECT_FALSE(StartDetachedProcess(dir.File("missing"), {}, {}));
  EXPECT_FALSE(StartDetachedProcess(ZELK_ARGS_RECORDER, {}, dir.File("no such dir")));
}

}  // namespace
}  // namespace zelk::test

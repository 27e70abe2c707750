// SPDX-License-Identifier: MIT
#include "console/ConsoleCommands.h"

#include <gtest/gtest.h>

#include "language/CommandTable.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

using ConsoleCommands = ConsoleFixture;
using Out = std::vector<std::string>;

TEST_F(ConsoleCommands, AnswersEachKindOfLine) {
  struct Case {
    std::string typed;
    Out output;
  };
  const Case cases[] = {
      {"version", {"Zelk Script Compiler Version 1.01", "Copyright (C) 1998 The Zelk Team",
                   "Written by the Zelk Team"}},
      {"version now", {"Bad instruction or system data."}},
      {" clear", {"Bad instruction or system data."}},
      {"", {}},
      {"     ", {}},
      {"goto(start);", {}},
      {"label@x;", {}},
      {"goto(start)", {"No EOL in current statement. Use semicolon."}},
      {"goto start;", {">> USAGE <<", "goto(string x);", "Where x is the label name",
                       "goto statements overwrite the instruction pointer IP."}},
      {"god", {"God mode on"}},
      {"god;", {"God mode off"}},
      {"god xyz", {"God mode on"}},
      {"quake2 base1", {"Bad instruction or system data."}},
      {"\"version\"", {"Bad instruction or system data."}},
      {"\xE9t\xE9", {"Bad instruction or system data."}},
  };
  for (const Case& c : cases) {
    const int typedLine = doc.CursorLine();
    Enter(c.typed);
    EXPECT_EQ(Output(typedLine), c.output) << c.typed;
  }
}

TEST_F(ConsoleCommands, TrailingBlanksAndHighBytesAreTrimmedBeforeTheWordsAreTested) {
  Enter("version   ");
  EXPECT_EQ(Line(1), "Zelk Script Compiler Version 1.01");
  view.RunBridge("version\x01\xFF\x80 ");
  EXPECT_EQ(Line(4), "Zelk Script Compiler Version 1.01");
}

TEST_F(ConsoleCommands, ClearEmptiesTheScreenAsksForAnErasingRepaintAndPrintsNothing) {
  Enter("version");
  platform.repaints.clear();
  Enter("clear   ");
  EXPECT_EQ(doc.DrawMode(), DRAW_CLEAR);
  ASSERT_FALSE(platform.repaints.empty());
  EXPECT_EQ(platform.repaints.back(), true);
  EXPECT_EQ(doc.CursorLine(), 0);
  EXPECT_EQ(Line(0), "OK>\xA4");
  EXPECT_EQ(Line(1), "");
}

TEST_F(ConsoleCommands, ExitQuitHomeAndEnvGoToThePlatform) {
#ifdef _WIN32
  GTEST_SKIP() << "the Windows build carries no language reference for home to open";
#endif
  Enter("exit");
  Enter("quit");
  EXPECT_EQ(platform.closeRequests, 2);
  Enter("home");
  EXPECT_EQ(platform.urls, std::vector<std::string>{HomePageUrl()});
  Enter("env");
  EXPECT_EQ(platform.dialogRuns, 1);
  EXPECT_EQ(doc.CursorLine(), 4);  // none of them printed a line
}

TEST_F(ConsoleCommands, APageThatCannotOpenSaysWhy) {
#ifdef _WIN32
  GTEST_SKIP() << "the Windows build carries no language reference for home to open";
#endif
  platform.urlResult = StartResult::Failed(NO_PAGE_OPENER_REASON);
  Enter("home");
  EXPECT_EQ(Output(), Out{"Cannot open the page (no program to open web pages was found): " +
                          std::string(HomePageUrl())});
  platform.urlResult = StartResult::Failed(NO_ADDRESS_REASON);
  OpenPage(view, "", "support");
  EXPECT_EQ(Line(doc.CursorLine() - 1), "Cannot open the support page: no address is configured for it");
}

TEST_F(ConsoleCommands, EnvWithoutADesktopSaysSoAndChangesNothing) {
  platform.dialog = [](EnvironmentSettings&) { return DialogResult::Unavailable; };
  Enter("env");
  EXPECT_EQ(Output(), Out{"The Environment dialog needs the desktop window."});
  EXPECT_EQ(doc.Settings().godOn, 0);
}

TEST_F(ConsoleCommands, CommandListPagesBySmallWindows) {
  doc.SetLastLine(20);
  doc.ClearScreen();
  Enter("cmdlist");
  // goto, sv_color, wait and move_to take 5, 5, 4 and 5 lines; then the first line of entry 4.
  EXPECT_EQ(doc.CmdlistNext(), 4);
  // The page of 20 lines below the typed line scrolled the typed line away.
  EXPECT_EQ(Line(0), std::string(254, '-'));
  EXPECT_EQ(Line(1), "-> COMMAND 0:");
  EXPECT_EQ(Line(2), "              goto(string x);");
  EXPECT_EQ(Line(5), std::string(254, '-'));
  EXPECT_EQ(Line(6), "-> COMMAND 1:");
  EXPECT_EQ(Line(19), std::string(254, '-'));  // the separator of entry 4 ends the page
  // Entries 4 to 7 take 4 lines each; the last help line of entry 8 fills the page, so the next
  // listing starts again with entry 8.
  Enter("cmdlist");
  EXPECT_EQ(doc.CmdlistNext(), 8);
}

TEST_F(ConsoleCommands, AFullListingHolds301LinesAndStartsAgainAtTheEnd) {
  doc.SetLastLine(49);
  int printed = 0;
  int listings = 0;
  struct Counter : LineSink {
    int lines = 0;
    void PrintLine(std::string_view) override { ++lines; }
  } counter;
  doc.SetTranscript(&counter);
  std::vector<int> resumes;
  do {
    const int before = counter.lines;
    view.RunBridge("cmdlist");
    printed += counter.lines - before;
    resumes.push_back(doc.CmdlistNext());
    ++listings;
  } while (doc.CmdlistNext() != 0 && listings < 20);
  doc.SetTranscript(nullptr);
  EXPECT_GT(listings, 6);
  // Each page stops within a block, whose separator and header are printed again next time, so
  // the pages print more than the 301 lines of the listing.
  EXPECT_GE(printed, 301);
  for (std::size_t i = 1; i + 1 < resumes.size(); ++i) EXPECT_GT(resumes[i], resumes[i - 1]);
}

TEST_F(ConsoleCommands, BlocksNumberFromZeroAndIndentHelpLines) {
  doc.SetLastLine(49);
  doc.SetCmdlistNext(5);
  view.RunBridge("cmdlist");
  EXPECT_EQ(Line(0), std::string(254, '-'));
  EXPECT_EQ(Line(1), "-> COMMAND 5:");
  EXPECT_EQ(Line(2), "              god");
  EXPECT_EQ(Line(3), "              God mode [On/Off].");
  EXPECT_EQ(Line(4), std::string(254, '-'));
}

TEST_F(ConsoleCommands, ABlockLongerThanThePageCannotBePassed) {
  doc.SetLastLine(5);
  doc.SetCmdlistNext(37);  // on_see: 14 lines with separator and header
  view.RunBridge("cmdlist");
  EXPECT_EQ(doc.CmdlistNext(), 37);
  view.RunBridge("cmdlist");
  EXPECT_EQ(doc.CmdlistNext(), 37);
}

TEST_F(ConsoleCommands, UsageOfOnUseHasNineHelpLines) {
  PrintUsage(30, doc);
  EXPECT_EQ(doc.CursorLine(), 10);
  EXPECT_EQ(Line(0), ">> USAGE <<");
  EXPECT_EQ(Line(1), "on_use(string activator, string labelname);");
  EXPECT_EQ(Line(9), "IP = current instruction before the branch");
  PrintUsage(70, doc);  // an empty slot prints nothing
  PrintUsage(-1, doc);
  EXPECT_EQ(doc.CursorLine(), 10);
}

}  // namespace
}  // namespace zelk::test

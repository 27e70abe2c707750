// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <vector>

#include "app/CommandLine.h"

namespace zelk {
namespace {

CommandLine Parse(std::vector<const char*> args) {
  args.insert(args.begin(), "zelk");
  return ParseCommandLine(static_cast<int>(args.size()), args.data());
}

TEST(CommandLine, ModesAndTheirValues) {
  using Mode = CommandLine::Mode;
  EXPECT_EQ(Parse({}).mode, Mode::Desktop);
  EXPECT_EQ(Parse({"intro.scr"}).documentName, "intro.scr");
  EXPECT_EQ(Parse({"--help"}).mode, Mode::Help);
  EXPECT_EQ(Parse({"--version"}).mode, Mode::Version);

  const CommandLine commands = Parse({"-c", "version", "-c", "status", "--lines", "20"});
  EXPECT_EQ(commands.mode, Mode::Batch);
  EXPECT_FALSE(commands.fromFile);
  EXPECT_EQ(commands.lines, (std::vector<std::string>{"version", "status"}));
  EXPECT_EQ(commands.consoleLines, 20);

  EXPECT_EQ(Parse({"--batch"}).mode, Mode::Batch);
  EXPECT_TRUE(Parse({"--batch"}).fromFile);
  EXPECT_EQ(Parse({"--batch", "-"}).file, "-");
  EXPECT_EQ(Parse({"--batch", "x.txt", "--lines", "1"}).file, "x.txt");
  EXPECT_EQ(Parse({"--batch", "--lines", "50"}).file, "");
  EXPECT_EQ(Parse({"--decompile", "a.dat"}).compiledFile, "a.dat");
  EXPECT_EQ(Parse({"--lsp"}).mode, Mode::Lsp);
  const CommandLine check = Parse({"--check", "a.scr", "-", "--", "-b.scr"});
  EXPECT_EQ(check.mode, Mode::Check);
  EXPECT_EQ(check.sourceFiles, (std::vector<std::string>{"a.scr", "-", "-b.scr"}));
  EXPECT_EQ(Parse({"a.scr", "--check"}).sourceFiles, (std::vector<std::string>{"a.scr"}));
  EXPECT_EQ(Parse({"--graph", "-"}).mode, Mode::Graph);
  EXPECT_EQ(Parse({"--graph=a.scr"}).sourceFiles, (std::vector<std::string>{"a.scr"}));
}

TEST(CommandLine, ValuesAfterAnEqualsSignAndFileNamesAfterTwoDashes) {
  EXPECT_EQ(Parse({"--lines=20", "-c", "x"}).consoleLines, 20);
  EXPECT_EQ(Parse({"--batch=x.txt"}).file, "x.txt");
  EXPECT_EQ(Parse({"--batch=-"}).file, "-");
  EXPECT_EQ(Parse({"--batch=a=b.txt"}).file, "a=b.txt");
  EXPECT_EQ(Parse({"--decompile=-a.dat"}).compiledFile, "-a.dat");
  EXPECT_EQ(Parse({"-c", "--lines=9"}).lines, (std::vector<std::string>{"--lines=9"}));
  EXPECT_EQ(Parse({"--", "-intro.scr"}).documentName, "-intro.scr");
  EXPECT_EQ(Parse({"--", "--help"}).documentName, "--help");
  EXPECT_EQ(Parse({"--batch", "--", "-x.txt"}).file, "-x.txt");
  EXPECT_EQ(Parse({"--batch", "--lines", "5", "x.txt"}).file, "x.txt");
  EXPECT_EQ(Parse({"--decompile", "--", "-a.dat"}).mode, CommandLine::Mode::UsageError);
}

TEST(CommandLine, HelpFitsSeventyNineColumnsWithAGapAfterEachOption) {
  const std::string help = UsageText();
  bool inOptions = false;
  for (std::size_t start = 0, end; start < help.size(); start = end + 1) {
    end = help.find('\n', start);
    const std::string line = help.substr(start, end - start);
    EXPECT_LE(line.size(), 79u) << line;
    if (line == "Options:") inOptions = true;
    if (line.empty()) inOptions = false;
    if (!inOptions || line.rfind("  -", 0) != 0) continue;
    // "  OPTION [VALUE]  text": the option and its value, then two blanks or more.
    const std::size_t gap = line.find("  ", 2);
    ASSERT_NE(gap, std::string::npos) << line;
    EXPECT_NE(line.find_first_not_of(' ', gap), std::string::npos) << line;
  }
}

TEST(CommandLine, UsageErrors) {
  const std::vector<std::vector<const char*>> bad = {
      {"--bogus"},
      {"-c"},
      {"--lines", "0", "-c", "x"},
      {"--lines", "51", "-c", "x"},
      {"--lines", "x", "-c", "x"},
      {"--lines", "5"},
      {"-c", "a", "--batch"},
      {"--batch", "a", "--batch"},
      {"--decompile"},
      {"--decompile", "a", "-c", "x"},
      {"a.scr", "b.scr"},
      {"-c", "x", "stray"},
      {"--lines", "12a", "-c", "x"},
      {"--help=x"},
      {"--version=1"},
      {"--lines=", "-c", "x"},
      {"--batch="},
      {"--decompile="},
      {"--bogus=1"},
      {"-c=x"},
      {"--batch", "a", "b"},
      {"--", "a.scr", "b.scr"},
      {"--lsp", "a.scr"},
      {"-c", "x", "--lsp"},
      {"--lsp", "--decompile", "a.dat"},
      {"--lsp=1"},
      {"--check"},
      {"--check=a.scr"},
      {"--check", "a.scr", "-c", "x"},
      {"--check", "a.scr", "--graph", "b.scr"},
      {"--graph"},
      {"--graph", "a.scr", "b.scr"},
      {"--graph", "a.scr", "--graph", "b.scr"},
      {"--graph", "a.scr", "--lsp"},
  };
  for (const auto& args : bad) {
    const CommandLine line = Parse(args);
    EXPECT_EQ(line.mode, CommandLine::Mode::UsageError) << args[0];
    EXPECT_FALSE(line.error.empty());
  }
}

}  // namespace
}  // namespace zelk

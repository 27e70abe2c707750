// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <gtest/gtest.h>

#include <vector>

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
}

TEST(CommandLine, UsageErrors) {
  const std::vector<std::vector<const char*>> bad = {
      {"--bogus"}, {"-c"}, {"--lines", "0", "-c", "x"}, {"--lines", "51", "-c", "x"},
      {"--lines", "x", "-c", "x"}, {"--lines", "5"}, {"-c", "a", "--batch"},
      {"--batch", "a", "--batch"}, {"--decompile"}, {"--decompile", "a", "-c", "x"},
      {"a.scr", "b.scr"}, {"-c", "x", "stray"}, {"--lines", "12a", "-c", "x"},
      {"--lsp", "a.scr"}, {"-c", "x", "--lsp"}, {"--lsp", "--decompile", "a.dat"},
  };
  for (const auto& args : bad) {
    const CommandLine line = Parse(args);
    EXPECT_EQ(line.mode, CommandLine::Mode::UsageError) << args[0];
    EXPECT_FALSE(line.error.empty());
  }
}

}  // namespace
}  // namespace zelk

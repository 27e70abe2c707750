// SPDX-License-Identifier: MIT
#include "language/CommandTable.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace zelk {
namespace {

TEST(CommandTable, FindCommandMatchesWholeLowerCaseWordsOnly) {
  struct Case {
    const char* word;
    int index;
  };
  const Case cases[] = {
      {"goto", 0},       {"sv_color", 1},  {"label", 39},      {"credits", 61},
      {"say_slave", 57}, {"stuffcmd", 59}, {"sv_editor", 20},  {"load_map", 58},
      {"Goto", -1},      {"got", -1},      {"gotoo", -1},      {"", -1},
      {"clear", -1},     {"env", -1},      {"exit", -1},       {"quit", -1},
      {"version", -1},   {"status", -1},   {"home", -1},       {"cmdlist", -1},
      {"quake2", -1},    {"TE", -1},       {".self", -1},      {"_", -1},
  };
  for (const Case& c : cases) EXPECT_EQ(FindCommand(c.word), c.index) << c.word;
}

TEST(CommandTable, EveryFilledEntryIsFoundAtItsOwnIndex) {
  std::set<std::string> names;
  for (int i = 0; i < COMMAND_COUNT; ++i) {
    const CommandEntry& entry = Commands()[i];
    ASSERT_NE(entry.name, nullptr) << i;
    EXPECT_EQ(FindCommand(entry.name), i) << entry.name;
    EXPECT_TRUE(names.insert(entry.name).second) << "duplicate " << entry.name;
    for (const char* p = entry.name; *p != '\0'; ++p) {
      EXPECT_TRUE((*p >= 'a' && *p <= 'z') || (*p >= '0' && *p <= '9') || *p == '_') << entry.name;
    }
    const std::string help = entry.help;
    EXPECT_EQ(help.back(), '\n') << entry.name;
    // An entry with an opening delimiter needs ";" and a call-like one a closing ")".
    if (entry.openDelim == '(') {
      EXPECT_EQ(entry.closeDelim, ')') << entry.name;
    }
  }
  for (int i = COMMAND_COUNT; i < COMMAND_SLOTS; ++i) {
    EXPECT_EQ(Commands()[i].name, nullptr);
    EXPECT_EQ(Commands()[i].help, nullptr);
  }
}

TEST(CommandTable, CategoriesAndArgumentsOfSelectedEntries) {
  struct Case {
    const char* word;
    signed char category;
    std::string kinds;  // argument kind codes as digits
    char open;
  };
  const Case cases[] = {
      {"goto", 3, "5", '('},      {"sv_color", 1, "1", 0},    {"move_to", 3, "24", '('},
      {"sv_quake2_dir", 1, "2", '='}, {"god", 1, "", 0},      {"say", 3, "235", '('},
      {"take", 3, "253", '('},    {"spawn", 3, "5541", '('},  {"label", 2, "5", '@'},
      {"stand", 3, "", 0},        {"script", 3, "", 0},       {"on_see", 3, "5533", '('},
      {"reserved", 3, "", 0},     {"compile", 1, "5", 0},     {"rotate", 3, "4", '('},
  };
  for (const Case& c : cases) {
    const CommandEntry& entry = Commands()[FindCommand(c.word)];
    std::string kinds;
    for (int k = 0; entry.argKinds[k] != 0; ++k) kinds += static_cast<char>('0' + entry.argKinds[k]);
    EXPECT_EQ(entry.category, c.category) << c.word;
    EXPECT_EQ(kinds, c.kinds) << c.word;
    EXPECT_EQ(entry.openDelim, c.open) << c.word;
  }
}

TEST(CommandTable, HelpTextsHold177LinesAndOnSeeIsTheLongest) {
  int total = 0;
  int longest = 0;
  std::string longestName;
  for (int i = 0; i < COMMAND_COUNT; ++i) {
    int lines = 0;
    ForEachHelpLine(Commands()[i].help, [&](std::string_view line) {
      ++lines;
      EXPECT_LT(line.size(), 80u);
    });
    total += lines;
    if (lines > longest) {
      longest = lines;
      longestName = Commands()[i].name;
    }
  }
  EXPECT_EQ(total, 177);
  EXPECT_EQ(longest, 12);
  EXPECT_EQ(longestName, "on_see");
}

TEST(CommandTable, HelpLinesAreSplitAtNewlinesAndCutAt255) {
  std::vector<std::string> lines;
  const std::string help = "a\n\n" + std::string(300, 'b') + "\nlast";
  ForEachHelpLine(help.c_str(), [&](std::string_view line) { lines.emplace_back(line); });
  EXPECT_EQ(lines, (std::vector<std::string>{"a", "", std::string(255, 'b'), "last"}));
}

}  // namespace
}  // namespace zelk

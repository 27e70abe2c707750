// SPDX-License-Identifier: MIT
#include "language/StatementParser.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace zelk {
namespace {

struct ParseCase {
  std::string line;
  int result;
  std::vector<std::string> tokens;  // checked only for results 1, 2 and 3
};

std::vector<std::string> Tokens(const ParsedStatement& parsed) {
  std::vector<std::string> tokens;
  for (int i = 0; i < TOKEN_SLOTS && parsed.HasToken(i); ++i) {
    tokens.emplace_back(parsed.Token(i));
  }
  return tokens;
}

int Result(std::string_view line) { return static_cast<int>(ParseStatement(line).result); }

TEST(StatementParser, ClassifiesLinesAndLeavesTheirTokens) {
  const ParseCase cases[] = {
      {"goto(start);", 3, {"goto", "start"}},
      {"goto ( start ) ;", 3, {"goto", "start"}},
      {"goto(start) ;junk", 3, {"goto", "start"}},
      {"goto(start)", -2, {}},
      {"goto start;", 0, {}},
      {"Goto(start);", -1, {}},
      {"wait(1.5);", 3, {"wait", "1.5"}},
      {"wait(.5);", 3, {"wait", ".5"}},
      {"wait(5.);", 3, {"wait", "5."}},
      {"wait(.);", 0, {}},
      {"wait();", 3, {"wait", ""}},
      {"wait(-);", 3, {"wait", "-"}},
      {"wait(1e5);", 0, {}},
      {"die();", 0, {}},
      {"die(-12);", 3, {"die", "-12"}},
      {"sv_color 170", 1, {"sv_color", "170"}},
      {"sv_color +5", 1, {"sv_color", "+5"}},
      {"sv_color", 0, {}},
      {"sv_color abc", 0, {}},
      {"god", 1, {"god"}},
      {"god;", 1, {"god"}},
      {"god xyz", 1, {"god"}},
      {"label@start;", 2, {"label", "start"}},
      {"label @ start ;", 2, {"label", "start"}},
      {"label@start", -2, {}},
      {"on_use(.activator, fight);", 3, {"on_use", ".activator", "fight"}},
      {"rotate(<0, 90, 0>);", 3, {"rotate", "0", "90", "0"}},
      {"rotate([0, 90, 0>);", 3, {"rotate", "0", "90", "0"}},
      {"rotate(<0, 90, 0]);", 0, {}},
      {"spawn(monster_soldier, guard1, <0, 0, 24>, 1);", 3,
       {"spawn", "monster_soldier", "guard1", "0", "0", "24", "1"}},
      {"move_to(door1, <0, 0, 64>);", 0, {}},
      {"move_to(\"door1\", <0, 0, 64>);", 3, {"move_to", "door1", "0", "0", "64"}},
      {"rotate(", 0, {}},
      {"rotate(<", 0, {}},
      {"", -1, {}},
      {"     ", -1, {}},
      {"(goto);", -1, {}},
      {"sv_quake2_dir = \"C:\\Quake2\\\";", 1, {"sv_quake2_dir", "C:\\Quake2\\"}},
      {"sv_quake2_dir \"C:\\Quake2\";", 0, {}},
      {"sv_quake2_dir = \"C:\\Quake2\"", -2, {}},
      {"say(\"misc/Hello.wav\", 1, attn_norm);", 3, {"say", "misc/Hello.wav", "1", "attn_norm"}},
      {"say(\"unterminated, 1, attn_norm);", 0, {}},
      {"say(\"\", 1, x);", 3, {"say", "", "1", "x"}},
      {"map base1", 1, {"map", "base1"}},
      {"map", 0, {}},
      {"use(door, .self);", 3, {"use", "door", ".self"}},
      {"use(door .self);", 0, {}},
      {"stand", 3, {"stand"}},
      {"return;", 3, {"return"}},
      {"camera(2, 0.5);", 3, {"camera", "2", "0.5"}},
      {"camera(2, 0.5, 1);", 0, {}},
      {"on_see(guard, spot, 1, 500);", 3, {"on_see", "guard", "spot", "1", "500"}},
      {"compile intro", 1, {"compile", "intro"}},
      {"deathmatch -1", 1, {"deathmatch", "-1"}},
      {"deathmatch 99999999999999999999", 1, {"deathmatch", "99999999999999999999"}},
  };
  for (const ParseCase& c : cases) {
    const ParsedStatement parsed = ParseStatement(c.line);
    EXPECT_EQ(static_cast<int>(parsed.result), c.result) << c.line;
    if (c.result >= 1) {
      EXPECT_EQ(Tokens(parsed), c.tokens) << c.line;
    }
  }
}

TEST(StatementParser, RemembersTheMatchedEntryEvenWhenTheArgumentsAreWrong) {
  const ParsedStatement wrong = ParseStatement("goto start;");
  EXPECT_EQ(wrong.result, ParseResult::Usage);
  EXPECT_EQ(wrong.commandIndex, 0);
  const ParsedStatement unknown = ParseStatement("nothing");
  EXPECT_EQ(unknown.result, ParseResult::BadInstruction);
  EXPECT_EQ(unknown.commandIndex, -1);
}

TEST(StatementParser, ALineEndsAtItsFirstNulAndAfter255Characters) {
  EXPECT_EQ(Result(std::string("god\0 junk", 9)), 1);
  EXPECT_EQ(Result(std::string("goto(x)\0;", 9)), -2);
  const ParsedStatement parsed = ParseStatement("sv_params = \"" + std::string(241, 'p') + "\";");
  EXPECT_EQ(parsed.result, ParseResult::NoEol);  // the ";" stands after position 255
  EXPECT_EQ(Result("god" + std::string(300, ' ') + "x"), 1);
}

TEST(StatementParser, NeverReadsPastTheLineOrItsBuffer) {
  // A full 255-character buffer whose last byte is the terminator, ending inside each reader.
  const std::vector<std::string> prefixes = {
      "say(\"", "wait(", "rotate(<1,", "goto(", "sv_color ", "drop(1, ", "label@"};
  for (const std::string& prefix : prefixes) {
    const std::string line =
        prefix + std::string(255 - prefix.size(), prefix == "say(\"" ? 'x' : '1');
    const int result = Result(line);
    EXPECT_LE(result, 3) << prefix;
    EXPECT_GE(result, -2) << prefix;
  }
}

}  // namespace
}  // namespace zelk

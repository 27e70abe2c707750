// SPDX-License-Identifier: MIT
#include "compiler/StatementEncoder.h"

#include <gtest/gtest.h>

#include "compiler/CompileTestSupport.h"
#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "language/StatementParser.h"

namespace zelk::test {
namespace {

using StatementEncoder = CompileFixture;

// The translated fields of one statement, compiled after "label@top;" so that top is index 0.
struct EncodeCase {
  std::string statement;
  std::int32_t command;
  std::int32_t int1;
  std::int32_t int2;
  float float1;
  float float2;
  std::string string1;
  std::string string2;
};

TEST_F(StatementEncoder, TranslatesPseudoTargetsLabelsAndAttenuation) {
  const EncodeCase cases[] = {
      {"say(\"w.wav\", 0.8, attn_static);", 18, 3, 0, 0.8f, 0, "w.wav", ""},
      {"say(\"w.wav\", 1, attn_none);", 18, 0, 0, 1, 0, "w.wav", ""},
      {"say(\"w.wav\", 1, attn_idle);", 18, 2, 0, 1, 0, "w.wav", ""},
      {"attack(.activator, 20);", 33, 255, 20, 0, 0, "", ""},
      {"attack(guard, 20);", 33, 20, 0, 0, 0, "guard", ""},
      {"goto(top);", 0, 0, 0, 0, 0, "", ""},
      {"start(top);", 35, 0, 0, 0, 0, "", ""},
      {"on_touch(.client, top, 2);", 36, 255, 0, 2, 0, "", ""},
      {"on_touch(.none, top, 2);", 36, -1, 0, 2, 0, "", ""},
      {"on_touch(guard, top, 2);", 36, 0, 0, 2, 0, "guard", ""},
      {"on_block(.self, top, 1);", 29, 0, 0, 1, 0, ".self", ""},
      {"on_see(.client, top, 1, 500);", 37, 255, 0, 1, 500, "", ""},
      {"on_pain(x, top, 0.5, 64);", 38, 0, 0, 0.5f, 64, "x", ""},
      {"look_at(.activator);", 41, 255, 0, 0, 0, "", ""},
      {"look_at(.self);", 41, 0, 0, 0, 0, ".self", ""},
      {"run(.activator);", 21, 255, 0, 0, 0, "", ""},
      {"walk(door2);", 19, 0, 0, 0, 0, "door2", ""},
      {"action_target(7, .activator);", 31, 7, 255, 0, 0, "", ""},
      {"action_target(7, lift);", 31, 7, 0, 0, 0, "lift", ""},
      {"use(door, .self);", 44, 1, 0, 0, 0, "door", ""},
      {"use(door, .activator);", 44, 255, 0, 0, 0, "door", ""},
      {"use(door, guard);", 44, 0, 0, 0, 0, "door", "guard"},
      {"spawn(monster, .none, <1, 2, 3>, 4);", 34, 4, 0, 0, 0, "monster", ""},
      {"spawn(monster, m1, <1, 2, 3>, 4);", 34, 4, 0, 0, 0, "monster", "m1"},
      {"take(\"chest\", shells, 25);", 25, 0, 0, 25, 0, "chest", "shells"},
      {"drop(3, -4);", 24, 3, -4, 0, 0, "", ""},
      {"camera(2, 0.25);", 47, 2, 0, 0.25f, 0, "", ""},
      {"say_slave(npc, \"a\\nb\", 1);", 57, 0, 0, 1, 0, "npc", "a\nb"},
      {"stuffcmd(\"echo C:\\new\");", 59, 0, 0, 0, 0, "echo C:\new", ""},
      {"hammer(\"Big Door\", 100);", 32, 100, 0, 0, 0, "Big Door", ""},
  };
  for (const EncodeCase& c : cases) {
    Compile("label@top;\n" + c.statement + "\n");
    ASSERT_EQ(failedCompiles, 0) << c.statement;
    const InstructionRecord r = Record(Compiled(), 0);
    EXPECT_EQ(r.command, c.command) << c.statement;
    EXPECT_EQ(r.Int1, c.int1) << c.statement;
    EXPECT_EQ(r.Int2, c.int2) << c.statement;
    EXPECT_EQ(r.Float1, c.float1) << c.statement;
    EXPECT_EQ(r.Float2, c.float2) << c.statement;
    EXPECT_EQ(std::string(r.String1), c.string1) << c.statement;
    EXPECT_EQ(std::string(r.String2), c.string2) << c.statement;
    // A string field is all zero after its terminator.
    const std::string file = Compiled();
    const std::string s1 = file.substr(8 + 20, 256);
    EXPECT_EQ(s1.find_first_not_of('\0', c.string1.size()), std::string::npos) << c.statement;
  }
}

TEST_F(StatementEncoder, OnUseCountsDistinctUsersIgnoringCase) {
  const auto out = Compile(
      "label@fight;\nlabel@flee;\non_use(guard, fight);\non_use(guard, flee);\n"
      "on_use(.client, fight);\non_use(boss, .none);\n");
  EXPECT_EQ(out, (std::vector<std::string>{"When used by guard goto fight (ip0)",
                                            "When used by guard goto flee (ip0)",
                                            "When used by .client goto fight (ip0)",
                                            "User boss intercept killed.",
                                            "Number of intercetps 2 out of possible 100"}));
  const std::string file = Compiled();
  EXPECT_EQ(Header(file).interceptCount, 2);
  const InstructionRecord killed = Record(file, 3);
  EXPECT_EQ(killed.Int1, -1);
  EXPECT_STREQ(killed.String1, "boss");
  EXPECT_STREQ(killed.String2, "");
}

TEST_F(StatementEncoder, TheHundredAndFirstOnUseUserIsRefused) {
  std::string source = "label@l;\n";
  for (int i = 0; i < 101; ++i) source += "on_use(user" + std::to_string(i) + ", l);\n";
  const auto out = Compile(source);
  EXPECT_EQ(out.back(), "Too many on_use users: user100 is the 101st, the limit is 100.");
  ASSERT_TRUE(last.error.has_value());
  EXPECT_EQ(last.error->kind, Diagnostic::Kind::TooManyUsers);
  EXPECT_EQ(last.error->line, 102);
  EXPECT_EQ(last.error->message, out.back());
  // Records before the faulty line, behind a zero header.
  EXPECT_EQ(Compiled().size(), HEADER_SIZE + 100 * RECORD_SIZE);
  EXPECT_EQ(Header(Compiled()).instructionCount, 0);
}

TEST(LabelTables, UsersIgnoreCaseLabelsDoNotAndTheFirstLabelWins) {
  InterceptUsers users;
  EXPECT_TRUE(users.Add("Alpha"));
  EXPECT_TRUE(users.Add("ALPHA"));
  EXPECT_TRUE(users.Add("beta"));
  EXPECT_EQ(users.Count(), 2);
  LabelTable labels;
  EXPECT_TRUE(labels.Add("x", 5));
  EXPECT_TRUE(labels.Add("x", 9));
  EXPECT_EQ(labels.Find("x"), 5);
  EXPECT_EQ(labels.Find("X"), -1);
  EXPECT_EQ(labels.Find("xx"), -1);
  for (int i = 2; i < LABEL_SLOTS; ++i) EXPECT_TRUE(labels.Add("l" + std::to_string(i), i));
  EXPECT_FALSE(labels.Add("one too many", 0));
  EXPECT_EQ(labels.Count(), LABEL_SLOTS);
}

// The encoder alone, as the decompiler uses it: a parsed statement and the tables, no file.
TEST(StatementEncoderAlone, GivesARecordOrTheReasonWithoutPrinting) {
  LabelTable labels;
  labels.Add("top", 4);
  InterceptUsers users;
  InstructionRecord record;
  const EncodeOutcome good =
      EncodeStatement(ParseStatement("on_touch(.client, top, 2);"), labels, users, record);
  EXPECT_TRUE(good.ok);
  EXPECT_EQ(record.Int1, CODE_ACTIVATOR);
  EXPECT_EQ(record.Int2, 4);
  const EncodeOutcome missing =
      EncodeStatement(ParseStatement("goto(nowhere);"), labels, users, record);
  EXPECT_FALSE(missing.ok);
  EXPECT_EQ(missing.errorKind, Diagnostic::Kind::LabelNotFound);
  EXPECT_EQ(missing.error, "goto: Label nowhere not found!");
  const EncodeOutcome quiet =
      EncodeStatement(ParseStatement("say(\"a.wav\", 1, loud);"), labels, users, record);
  EXPECT_EQ(quiet.errorKind, Diagnostic::Kind::BadAttenuation);
  EXPECT_TRUE(quiet.note.empty());
}

}  // namespace
}  // namespace zelk::test

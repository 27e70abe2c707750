#include "compiler/StatementEncoder.h"

#include <gtest/gtest.h>

#include "compiler/CompileTestSupport.h"

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
    ASSERT_EQ(view.m_failedCompiles, 0) << c.statement;
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
  EXPECT_EQ(out[1], "When used by guard goto fight (ip0)");
  EXPECT_EQ(out[2], "When used by guard goto flee (ip0)");
  EXPECT_EQ(out[3], "When used by .client goto fight (ip0)");
  EXPECT_EQ(out[4], "User boss intercept killed.");
  EXPECT_EQ(out[5], "Number of intercetps 2 out of possible 100");
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
  EXPECT_EQ(out[out.size() - 3], "Too many on_use users: user100 is the 101st, the limit is 100.");
  EXPECT_EQ(out[out.size() - 2], "Error encountered at line 102");
  EXPECT_EQ(doc.m_interceptCount, 100);
}

TEST_F(StatementEncoder, AddInterceptUserAndFindLabel) {
  EXPECT_TRUE(AddInterceptUser(doc, "Alpha"));
  EXPECT_TRUE(AddInterceptUser(doc, "ALPHA"));
  EXPECT_TRUE(AddInterceptUser(doc, "beta"));
  EXPECT_EQ(doc.m_interceptCount, 2);
  doc.m_labelCount = 2;
  doc.m_labels[0].ip = 5;
  std::strcpy(doc.m_labels[0].name, "x");
  doc.m_labels[1].ip = 9;
  std::strcpy(doc.m_labels[1].name, "x");
  EXPECT_EQ(FindLabel(doc, "x"), 5);
  EXPECT_EQ(FindLabel(doc, "X"), -1);
  EXPECT_EQ(FindLabel(doc, "xx"), -1);
}

}  // namespace
}  // namespace zelk::test

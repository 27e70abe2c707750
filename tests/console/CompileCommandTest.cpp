// SPDX-License-Identifier: MIT
#include "console/CompileCommand.h"

#include <gtest/gtest.h>

#include "compiler/CompiledScript.h"
#include "compiler/SourceReader.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

using CompileDriver = ConsoleCompileFixture;

InstructionRecord Record(const std::string& file, int index) {
  return ReadRecord(reinterpret_cast<const unsigned char*>(file.data()) + HEADER_SIZE +
                    RECORD_SIZE * static_cast<std::size_t>(index));
}
CompiledScriptHeader Header(const std::string& file) {
  return ReadHeader(reinterpret_cast<const unsigned char*>(file.data()));
}
using Out = std::vector<std::string>;

TEST_F(CompileDriver, AnEmptySourceGivesAHeaderOfZeros) {
  EXPECT_EQ(Compile(""), (Out{kSeparator, "Number of intercetps 0 out of possible 100",
                              "Compile successful. 0 instructions. 0 bytes", kSeparator}));
  EXPECT_EQ(Compiled(), std::string(8, '\0'));
  EXPECT_EQ(view.FailedCompiles(), 0);
}

TEST_F(CompileDriver, TheFourLineExampleGivesItsBytes) {
  EXPECT_EQ(Compile("label@top;\nsay(\"misc/hello.wav\", 1.0, attn_norm);\nwait(2.0);\n"
                    "goto(top);\n"),
            (Out{kSeparator, "Number of intercetps 0 out of possible 100",
                 "Compile successful. 3 instructions. 1632 bytes", kSeparator}));
  std::string expected(1640, '\0');
  expected[0] = 3;
  auto put = [&](std::size_t offset, const std::string& bytes) {
    expected.replace(offset, bytes.size(), bytes);
  };
  put(8, std::string("\x12", 1));                // say
  put(8 + 4, std::string("\x01", 1));            // attn_norm
  put(8 + 12, std::string("\x00\x00\x80\x3F", 4));  // 1.0
  put(8 + 20, "misc/hello.wav");
  put(8 + 544, std::string("\x02", 1));          // wait
  put(8 + 544 + 12, std::string("\x00\x00\x00\x40", 4));  // 2.0
  // goto: command 0, label index 0, an empty String1: all zero.
  EXPECT_EQ(Compiled(), expected);
}

TEST_F(CompileDriver, ReservedAndBareStatementsHoldOnlyTheirCode) {
  Compile("stand;\nstop;\nreturn;\nlisten;\ncredits;\nscript;\nreserved\n");
  const std::string file = Compiled();
  ASSERT_EQ(file.size(), 8 + 7 * 544u);
  const int codes[] = {43, 46, 40, 60, 61, 48, 22};
  for (int i = 0; i < 7; ++i) {
    const std::string record = file.substr(8 + 544 * i, 544);
    EXPECT_EQ(record[0], codes[i]);
    EXPECT_EQ(record.substr(1), std::string(543, '\0')) << i;
  }
}

TEST_F(CompileDriver, WaitOfTwoAndAHalfAndAMoveTo) {
  Compile("wait(2.5);\nmove_to(\"door\", <1, -2.5, 3>);\n");
  const std::string file = Compiled();
  EXPECT_EQ(file.substr(8, 4), std::string("\x02\0\0\0", 4));
  EXPECT_EQ(file.substr(8 + 12, 4), std::string("\x00\x00\x20\x40", 4));
  const InstructionRecord move = Record(file, 1);
  EXPECT_EQ(move.command, 3);
  EXPECT_STREQ(move.String1, "door");
  EXPECT_EQ(move.Vector[0], 1.0f);
  EXPECT_EQ(move.Vector[1], -2.5f);
  EXPECT_EQ(move.Vector[2], 3.0f);
}

TEST_F(CompileDriver, LabelsResolveForwardAndTheFirstDefinitionWins) {
  Compile("goto(end);\nlabel@a;\nlabel@b;\nwait(1);\nlabel@a;\nstart(b);\ngoto(a);\nlabel@end;\n");
  const std::string file = Compiled();
  ASSERT_EQ(Header(file).instructionCount, 4);
  EXPECT_EQ(Record(file, 0).Int1, 4);  // a label at the end holds the number of statements
  EXPECT_EQ(Record(file, 2).Int1, 1);  // b marks the wait
  EXPECT_EQ(Record(file, 3).Int1, 1);  // the first a
}

TEST_F(CompileDriver, LineEndsCommentsAndBlanks) {
  struct Case {
    std::string source;
    int instructions;
  };
  const Case cases[] = {
      {"wait(1);\r\nwait(2);\r\n", 2},
      {"wait(1);\rwait(2);\r", 0},  // carriage returns alone: one line, never ended
      {"wait(1);\nwait(2);", 1},    // the last line without a line feed is ignored
      {"\n   \n// comment\n\t\nwait(1); // trailing comment\n", 1},
      {"say(\"a//b.wav\", 1, attn_none); // x\n", 1},
      {"\twait(1);\n", 1},
  };
  for (const Case& c : cases) {
    Compile(c.source);
    EXPECT_EQ(Header(Compiled()).instructionCount, c.instructions) << c.source;
    EXPECT_EQ(view.FailedCompiles(), 0) << c.source;
  }
  Compile("say(\"a//b.wav\", 1, attn_none); // x\n");
  EXPECT_STREQ(Record(Compiled(), 0).String1, "a//b.wav");
}

TEST_F(CompileDriver, AnErrorStopsTheCompileAndNamesItsLine) {
  EXPECT_EQ(Compile("wait(1);\nwait(2);\nwait(3);\ngoto(nowhere);\nwait(5);\n"),
            (Out{kSeparator, "goto: Label nowhere not found!", "Error encountered at line 4",
                 kSeparator}));
  const std::string file = Compiled();
  ASSERT_EQ(file.size(), 8 + 3 * 544u);
  EXPECT_EQ(file.substr(0, 8), std::string(8, '\0'));
  EXPECT_EQ(Record(file, 2).Float1, 3.0f);
  ASSERT_EQ(platform.messageBoxes.size(), 1u);
  EXPECT_EQ(platform.messageBoxes[0].substr(0, 26), "Compile was unsuccessfull.");
  EXPECT_EQ(platform.messageBoxes[0].back(), '\n');
  EXPECT_TRUE(platform.sounds.empty());
  EXPECT_EQ(view.FailedCompiles(), 1);
}

TEST_F(CompileDriver, ErrorMessagesOfEachKind) {
  struct Case {
    std::string source;
    Out messages;  // between the first separator and "Error encountered at line N"
    int line;
  };
  const Case cases[] = {
      {"Wait(1);\n", {"Bad instruction or system data: Wait(1);"}, 1},
      {"\n\nversion\n", {"Bad instruction or system data: version"}, 3},
      {"clear // the console's own word\n", {"Bad instruction or system data: clear"}, 1},
      {"wait(1)\n", {"No EOL in current statement. Use semicolon."}, 1},
      {"god\n", {}, 0},
      {"die();\n", {">> USAGE <<", "die(int damage);", " +++ RESERVED +++"}, 1},
      {"say(\"x\", 1, loud);\n", {}, 1},
      {"start(x);\n", {"start: Label x not found!"}, 1},
      {"label@l;\non_pain(a, m, 1, 2);\n", {"on_pain: Label m not found!"}, 2},
      {"on_use(a, m);\n", {"on_use: Label m not found!"}, 1},
      {"compile other\n",
       {"compile cannot be used inside a script that is being compiled."}, 1},
  };
  for (const Case& c : cases) {
    Out out = Compile(c.source);
    if (c.line == 0) continue;
    ASSERT_GE(out.size(), 3u) << c.source;
    EXPECT_EQ(Out(out.begin() + 1, out.end() - 2), c.messages) << c.source;
    EXPECT_EQ(out[out.size() - 2], "Error encountered at line " + std::to_string(c.line));
  }
}

TEST_F(CompileDriver, SettingLinesInASourceTakeEffectAndPrintTheirConfirmation) {
  EXPECT_EQ(Compile("god\nsv_load_dir = \"elsewhere\";\nwait(1);\n"),
            (Out{kSeparator, "God mode on", "Loading directory is now: elsewhere\\",
                 "Number of intercetps 0 out of possible 100",
                 "Compile successful. 1 instructions. 544 bytes", kSeparator}));
  EXPECT_EQ(doc.Settings().godOn, 1);
  EXPECT_EQ(std::string(doc.SourcePath()), dir.Path() + "/t.scr");  // the compile's paths stay
}

TEST_F(CompileDriver, WithTheErrorSoundOnNoBoxIsShown) {
  doc.Settings().errorSoundOn = 1;
  Compile("bad\n");
  EXPECT_TRUE(platform.messageBoxes.empty());
  EXPECT_EQ(platform.sounds, std::vector<std::string>{JoinHostPath(dir.Path(), "doh.wav")});
}

TEST_F(CompileDriver, MissingSourceAndUncreatableOutput) {
  doc.ClearScreen();
  Enter("compile missing");
  EXPECT_EQ(Output(), (Out{kSeparator, "File " + dir.Path() + "/missing.scr not found.",
                           kSeparator}));
  EXPECT_FALSE(dir.Exists("missing.dat"));

  SetText(doc.Settings().saveDir, dir.Path() + "/no/such/dir/");
  EXPECT_EQ(Compile("wait(1);\n"),
            (Out{kSeparator, "Cannot open file " + dir.Path() + "/no/such/dir/t.dat.",
                 kSeparator}));
  EXPECT_EQ(view.FailedCompiles(), 2);
}

TEST_F(CompileDriver, PathsThatDoNotFitAreRefusedWithoutTouchingAnyFile) {
  SetText(doc.Settings().loadDir, dir.Path() + "/" + std::string(200, 'd') + "/");
  doc.ClearScreen();
  Enter("compile " + std::string(60, 'n'));
  EXPECT_EQ(Output(), Out{"Cannot compile (the source path would be longer than 255 characters): " +
                          std::string(60, 'n')});
  EXPECT_EQ(view.FailedCompiles(), 1);
  EXPECT_EQ(doc.SourcePath(), "");
}

TEST_F(CompileDriver, LongLinesAreCutAt255Characters) {
  // The statement is complete within 255 characters; the rest of the line is dropped.
  const std::string line = "wait(1);" + std::string(247, ' ') + "garbage that is dropped";
  Compile(line + "\n");
  EXPECT_EQ(Header(Compiled()).instructionCount, 1);
  // A string that runs past the cut loses its closing quote.
  Compile("hide(\"" + std::string(300, 'x') + "\");\n");
  EXPECT_EQ(view.FailedCompiles(), 1);
}

TEST_F(CompileDriver, LinesAcrossTheReadersBlocksCompileWhole) {
  // Lines of every length up to 300 over 200 KB: the reader's block ends fall inside lines, tabs
  // and cut lines alike.
  std::string source;
  int lines = 0;
  for (; source.size() < 200000; ++lines) {
    source += "wait(" + std::to_string(lines % 10) + ");" +
              std::string(static_cast<std::size_t>(lines % 300), lines % 2 != 0 ? ' ' : '\t') + "\n";
  }
  Compile(source);
  EXPECT_EQ(view.FailedCompiles(), 0);
  EXPECT_EQ(Header(Compiled()).instructionCount, lines);
  // The records reach the file whole, over the writer's blocks too.
  ASSERT_EQ(Compiled().size(), HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(lines));
  EXPECT_EQ(Record(Compiled(), lines - 1).Float1, static_cast<float>((lines - 1) % 10));
}

TEST_F(CompileDriver, CleanLineRemovesCommentsOutsideQuotesAndTrailingControlBytes) {
  struct Case {
    std::string in;
    std::string out;
  };
  const Case cases[] = {
      {"wait(1); // c", "wait(1);"},
      {"say(\"a//b\", 1, x); //c", "say(\"a//b\", 1, x);"},
      {"// all", ""},
      {"god \r\x01\xE9\xFF", "god"},
      {"a\"//\"b//c", "a\"//\"b"},
      {"   ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanLine(c.in), c.out) << c.in;
}

TEST_F(CompileDriver, TooManyLabelsIsAnError) {
  std::string source;
  for (int i = 0; i < 101; ++i) source += "label@l" + std::to_string(i) + ";\nwait(1);\n";
  const Out out = Compile(source);
  EXPECT_EQ(out[1], "Too many labels: a script holds at most 100.");
  EXPECT_EQ(out[2], "Error encountered at line 201");
  EXPECT_EQ(Compiled(), std::string(8, '\0'));
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/CommandHistory.h"
#include "console/ConsoleInput.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

using History = ConsoleFixture;

// Each case types at the prompt, with '^' for Up, 'v' for Down and '\r' for Enter, and ends
// with the input line and quote mode it expects (whether a letter typed next keeps its case).
TEST_F(History, UpAndDownRecallEarlierLinesThroughTheKeyRules) {
  const struct {
    const char* name;
    std::string keys;
    std::string input;
    bool quoteMode;
    std::vector<std::string> lines;
  } cases[] = {
      {"Up recalls the newest line", "abc\rdef\r^", "def", false, {"abc", "def"}},
      {"Up twice the one before", "abc\rdef\r^^", "abc", false, {"abc", "def"}},
      {"Up at the oldest stays there", "abc\r^^^", "abc", false, {"abc"}},
      {"Down goes back to what was typed", "abc\rdef\rxy^^vv", "xy", false, {"abc", "def"}},
      {"Down without a walk does nothing", "abc\rxy v", "xy ", false, {"abc"}},
      {"a repeated line is kept once", "abc\rabc\rdef\rdef\r^^", "abc", false, {"abc", "def"}},
      {"empty lines and trailing blanks are not kept", "abc  \r   \r\r^", "abc", false, {"abc"}},
      {"an edited recall runs and goes at the end",
       "abc\rdef\r^^x\r",
       "",
       false,
       {"abc", "def", "abcx"}},
      {"recalled text keeps its quotes and capitals",
       "say \"Hi There\"\rxyz\r^^",
       "say \"Hi There\"",
       false,
       {"say \"Hi There\"", "xyz"}},
      {"an open quote is typed again, so quote mode follows it",
       "x \"Ab\r^",
       "x \"Ab",
       true,
       {"x \"Ab"}},
      {"erasing a recalled quote leaves quote mode", "x \"Ab\r^^v", "", false, {"x \"Ab"}},
  };
  for (const auto& c : cases) {
    CommandHistory history;
    doc.ClearScreen();
    view.OnChar(13);  // an empty line that ends quote mode
    doc.ClearScreen();
    for (const char key : c.keys) {
      if (key == '^') {
        RecallOlder(view, history);
      } else if (key == 'v') {
        RecallNewer(view, history);
      } else {
        if (key == '\r') history.Add(doc.InputText());
        view.OnChar(static_cast<unsigned char>(key));
      }
    }
    EXPECT_EQ(doc.InputText(), c.input) << c.name;
    EXPECT_EQ(Line(doc.CursorLine()), "OK>" + c.input + "\xA4") << c.name;
    view.OnChar('Q');
    EXPECT_EQ(doc.InputText(), c.input + (c.quoteMode ? "Q" : "q")) << c.name;
    EXPECT_EQ(history.Lines(), c.lines) << c.name;
  }
}

TEST_F(History, KeepsTheLastHundredLinesAndRecallsWithinTheInputLimit) {
  CommandHistory history;
  for (int i = 0; i < 150; ++i) history.Add("line " + std::to_string(i));
  history.Add(std::string(300, 'x'));
  ASSERT_EQ(history.Lines().size(), CommandHistory::LIMIT);
  EXPECT_EQ(history.Lines().front(), "line 51");
  ASSERT_TRUE(RecallOlder(view, history));
  EXPECT_EQ(doc.InputText(), std::string(251, 'x'));  // the typed limit holds for a recall
  EXPECT_EQ(doc.CursorColumn(), 254);

  // Lines kept in the settings come back through the same rules; codes that would edit or submit
  // the line are not typed.
  history.Assign({"a", "a", "", std::string("b\tc\rd\be", 8)});
  EXPECT_EQ(history.Lines(), (std::vector<std::string>{"a", std::string("b\tc\rd\be", 8)}));
  RecallOlder(view, history);
  EXPECT_EQ(doc.InputText(), "bcde");
  EXPECT_EQ(doc.CursorLine(), 0);  // nothing was submitted
}

}  // namespace
}  // namespace zelk::test

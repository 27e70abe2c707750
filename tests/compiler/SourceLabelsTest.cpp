// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/CompileTestSupport.h"
#include "compiler/SourceLabels.h"

namespace zelk::test {
namespace {

using SourceLabelIndexes = CompileFixture;

// A label's index is the number of lines before it that parse as script statements, whether
// they can be encoded or not; the first pass finds the labels, the second counts, and a label
// further down is counted ahead. The records are those that the compile leaves.
struct LabelCase {
  std::string source;
  std::vector<std::int32_t> int1;  // Int1 of every record written
  int errorLine;                   // 0: the compile succeeds
};

TEST_F(SourceLabelIndexes, CountEveryWellFormedStatementBeforeTheLabel) {
  const LabelCase cases[] = {
      // A statement that cannot be encoded counts; the compile stops at it.
      {"goto(end);\ngoto(nowhere);\nlabel@end;\n", {2}, 2},
      // Lines with the wrong punctuation or no statement word do not count.
      {"goto(end);\nwait(1)\nbogus;\nwait(;\nlabel@end;\n", {1}, 2},
      {"goto(x);\nwait(1);\nlabel@x;\ngoto(y);\nwait(2);\nwait(3;\nlabel@y;\n", {2, 0, 4, 0}, 6},
      // Settings, blank lines and comments do not count.
      {"on_use(p, end);\ngod\n\n// c\nwait(1);\nlabel@end;\n", {2, 0}, 0},
      // Counting ahead passes labels that are named later.
      {"goto(b);\nlabel@a;\nwait(1);\nlabel@b;\ngoto(a);\n", {2, 0, 1}, 0},
      {"goto(c);\nlabel@a;\nwait(1);\nlabel@b;\nwait(2);\nlabel@c;\ngoto(b);\n", {3, 0, 0, 2}, 0},
      // The first forward branch stands after other statements: counting starts there.
      {"label@a;\nwait(1);\nwait(2);\ngoto(z);\nwait(3);\nlabel@z;\n", {0, 0, 4, 0}, 0},
      // The first label of a name wins.
      {"goto(d);\nlabel@d;\nwait(1);\nlabel@d;\n", {1, 0}, 0},
      // Labels as the parser reads them: blanks, tabs and a comment around, text after the ";".
      {"goto(t);\n\tlabel @\tt ; junk // x\n", {1}, 0},
  };
  for (const LabelCase& c : cases) {
    SCOPED_TRACE(c.source);
    Compile(c.source);
    const std::string file = Compiled();
    ASSERT_EQ(file.size(), HEADER_SIZE + RECORD_SIZE * c.int1.size());
    for (std::size_t i = 0; i < c.int1.size(); ++i) {
      EXPECT_EQ(Record(file, static_cast<int>(i)).Int1, c.int1[i]) << "record " << i;
    }
    if (c.errorLine == 0) {
      EXPECT_EQ(last.status, CompileResult::Status::Ok);
    } else {
      ASSERT_TRUE(last.error.has_value());
      EXPECT_EQ(last.error->line, c.errorLine);
    }
  }
}

TEST(MayBeLabelLine, HoldsForEveryLineThatCanBeALabel) {
  for (const char* line : {"label@a;", "   label @ a ;", "labelx", "label"}) {
    EXPECT_TRUE(MayBeLabelLine(line)) << line;
  }
  for (const char* line : {"", "   ", "goto(a);", "lab el@a;", "Label@a;", "//label"}) {
    EXPECT_FALSE(MayBeLabelLine(line)) << line;
  }
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
// Regression tests of what the fuzzers found, each reduced to its smallest form.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/CompiledScript.h"
#include "compiler/Decompiler.h"
#include "reliability/ReliabilitySupport.h"

namespace zelk::test {
namespace {

// Compiles the source in memory; returns the compiled bytes, or "" when the compile failed.
std::string CompileInMemory(const std::string& source) {
  MemoryConsole console;
  console.Start();
  console.files.Put("/load/s.scr", source);
  const auto output = console.Enter("compile s");
  if (console.view.FailedCompiles() != 0) return {};
  return console.files.Get("/save/s.dat");
}

std::string Decompiled(const std::string& compiled, std::string* reason = nullptr) {
  std::string source;
  std::string why;
  const bool ok = DecompileScript(reinterpret_cast<const unsigned char*>(compiled.data()),
                                  compiled.size(), source, why);
  if (reason != nullptr) *reason = why;
  return ok ? source : std::string();
}

// Reals too large for a float are stored as infinities; the decompiler must write them back as
// a number that reads as infinity again, not as the largest float.
TEST(FuzzFindings, InfiniteRealsSurviveDecompiling) {
  const std::string huge(96, '9');
  for (const std::string& source :
       {"wait(" + huge + ");\n", "wait(-" + huge + ");\n",
        "rotate(<" + huge + ", -" + huge + ", 340282356779733661637539395458142568448>);\n",
        std::string("wait(340282356779733661637539395458142568448);\n")}) {
    SCOPED_TRACE(source.substr(0, 40));
    const std::string compiled = CompileInMemory(source);
    ASSERT_FALSE(compiled.empty());
    const std::string again = Decompiled(compiled);
    ASSERT_FALSE(again.empty());
    EXPECT_EQ(CompileInMemory(again), compiled) << again;
  }
}

// A compile never stores a tab: the source reader turns every tab into a space. A compiled
// file whose string holds one was not written by a compile, and its decompiled source would
// compile to other bytes; it is refused.
TEST(FuzzFindings, ATabInAStringIsRefused) {
  const std::string compiled = CompileInMemory("hide(\"a\tb\");\nsay(\"c d\", 1, attn_none);\n");
  ASSERT_FALSE(compiled.empty());
  // The tab came through as a space.
  EXPECT_EQ(compiled.substr(HEADER_SIZE + 20, 4), std::string("a b\0", 4));
  ASSERT_FALSE(Decompiled(compiled).empty());

  for (const std::size_t offset : {HEADER_SIZE + 20 + 1, HEADER_SIZE + RECORD_SIZE + 20 + 1}) {
    std::string damaged = compiled;
    damaged[offset] = '\t';
    std::string reason;
    EXPECT_TRUE(Decompiled(damaged, &reason).empty());
    EXPECT_EQ(reason.find('\n'), std::string::npos);
    EXPECT_NE(reason.find(offset < HEADER_SIZE + RECORD_SIZE ? "record 0" : "record 1"),
              std::string::npos)
        << reason;
  }
}

// A NUL typed at the console ends the line's text: the paint blanks what follows it, the
// cursor mark included, the next key goes on after it, and only the text before the NUL is run.
TEST(FuzzFindings, ANulTypedAtTheConsole) {
  MemoryConsole console;
  console.Start();
  for (const char c : std::string("god")) console.view.OnChar(static_cast<unsigned char>(c));
  console.view.OnChar(0);
  console.view.OnChar('x');
  EXPECT_EQ(console.doc->CursorColumn(), 8);
  EXPECT_EQ(console.Line(0), "OK>god");  // the line ends at the NUL; what follows shows blank
  console.view.OnChar('y');
  EXPECT_EQ(console.doc->CursorColumn(), 9);
  const auto output = console.Enter("");
  EXPECT_EQ(output, std::vector<std::string>{"God mode on"});
  EXPECT_EQ(console.doc->LineText(console.doc->CursorLine())[3], CURSOR_MARK);
}

}  // namespace
}  // namespace zelk::test

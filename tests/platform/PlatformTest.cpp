// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/HostPath.h"
#include "platform/Process.h"
#include "support/TempDir.h"

namespace zelk {
namespace {

TEST(Cp1252, ConvertsBothWaysAndMarksWhatItCannotHold) {
  struct Case {
    std::string utf8;
    std::string cp1252;
  };
  const Case cases[] = {
      {"plain", "plain"},
      {"\xC2\xA4", "\xA4"},                  // the cursor mark
      {"caf\xC3\xA9", "caf\xE9"},            // é
      {"\xE2\x82\xAC", "\x80"},              // €
      {"\xE2\x80\x9C" "q" "\xE2\x80\x9D", "\x93q\x94"},
      {"\xE6\x97\xA5", "?"},                 // not in the code page
      {"\xF0\x9F\x98\x80", "?"},             // outside the basic plane
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToCp1252(c.utf8), c.cp1252) << c.utf8;
    if (c.cp1252 != "?") {
      EXPECT_EQ(Cp1252ToUtf8(c.cp1252), c.utf8);
    }
  }
}

TEST(Cp1252, InvalidUtf8BecomesQuestionMarksWithoutReadingPastTheEnd) {
  EXPECT_EQ(Utf8ToCp1252("\xFF" "a"), "?a");
  EXPECT_EQ(Utf8ToCp1252("\xC3"), "?");
  EXPECT_EQ(Utf8ToCp1252("\xE2\x82"), "??");
  EXPECT_EQ(Utf8ToCp1252("\xC0\x80"), "??");  // overlong NUL
  EXPECT_EQ(Utf8ToCp1252("\xED\xA0\x80"), "???");  // a surrogate
}

TEST(Cp1252, EveryByteSurvivesTheRoundTrip) {
  std::string all;
  for (int b = 0; b < 256; ++b) all += static_cast<char>(b);
  EXPECT_EQ(Utf8ToCp1252(Cp1252ToUtf8(all)), all);
}

#ifndef _WIN32
// Windows: WindowsFiles.PathsTakeTheHostsSeparator.
TEST(HostPath, MapsBackslashesAndConvertsToUtf8) {
  EXPECT_EQ(HostPath("/home/me/scripts\\intro.scr"), "/home/me/scripts/intro.scr");
  EXPECT_EQ(HostPath("c:\\caf\xE9\\a.scr"), "c:/caf\xC3\xA9/a.scr");
  EXPECT_EQ(ZelkPathText("/tmp/caf\xC3\xA9"), "/tmp/caf\xE9");
  EXPECT_EQ(JoinHostPath("/a/", "b"), "/a/b");
  EXPECT_EQ(JoinHostPath("/a", "b"), "/a/b");
  EXPECT_EQ(JoinHostPath("", "b"), "b");
}
#endif

// Both hosts' forms of a text, on every host: the conversion is portable.
TEST(HostPath, EachHostsFormOfATextAndTheLongPathForm) {
  struct Case {
    std::string text;
    std::string posix;
    std::string windows;
  };
  const Case cases[] = {
      {"c:\\caf\xE9\\a.scr", "c:/caf\xC3\xA9/a.scr", "c:\\caf\xC3\xA9\\a.scr"},
      {"D:/out/\\", "D:/out//", "D:\\out\\\\"},
      {std::string("/tmp/a\0/b", 9), "/tmp/a", "\\tmp\\a"},  // the text ends at its NUL
  };
  for (const Case& c : cases) {
    EXPECT_EQ(HostPathOf(c.text, PathStyle::Posix), c.posix) << c.text;
    EXPECT_EQ(HostPathOf(c.text, PathStyle::Windows), c.windows) << c.text;
  }

  const std::u16string name(250, u'n');
  struct LongCase {
    std::u16string path;
    std::u16string form;
  };
  const LongCase longCases[] = {
      {u"C:\\" + name, u"\\\\?\\C:\\" + name},
      {u"\\\\server\\share\\" + name, u"\\\\?\\UNC\\server\\share\\" + name},
      {u"C:\\short", u"C:\\short"},
      // Not full: relative, rooted on the current drive, with a "..", already in the long form.
      {u"scenes\\" + name, u"scenes\\" + name},
      {u"\\" + name, u"\\" + name},
      {u"C:\\" + name + u"\\..\\x", u"C:\\" + name + u"\\..\\x"},
      {u"\\\\?\\C:\\" + name, u"\\\\?\\C:\\" + name},
  };
  for (const LongCase& c : longCases) {
    EXPECT_EQ(LongPathForm(c.path), c.form) << c.path.size();
    EXPECT_EQ(WithoutLongPathPrefix(LongPathForm(c.path)), c.path.rfind(u"\\\\?\\", 0) == 0
                                                               ? c.path.substr(4)
                                                               : c.path);
  }
}

TEST(HostPath, Utf16BothWaysWithReplacementCharacters) {
  EXPECT_EQ(Utf8ToUtf16("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"), u"caf\u00E9 \u20AC \U0001F600");
  EXPECT_EQ(Utf16ToUtf8(u"caf\u00E9 \u20AC \U0001F600"), "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToUtf16("a\xFF" "b\xE2\x82"), u"a\uFFFDb\uFFFD\uFFFD");
  EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', char16_t(0xD800), u'b', char16_t(0xDC00)}),
            "a\xEF\xBF\xBD" "b\xEF\xBF\xBD");
}

TEST(HostFileSystem, FindsNamesIgnoringCaseAndPrefersTheExactOne) {
  test::TempDir dir;
  const auto files = MakeHostFileSystem();
  EXPECT_EQ(files->FindIgnoringCase(dir.Path(), "zelk.cfg"), "");
  dir.Write("ZELK.Cfg", "x");
#ifdef _WIN32
  // The file system's own lookup ignores letter case: the name asked for finds the file.
  EXPECT_EQ(files->FindIgnoringCase(dir.Path(), "zelk.cfg"), "zelk.cfg");
#else
  EXPECT_EQ(files->FindIgnoringCase(dir.Path(), "zelk.cfg"), "ZELK.Cfg");
#endif
  dir.Write("zelk.cfg", "y");
  EXPECT_EQ(files->FindIgnoringCase(dir.Path(), "zelk.cfg"), "zelk.cfg");
}

TEST(HostFileSystem, ADirectoryIsNotAFileToRead) {
  test::TempDir dir;
  const auto files = MakeHostFileSystem();
  EXPECT_EQ(files->OpenRead(dir.Path()), nullptr);
  EXPECT_EQ(files->OpenRead(dir.File("missing")), nullptr);
  dir.Write("f", "abc");
  auto file = files->OpenRead(dir.File("f"));
  ASSERT_NE(file, nullptr);
  char buffer[8];
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 3);
  EXPECT_EQ(file->Read(buffer, sizeof buffer), 0);
}

#ifndef _WIN32
// The editor setting: its program, then the parameter text it carries, by the POSIX rules
// (Windows: WindowsPrograms.TheEditorSettingIsCutByTheWindowsRules).
TEST(SplitProgramFromCommand, CutsTheProgramOffByTheHostsRules) {
  struct Case {
    std::string command;
    std::string program;
    std::string parameters;
  };
  const Case cases[] = {
      {"", "", ""},
      {"   ", "", ""},
      {"edit", "edit", ""},
      {"  edit  -n  ", "edit", " -n  "},
      {"\"my editor\" --line 1", "my editor", "--line 1"},
      {"/opt/voil\xE0/edit --title \"d\xE9j\xE0 vu\"", "/opt/voil\xE0/edit", "--title \"d\xE9j\xE0 vu\""},
      {"\"\" edit x", "edit", "x"},
  };
  for (const Case& c : cases) {
    const CommandText text = SplitProgramFromCommand(c.command);
    EXPECT_EQ(text.program, c.program) << c.command;
    EXPECT_EQ(text.parameters, c.parameters) << c.command;
  }
}
#endif

}  // namespace
}  // namespace zelk

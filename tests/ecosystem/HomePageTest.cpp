// SPDX-License-Identifier: MIT
// `home` and Help > Home open the language reference when no home page is configured; the
// program finds it relative to itself, in an installed tree as in the build tree.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "console/ConsoleCommands.h"
#include "support/TempDir.h"
#include "zelk/BuildConfig.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

TEST(FindReferencePage, LooksInShareZelkOneOrTwoLevelsAboveTheProgram) {
  TempDir dir;
  for (const char* folder : {"bin", "libexec/zelk", "src", "share/zelk", "other/deep/bin"}) {
    fs::create_directories(dir.File(folder));
  }
  dir.Write("share/zelk/zelk-reference.html", "<html></html>");
  const std::string reference = dir.File("share/zelk/zelk-reference.html");
  const struct {
    std::string executableDir, found;
  } cases[] = {
      {dir.File("bin"), reference},           // bin/zelk, installed
      {dir.File("libexec/zelk"), reference},  // libexec/zelk/zelk-desktop, installed
      {dir.File("src"), reference},           // src/ of a build tree
      {dir.File("other/deep/bin"), ""},       // no share/zelk/ one or two levels above it
      {dir.File("share/zelk/zelk-reference.html"), ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindReferencePage(c.executableDir), c.found) << c.executableDir;
  }
}

TEST(FileUrl, PercentEncodesThePath) {
  const struct {
    std::string path, url;
  } cases[] = {
      {"/build/share/zelk/ref.html", "file:///build/share/zelk/ref.html"},
      {"", ""},
      {"/home/me/my builds/zelk#2/ref.html", "file:///home/me/my%20builds/zelk%232/ref.html"},
      {"/home/j\xC3\xBCrgen/ref.html", "file:///home/j%C3%BCrgen/ref.html"},
      {"/a/b-c_d.e~f/ref.html", "file:///a/b-c_d.e~f/ref.html"},
  };
  for (const auto& c : cases) EXPECT_EQ(FileUrl(c.path), c.url) << c.path;
}

TEST(HomePageUrl, IsTheConfiguredPageOrElseTheReferenceOfTheBuild) {
  ::setenv("ZELK_HOME_URL", "https://zelk.example.org/", 1);
  EXPECT_STREQ(HomePageUrl(), "https://zelk.example.org/") << "the environment comes first";
  ::setenv("ZELK_HOME_URL", "", 1);
  const std::string unsetEnvironment = HomePageUrl();
  ::unsetenv("ZELK_HOME_URL");
  EXPECT_EQ(HomePageUrl(), unsetEnvironment) << "an empty ZELK_HOME_URL counts as unset";
  if (ZELK_HOME_URL[0] != '\0') {
    EXPECT_STREQ(HomePageUrl(), ZELK_HOME_URL);
    return;
  }
  // This test program stands two levels below the build directory, like zelk-desktop below an
  // installed prefix; the reference it finds is the one that the build writes and installs.
  EXPECT_TRUE(fs::is_regular_file(ZELK_REFERENCE_BUILT_FILE)) << ZELK_REFERENCE_BUILT_FILE;
  EXPECT_EQ(HomePageUrl(),
            FileUrl(fs::path(ZELK_REFERENCE_BUILT_FILE).lexically_normal().string()));
  EXPECT_EQ(fs::path(ZELK_REFERENCE_BUILT_FILE).parent_path(),
            fs::path(ZELK_BUILD_DIR) / REFERENCE_DATA_DIR);
  EXPECT_EQ(fs::path(ZELK_REFERENCE_BUILT_FILE).filename(), REFERENCE_FILE_NAME);
}

}  // namespace
}  // namespace zelk::test

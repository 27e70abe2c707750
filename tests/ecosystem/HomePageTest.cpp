// SPDX-License-Identifier: MIT
// `home` and Help > Home open the language reference when no home page is configured.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "console/ConsoleCommands.h"
#include "support/TempDir.h"
#include "zelk/BuildConfig.h"

namespace zelk::test {
namespace {

TEST(ReferencePageUrl, PrefersTheInstalledFileAndFallsBackToTheBuildTree) {
  TempDir dir;
  dir.Write("installed.html", "<html></html>");
  const struct {
    std::string installed, built, url;
  } cases[] = {
      {dir.File("installed.html"), "/build/docs/ref.html", "file://" + dir.File("installed.html")},
      {dir.File("missing.html"), "/build/docs/ref.html", "file:///build/docs/ref.html"},
      {"", "/build/docs/ref.html", "file:///build/docs/ref.html"},
      {dir.File("missing.html"), "", ""},
      {"", "", ""},
      {"", "/home/me/my builds/zelk#2/ref.html", "file:///home/me/my%20builds/zelk%232/ref.html"},
      {"", "/home/j\xC3\xBCrgen/ref.html", "file:///home/j%C3%BCrgen/ref.html"},
      {"", "/a/b-c_d.e~f/ref.html", "file:///a/b-c_d.e~f/ref.html"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ReferencePageUrl(c.installed, c.built), c.url) << c.installed << " | " << c.built;
  }
}

TEST(HomePageUrl, IsTheConfiguredPageOrElseTheReference) {
  if (ZELK_HOME_URL[0] != '\0') {
    EXPECT_STREQ(HomePageUrl(), ZELK_HOME_URL);
    return;
  }
  EXPECT_EQ(HomePageUrl(), ReferencePageUrl(ZELK_REFERENCE_INSTALLED, ZELK_REFERENCE_BUILT));
  const std::string url = HomePageUrl();
  EXPECT_EQ(url.rfind("file:///", 0), 0u) << url;
}

TEST(HomePageUrl, NamesFilesThatTheBuildWritesAndInstalls) {
  // The fallback must be the file that the build really writes, and the installed place must be
  // the documentation directory that the install puts it in.
  EXPECT_TRUE(std::filesystem::exists(ZELK_REFERENCE_BUILT)) << ZELK_REFERENCE_BUILT;
  EXPECT_EQ(std::string(ZELK_REFERENCE_BUILT), ZELK_REFERENCE_BUILT_FILE);
  EXPECT_EQ(std::filesystem::path(ZELK_REFERENCE_INSTALLED).filename(),
            std::filesystem::path(ZELK_REFERENCE_BUILT).filename());
  EXPECT_EQ(std::filesystem::path(ZELK_REFERENCE_INSTALLED).parent_path().string(),
            ZELK_INSTALL_FULL_DOCDIR);
}

}  // namespace
}  // namespace zelk::test

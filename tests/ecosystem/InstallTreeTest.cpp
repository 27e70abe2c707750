// SPDX-License-Identifier: MIT
// `cmake --install` into a fresh prefix: every file in its place, and the desktop files valid and
// consistent with each other.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "ecosystem/EcosystemSupport.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

// The value of a key of the [Desktop Entry] group.
std::string DesktopValue(const std::string& entry, const std::string& key) {
  for (const std::string& line : SplitLines(entry)) {
    if (line.rfind(key + "=", 0) == 0) return line.substr(key.size() + 1);
  }
  return {};
}

// The values of every attribute `name="..."` in an XML text.
std::vector<std::string> AttributeValues(const std::string& xml, const std::string& element,
                                         const std::string& name) {
  std::vector<std::string> values;
  for (std::size_t at = xml.find("<" + element + " "); at != std::string::npos;
       at = xml.find("<" + element + " ", at + 1)) {
    const std::size_t tagEnd = xml.find('>', at);
    const std::size_t attr = xml.find(name + "=\"", at);
    if (attr == std::string::npos || attr > tagEnd) continue;
    const std::size_t start = attr + name.size() + 2;
    values.push_back(xml.substr(start, xml.find('"', start) - start));
  }
  return values;
}

class InstallTree : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    s_prefix = std::make_unique<TempDir>();
    s_install =
        RunProgram({ZELK_CMAKE_COMMAND, "--install", ZELK_BUILD_DIR, "--prefix", s_prefix->Path()});
  }
  static void TearDownTestSuite() { s_prefix.reset(); }

  void SetUp() override { ASSERT_EQ(s_install.status, 0) << s_install.output; }

  static std::string Installed(const std::string& relative) {
    return s_prefix->Path() + "/" + relative;
  }

  static std::unique_ptr<TempDir> s_prefix;
  static RunResult s_install;
};

std::unique_ptr<TempDir> InstallTree::s_prefix;
RunResult InstallTree::s_install;

TEST_F(InstallTree, PutsEveryFileInItsPlace) {
  const char* kFiles[] = {
      "bin/zelk",
#ifdef ZELK_HAVE_DESKTOP
      "libexec/zelk/zelk-desktop",
#endif
      "share/applications/zelk.desktop",
      "share/icons/hicolor/scalable/apps/zelk.svg",
      "share/mime/packages/zelk.xml",
      "share/man/man1/zelk.1.gz",
      "share/zelk/zelk-reference.html",
      "share/icons/hicolor/48x48/apps/zelk.png",
      "share/doc/zelk/copyright",
      "share/bash-completion/completions/zelk",
      "share/zsh/vendor-completions/_zelk",
      "share/doc/zelk/editors.md",
      "share/vim/vimfiles/syntax/zelkscript.vim",
      "share/vim/vimfiles/ftdetect/zelkscript.vim",
      "share/zelk/zelkscript.tmLanguage.json",
      "share/nvim/site/ftdetect/zelkscript.vim",
      "share/nvim/site/plugin/zelk-lsp.lua",
  };
  for (const char* file : kFiles) {
    EXPECT_TRUE(fs::is_regular_file(Installed(file))) << file;
  }
}

TEST_F(InstallTree, InstalledProgramRuns) {
  const RunResult run = RunProgram({Installed("bin/zelk"), "--version"});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output.rfind("zelk ", 0), 0u) << run.output;
}

TEST_F(InstallTree, InstalledGeneratedFilesAreThoseOfTheBuild) {
  const struct {
    const char* installed;
    const char* built;
  } kPairs[] = {
      {"share/zelk/zelk-reference.html", ZELK_REFERENCE_BUILT_FILE},
      {"share/doc/zelk/zelk-reference.html", ZELK_REFERENCE_BUILT_FILE},  // a link to it
      {"share/vim/vimfiles/syntax/zelkscript.vim", ZELK_VIM_RUNTIME "/syntax/zelkscript.vim"},
      {"share/vim/vimfiles/ftdetect/zelkscript.vim", ZELK_VIM_RUNTIME "/ftdetect/zelkscript.vim"},
      {"share/zelk/zelkscript.tmLanguage.json", ZELK_TEXTMATE_GRAMMAR_FILE},
      {"share/nvim/site/syntax/zelkscript.vim", ZELK_VIM_RUNTIME "/syntax/zelkscript.vim"},
      {"share/nvim/site/ftdetect/zelkscript.vim", ZELK_VIM_RUNTIME "/ftdetect/zelkscript.vim"},
      {"share/org.kde.syntax-highlighting/syntax/zelkscript.xml", ZELK_KATE_SYNTAX_FILE},
      {"share/man/man1/zelk.1.gz", ZELK_BUILD_DIR "/docs/zelk.1.gz"},
      {"share/nvim/site/plugin/zelk-lsp.lua", ZELK_NVIM_SITE "/plugin/zelk-lsp.lua"},
      {"share/emacs/site-lisp/zelk-mode.el", ZELK_EMACS_MODE_FILE},
  };
  for (const auto& pair : kPairs) {
    const std::string built = ReadFile(pair.built);
    EXPECT_FALSE(built.empty()) << pair.built;
    EXPECT_EQ(ReadFile(Installed(pair.installed)), built) << pair.installed;
  }
}

TEST_F(InstallTree, DesktopEntryValidates) {
  const std::string validate = FindProgram("desktop-file-validate");
  if (validate.empty()) GTEST_SKIP() << "desktop-file-validate (desktop-file-utils) is missing";
  const RunResult run = RunProgram({validate, Installed("share/applications/zelk.desktop")});
  EXPECT_EQ(run.status, 0) << run.output;
  EXPECT_EQ(run.output, "") << "hints and warnings count too";
}

TEST_F(InstallTree, DesktopEntryNamesTheInstalledProgramIconAndFileType) {
  const std::string entry = ReadFile(Installed("share/applications/zelk.desktop"));
  ASSERT_EQ(entry.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_EQ(DesktopValue(entry, "Name"), "Zelk");
  EXPECT_EQ(DesktopValue(entry, "Type"), "Application");

  const std::string exec = DesktopValue(entry, "Exec");
  const std::string program = exec.substr(0, exec.find(' '));
  EXPECT_TRUE(fs::is_regular_file(Installed("bin/" + program))) << exec;
  EXPECT_EQ(DesktopValue(entry, "TryExec"), program);
  EXPECT_NE(exec.find("%f"), std::string::npos) << "the entry must pass the file it opens";

  const std::string icon = DesktopValue(entry, "Icon");
  EXPECT_TRUE(fs::is_regular_file(Installed("share/icons/hicolor/scalable/apps/" + icon + ".svg")))
      << icon;

  const std::vector<std::string> types =
      AttributeValues(ReadFile(Installed("share/mime/packages/zelk.xml")), "mime-type", "type");
  ASSERT_FALSE(types.empty());
  for (const std::string& type : types) {
    EXPECT_NE(DesktopValue(entry, "MimeType").find(type + ";"), std::string::npos) << type;
  }
}

TEST_F(InstallTree, MimeDatabaseMapsScrFilesToZelkScript) {
  const std::string update = FindProgram("update-mime-database");
  if (update.empty()) GTEST_SKIP() << "update-mime-database (shared-mime-info) is missing";
  const RunResult run = RunProgram({update, Installed("share/mime")});
  ASSERT_EQ(run.status, 0) << run.output;
  const std::vector<std::string> globs = SplitLines(ReadFile(Installed("share/mime/globs2")));
  bool found = false;
  for (const std::string& line : globs) {
    found = found || line.find(":text/x-zelkscript:*.scr") != std::string::npos;
  }
  EXPECT_TRUE(found) << "no *.scr glob for text/x-zelkscript";
}

TEST_F(InstallTree, IconIsASquareSvg) {
  const std::string svg = ReadFile(Installed("share/icons/hicolor/scalable/apps/zelk.svg"));
  EXPECT_NE(svg.find("<svg xmlns=\"http://www.w3.org/2000/svg\""), std::string::npos);
  EXPECT_NE(svg.find("viewBox=\"0 0 256 256\""), std::string::npos);
  const std::string xmllint = FindProgram("xmllint");
  if (xmllint.empty()) return;
  for (const char* file :
       {"share/icons/hicolor/scalable/apps/zelk.svg", "share/mime/packages/zelk.xml"}) {
    const RunResult run = RunProgram({xmllint, "--noout", Installed(file)});
    EXPECT_EQ(run.status, 0) << file << ": " << run.output;
  }
}

}  // namespace
}  // namespace zelk::test

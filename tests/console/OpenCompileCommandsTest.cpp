// SPDX-License-Identifier: MIT
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "console/MenuCommands.h"
#include "console/OpenCompileCommands.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {
namespace {

const std::string kSource = "label@start;\nwait(1.5);\ngoto(start);\n";
const std::string kSeparator(254, '-');

FileChoice Choice(const std::string& fullPath) {
  FileChoice choice;
  choice.fullPath = fullPath;
  const std::size_t slash = fullPath.find_last_of("\\/");
  choice.fileName = slash == std::string::npos ? fullPath : fullPath.substr(slash + 1);
  const std::size_t dot = choice.fileName.rfind('.');
  choice.fileTitle = choice.fileName.substr(0, dot);
  choice.extension = dot == std::string::npos ? "" : choice.fileName.substr(dot + 1);
  return choice;
}

TEST(SplitFileFilter, GivesTheChoicesUpToTheClosingBars) {
  using Choices = std::vector<FileTypeFilter>;
  const struct {
    std::string filter;
    Choices choices;
  } cases[] = {
      {OPEN_FILTER, {{"Scripts (*.SCR)", "*.scr"}}},
      {COMPILE_FILTER,
       {{"Scripts (*.SCR)", "*.scr"}, {"Binary (*.BIN)", "*.bin"}, {"Config (*.CFG)", "*.cfg"}}},
      {"All|*.*", {{"All", "*.*"}}},             // without the closing bars
      {"All|*.*||Later|*.x||", {{"All", "*.*"}}},  // nothing after the closing bars
      {"Odd|", {{"Odd", ""}}},
      {"No pattern", {}},
      {"", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitFileFilter(c.filter), c.choices) << c.filter;
}

TEST(TakeOverDirectory, KeepsTheDirectoryEndingInABackslash) {
  const struct {
    std::string path;
    std::string loadDir;
  } cases[] = {
      {"c:\\work\\intro.scr", "c:\\work\\"},
      {"/home/me/intro.scr", "/home/me\\"},
      {"/intro.scr", "\\"},
      {"intro.scr", ""},  // no directory: the current one
      {"/home/me\\odd/x.scr", "/home/me\\odd\\"},
      {std::string(254, 'd') + "/x.scr", std::string(254, 'd') + "\\"},  // 255 with the backslash
  };
  for (const auto& c : cases) {
    EnvironmentSettings settings;
    SetText(settings.loadDir, "previous\\");
    EXPECT_TRUE(TakeOverDirectory(settings, c.path)) << c.path;
    EXPECT_EQ(std::string(settings.loadDir), c.loadDir) << c.path;
  }
}

TEST(TakeOverDirectory, RefusesADirectoryWithoutRoomForItsBackslash) {
  EnvironmentSettings settings;
  SetText(settings.loadDir, "previous\\");
  EXPECT_FALSE(TakeOverDirectory(settings, std::string(255, 'd') + "/x.scr"));
  EXPECT_EQ(std::string(settings.loadDir), "previous\\");
}

class OpenCompileTest : public ConsoleFixture {
 protected:
  OpenCompileTest() {
    std::filesystem::create_directories(dir.File("my scripts"));
    std::filesystem::create_directories(dir.File("out"));
    SetText(doc.Settings().loadDir, "/nowhere\\");
    SetText(doc.Settings().saveDir, dir.Path() + "/out\\");
    platform.repaints.clear();
  }
  std::string Scripts() const { return dir.File("my scripts"); }
};

TEST_F(OpenCompileTest, CompileCompilesTheChosenSourceAndTakesOverItsDirectory) {
  dir.Write("my scripts/intro.scr", kSource);
  platform.fileChoices.push_back(Choice(Scripts() + "/intro.scr"));
  OnFileCompile(view);

  ASSERT_EQ(platform.chooseFileCalls.size(), 1u);
  EXPECT_EQ(platform.chooseFileCalls[0].filter,
            "Scripts (*.SCR)|*.scr|Binary (*.BIN)|*.bin|Config (*.CFG)|*.cfg||");
  EXPECT_EQ(platform.chooseFileCalls[0].initialDir, "/nowhere\\");
  EXPECT_EQ(std::string(doc.Settings().loadDir), Scripts() + "\\");
  const std::string source = Scripts() + "\\intro.scr";
  EXPECT_EQ(std::string(doc.SourcePath()), source);
  const std::vector<std::string> output = Lines(0, doc.CursorLine());
  ASSERT_GE(output.size(), 4u);
  EXPECT_EQ(output[0], kSeparator);
  EXPECT_EQ(output[1], " ->Compiling... " + source);
  EXPECT_EQ(output[output.size() - 2], "Compile successful. 2 instructions. 1088 bytes");
  EXPECT_EQ(output.back(), kSeparator);
  EXPECT_EQ(dir.Read("out/intro.dat").size(), 8u + 2 * 544);
  EXPECT_FALSE(view.Compiling());
  EXPECT_EQ(view.FailedCompiles(), 0);
  EXPECT_EQ(doc.DrawMode(), DRAW_NORMAL);
  EXPECT_EQ(platform.repaints, std::vector<bool>{false});
}

TEST_F(OpenCompileTest, AnUpperCaseExtensionCompilesTheChosenFile) {
  dir.Write("my scripts/INTRO.SCR", kSource);
  platform.fileChoices.push_back(Choice(Scripts() + "/INTRO.SCR"));
  OnFileCompile(view);
#ifdef _WIN32
  EXPECT_EQ(std::string(doc.SourcePath()), Scripts() + "\\INTRO.scr");
#else
  EXPECT_EQ(std::string(doc.SourcePath()), Scripts() + "\\INTRO.SCR");
#endif
  EXPECT_EQ(dir.Read("out/INTRO.dat").size(), 8u + 2 * 544);
  EXPECT_EQ(view.FailedCompiles(), 0);
}

TEST_F(OpenCompileTest, AMissingSourceIsReportedAndCounted) {
  platform.fileChoices.push_back(Choice(Scripts() + "/gone.scr"));
  OnFileCompile(view);
  EXPECT_EQ(Line(2), "File " + Scripts() + "\\gone.scr not found.");
  EXPECT_EQ(view.FailedCompiles(), 1);
  EXPECT_FALSE(view.Compiling());
}

TEST_F(OpenCompileTest, AConfigurationFileIsOnlyNamed) {
  dir.Write("my scripts/zelk.cfg", std::string(1828, '\0'));
  const std::string path = Scripts() + "/zelk.cfg";
  platform.fileChoices.push_back(Choice(path));
  OnFileCompile(view);
  EXPECT_EQ(Lines(0, doc.CursorLine()),
            (std::vector<std::string>{kSeparator, " ->Opening... " + path}));
  EXPECT_EQ(std::string(doc.SourcePath()), path);
  EXPECT_EQ(std::string(doc.Settings().loadDir), "/nowhere\\");
  EXPECT_EQ(platform.repaints, std::vector<bool>{false});
}

TEST_F(OpenCompileTest, OtherChoicesDoNothingButRedraw) {
  dir.Write("my scripts/intro.Scr", kSource);
  const std::string choices[] = {Scripts() + "/intro.bin", Scripts() + "/intro.Scr",
                                 Scripts() + "/zelk.Cfg", Scripts() + "/noextension"};
  for (const std::string& path : choices) {
    platform.repaints.clear();
    platform.fileChoices.push_back(Choice(path));
    OnFileCompile(view);
    EXPECT_EQ(doc.CursorLine(), 0) << path;
    EXPECT_EQ(std::string(doc.Settings().loadDir), "/nowhere\\") << path;
    EXPECT_EQ(platform.repaints, std::vector<bool>{false}) << path;
  }
  // A cancelled dialog too.
  platform.repaints.clear();
  OnFileCompile(view);
  OnFileOpen(view);
  EXPECT_EQ(doc.CursorLine(), 0);
  EXPECT_EQ(platform.repaints, (std::vector<bool>{false, false}));
  EXPECT_TRUE(platform.programs.empty());
}

TEST_F(OpenCompileTest, ADirectoryTooLongForTheSettingIsRefused) {
  const std::string path = "/" + std::string(260, 'd') + "/intro.scr";
  platform.fileChoices.push_back(Choice(path));
  OnFileCompile(view);
  EXPECT_EQ(std::string(doc.Settings().loadDir), "/nowhere\\");
  EXPECT_EQ(Line(0).rfind("Cannot use the folder (its path is longer than 255 characters): /ddd", 0),
            0u)
      << Line(0);
  EXPECT_EQ(doc.CursorLine(), 1);
  EXPECT_EQ(view.FailedCompiles(), 1);
}

TEST_F(OpenCompileTest, OpenStartsTheEditorWithThePathAsOneArgument) {
  dir.Write("my scripts/intro game.scr", kSource);
  SetText(doc.Settings().editorCommand, "\"my editor\" --line 1");
  platform.fileChoices.push_back(Choice(Scripts() + "/intro game.scr"));
  OnFileOpen(view);

  ASSERT_EQ(platform.chooseFileCalls.size(), 1u);
  EXPECT_EQ(platform.chooseFileCalls[0].filter, "Scripts (*.SCR)|*.scr||");
  EXPECT_EQ(std::string(doc.Settings().loadDir), Scripts() + "\\");
  EXPECT_EQ(std::string(doc.SourcePath()), Scripts() + "\\intro game.scr");
  ASSERT_EQ(platform.programs.size(), 1u);
  EXPECT_EQ(platform.programs[0],
            (ProgramStart{"my editor", "--line 1", {HostPath(Scripts() + "/intro game.scr")},
                          HostPath(Scripts() + "/")}));
  EXPECT_EQ(doc.CursorLine(), 0);  // nothing printed
  EXPECT_FALSE(dir.Exists("out/intro game.dat"));
  EXPECT_EQ(platform.repaints, std::vector<bool>{false});
}

TEST_F(OpenCompileTest, OpenWithoutAnEditorTakesOverTheDirectoryAndSaysSo) {
  platform.fileChoices.push_back(Choice(Scripts() + "/intro.scr"));
  OnFileOpen(view);
  EXPECT_TRUE(platform.programs.empty());
  EXPECT_EQ(std::string(doc.Settings().loadDir), Scripts() + "\\");
  EXPECT_EQ(Line(0), "Cannot start the .SCR editor: none is set (sv_editor).");
}

TEST_F(OpenCompileTest, AnEditorUnderANonAsciiFolderStartsWholeOrSaysWhyNot) {
  // "voilà" in the settings' code page; the editor carries an argument of its own.
  SetText(doc.Settings().editorCommand, "/opt/voil\xE0/edit --title \"d\xE9j\xE0 vu\"");
  platform.startResult = StartResult::Failed("No such file or directory");
  platform.fileChoices.push_back(Choice(Scripts() + "/intro.scr"));
  OnFileOpen(view);
  ASSERT_EQ(platform.programs.size(), 1u);
  EXPECT_EQ(platform.programs[0].program, "/opt/voil\xC3\xA0/edit");
  EXPECT_EQ(platform.programs[0].parameters, "--title \"d\xE9j\xE0 vu\"");
  EXPECT_EQ(platform.programs[0].arguments,
            std::vector<std::string>{HostPath(Scripts() + "/intro.scr")});
  EXPECT_EQ(Line(0), "Cannot start the program (No such file or directory): /opt/voil\xE0/edit");
}

TEST_F(OpenCompileTest, OpenEditsAnUpperCaseSourceUnderItsOwnName) {
  dir.Write("my scripts/INTRO.SCR", kSource);
  SetText(doc.Settings().editorCommand, "edit");
  platform.fileChoices.push_back(Choice(Scripts() + "/INTRO.SCR"));
  OnFileOpen(view);
  ASSERT_EQ(platform.programs.size(), 1u);
  #ifdef _WIN32
  // Names do not distinguish letter case there: the built name is the chosen file.
  EXPECT_EQ(platform.programs[0].arguments, std::vector<std::string>{HostPath(Scripts() + "/INTRO.scr")});
#else
  EXPECT_EQ(platform.programs[0].arguments, std::vector<std::string>{Scripts() + "/INTRO.SCR"});
#endif
}

TEST_F(OpenCompileTest, CompileAndLaunchCompilesTheSourceCompiledOrOpenedLastAndLaunchesOnSuccess) {
  dir.Write("my scripts/intro.scr", kSource);
  dir.Write("my scripts/broken.scr", "wait(1);\nnonsense;\n");
  dir.Write("my scripts/other.scr", kSource);
  SetText(doc.Settings().quake2Dir, "/games/q2\\");
  const struct {
    const char* what;
    std::function<void()> before;
    std::deque<FileChoice> dialog;  // what the Compile dialog of Compile and Launch chooses
    const char* compiled;           // the source it compiles; nullptr for none
    bool launched;
  } steps[] = {
      {"no source yet, the dialog cancelled", [] {}, {{}}, nullptr, false},
      {"no source yet, the dialog chooses one", [] {}, {Choice(Scripts() + "/intro.scr")},
       "intro.scr", true},
      {"the same source again, without the dialog", [] {}, {}, "intro.scr", true},
      {"compile typed: its source, which fails, so no launch", [&] { Enter("compile broken"); },
       {}, "broken.scr", false},
      {"File > Compile of a configuration file changes nothing",
       [&] {
         platform.fileChoices.push_back(Choice(Scripts() + "/zelk.cfg"));
         OnFileCompile(view);
       },
       {}, "broken.scr", false},
      {"File > Open",
       [&] {
         platform.fileChoices.push_back(Choice(Scripts() + "/other.scr"));
         OnFileOpen(view);
       },
       {}, "other.scr", true},
  };
  for (const auto& step : steps) {
    step.before();
    doc.ClearScreen();
    platform.programs.clear();
    platform.chooseFileCalls.clear();
    platform.fileChoices = step.dialog;
    EXPECT_TRUE(RunMenuCommand(view, ID_ACTION_COMPILE_LAUNCH));
    EXPECT_EQ(platform.chooseFileCalls.size(), step.dialog.size()) << step.what;
    const std::vector<std::string> output = Lines(0, doc.CursorLine());
    if (step.compiled == nullptr) {
      EXPECT_TRUE(output.empty()) << step.what;
    } else {
      ASSERT_GE(output.size(), 2u) << step.what;
      EXPECT_EQ(output[1], " ->Compiling... " + Scripts() + "\\" + step.compiled) << step.what;
    }
    // The quake2 command runs after the compile: its echo is the last line.
    const bool echoed = !output.empty() && output.back().rfind(" -> /games/q2\\quake2.exe", 0) == 0;
    EXPECT_EQ(echoed, step.launched) << step.what;
    EXPECT_EQ(platform.programs.size(), step.launched ? 1u : 0u) << step.what;
  }
  EXPECT_EQ(FindMenuCommand(ID_ACTION_COMPILE_LAUNCH)->accelerator, (KeyChord{Key::F5, MOD_NONE}));
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
// End-to-end tests: the zelk binary in batch mode, run in a temporary directory.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "support/TempDir.h"

namespace zelk::test {
namespace {

struct RunResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

// Runs zelk with the arguments in dir, with input as its standard input.
// environment: variable settings for env(1), e.g. "-u DISPLAY LD_DEBUG=libs".
// stdoutTo: where standard output goes (read back as out when it is the default).
RunResult Zelk(const TempDir& dir, const std::vector<std::string>& args,
               const std::string& input = "", const std::string& environment = "",
               const std::string& stdoutTo = ".stdout") {
  dir.Write(".stdin", input);
  dir.Write(".stdout", "");
  std::string command =
      "cd " + Quote(dir.Path()) + " && env " + environment + " " + Quote(ZELK_BINARY);
  for (const std::string& arg : args) command += " " + Quote(arg);
  command += " < .stdin > " + Quote(stdoutTo) + " 2> .stderr";
  const int raw = std::system(command.c_str());
  RunResult run;
  run.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  run.out = dir.Read(".stdout");
  run.err = dir.Read(".stderr");
  return run;
}

const std::string kRule(254, '-');

TEST(BatchMode, TypedLinesAndTheirAnswersMakeTheTranscript) {
  TempDir dir;
  const RunResult run = Zelk(dir, {"-c", "Version", "-c", "clear", "-c", "goto(x)", "-c", ""});
  EXPECT_EQ(run.status, 1);  // goto(x) is refused
  EXPECT_EQ(run.out,
            "OK>version\n"
            "Zelk Script Compiler Version 1.01\n"
            "Copyright (C) 1998 The Zelk Team\n"
            "Written by the Zelk Team\n"
            "OK>clear\n"
            "OK>goto(x)\n"
            "No EOL in current statement. Use semicolon.\n"
            "OK>\n");
}

// A line the console refuses stops a build: exit status 1 and one line on standard error that
// names the line as compilers name places. The transcript stays as the console shows it, and
// the run goes on with the next line.
TEST(BatchMode, ARefusedLineFailsTheRunAndSaysWhere) {
  const std::string longSay = "say(\"" + std::string(300, 'a') + "\", 1, attn_norm);";
  const struct {
    std::vector<std::string> args;
    std::string input;
    std::string err;
  } cases[] = {
      {{"-c", "sv_save_dir = \"out2\"", "-c", "compile guard"},
       "",
       "<command line>:1: error: No EOL in current statement. Use semicolon.\n"},
      {{"-c", "version", "-c", "Bogus"},
       "",
       "<command line>:2: error: Bad instruction or system data.\n"},
      {{"-c", "goto start;"},
       "",
       "<command line>:1: error: wrong punctuation or arguments; usage: goto(string x);\n"},
      {{"-c", longSay},
       "",
       "<command line>:1: error: line longer than 251 characters: cut\n"
       "<command line>:1: error: wrong punctuation or arguments; usage: "
       "say(string wavefile, float volume, string attenuation);\n"},
      {{"--batch", "commands.txt"},
       "",
       "commands.txt:2: error: No EOL in current statement. Use semicolon.\n"},
      {{"--batch"}, "\n\nfoo\n", "<stdin>:3: error: Bad instruction or system data.\n"},
      // A label or a statement typed at the console does nothing, and is no error.
      {{"-c", "label@x;", "-c", "wait(1);", "-c", "god " + std::string(300, ' ')}, "", ""},
  };
  for (const auto& c : cases) {
    TempDir dir;
    dir.Write("guard.scr", "wait(1);\n");
    dir.Write("commands.txt", "version\ngoto(x)\n");
    const RunResult run = Zelk(dir, c.args, c.input);
    EXPECT_EQ(run.err, c.err) << c.args.back();
    EXPECT_EQ(run.status, c.err.empty() ? 0 : 1) << c.args.back();
  }
  // The compile after the refused setting wrote into the save directory it had.
  TempDir dir;
  dir.Write("guard.scr", "wait(1);\n");
  Zelk(dir, cases[0].args);
  EXPECT_TRUE(dir.Exists("guard.dat"));
}

TEST(BatchMode, CompilesTheBundledExampleAndSavesTheOptions) {
  TempDir dir;
  const RunResult run = Zelk(dir, {"-c", "sv_load_dir = \"" ZELK_EXAMPLES_DIR "\";", "-c",
                                   "sv_save_dir = \"" + dir.Path() + "\";", "-c", "compile intro"});
  EXPECT_EQ(run.status, 0) << run.out << run.err;
  EXPECT_NE(run.out.find("Compile successful."), std::string::npos) << run.out;
  EXPECT_TRUE(dir.Exists("intro.dat"));
  EXPECT_EQ(dir.Read("zelk.cfg").size(), 1828u);
  // The next run in the same directory starts with the saved directories.
  const RunResult again = Zelk(dir, {"-c", "status"});
  EXPECT_NE(again.out.find(" -> Save Dir: " + dir.Path() + "\\\n"), std::string::npos);
}

// The options file is written at the end of a batch run only when a setting changed or the file
// was already there: a run that only compiles or shows leaves the directory as it was.
TEST(BatchMode, WritesTheOptionsFileOnlyWhenASettingChangedOrItWasThere) {
  const struct {
    std::vector<std::string> lines;
    bool written;
  } cases[] = {
      {{"version", "status", "cmdlist"}, false},
      {{"sv_color 3"}, false},  // the text colour is not kept in the file
      {{"god", "god"}, false},  // on and off again: the same settings as at the start
      {{"god"}, true},
      {{"map base2"}, true},
  };
  for (const auto& c : cases) {
    TempDir dir;
    std::vector<std::string> args;
    for (const std::string& line : c.lines) args.insert(args.end(), {"-c", line});
    const RunResult run = Zelk(dir, args);
    EXPECT_EQ(run.status, 0) << c.lines[0] << run.err;
    EXPECT_EQ(dir.Exists("zelk.cfg"), c.written) << c.lines[0];
  }
  // An existing file is written back whole, as the window does, even when nothing changed.
  TempDir dir;
  dir.Write("Zelk.CFG", std::string(100, '\0'));
  EXPECT_EQ(Zelk(dir, {"-c", "status"}).status, 0);
  EXPECT_EQ(dir.Read("Zelk.CFG").size(), 1828u);
  EXPECT_FALSE(dir.Exists("zelk.cfg"));
}

// The files of a directory other than those the test harness writes.
std::vector<std::string> Entries(const TempDir& dir) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
    const std::string name = entry.path().filename().string();
    if (name[0] != '.') names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

// A build runs Zelk once a scene with the same settings: after the first run, the options file
// already holds them, and no run writes it again.
TEST(BatchMode, ARunThatChangesNoByteOfTheOptionsFileLeavesItUntouched) {
  TempDir dir;
  const std::vector<std::string> recipe = {"-c", "sv_load_dir = \"scenes\";", "-c",
                                           "sv_save_dir = \"out\";", "-c", "status"};
  ASSERT_EQ(Zelk(dir, recipe).status, 0);
  const std::string saved = dir.Read("zelk.cfg");
  const auto old = std::filesystem::file_time_type::clock::now() - std::chrono::hours(24);
  std::filesystem::last_write_time(dir.File("zelk.cfg"), old);
  const RunResult again = Zelk(dir, recipe);
  EXPECT_EQ(again.status, 0);
  EXPECT_EQ(again.err, "");
  EXPECT_EQ(dir.Read("zelk.cfg"), saved);
  EXPECT_EQ(std::filesystem::last_write_time(dir.File("zelk.cfg")), old);
  EXPECT_EQ(Entries(dir), std::vector<std::string>{"zelk.cfg"});
}

// Runs that change settings at the same time (make -j) each write a temporary file of their own:
// none reports a failure, and the file is always one whole image that one of them wrote.
TEST(BatchMode, ParallelRunsThatChangeSettingsNeverLoseTheOptionsFile) {
  TempDir dir;
  for (int round = 0; round < 4; ++round) {
    std::string command = "cd " + Quote(dir.Path()) + " && for n in 1 2 3 4 5 6 7 8; do " +
                          Quote(ZELK_BINARY) + " -c \"map m" + std::to_string(round) +
                          "$n\" -c god </dev/null >/dev/null 2>.err$n & done; wait";
    ASSERT_EQ(std::system(command.c_str()), 0);
    for (int n = 1; n <= 8; ++n) {
      EXPECT_EQ(dir.Read(".err" + std::to_string(n)), "") << "round " << round << ", run " << n;
    }
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"zelk.cfg"}) << "round " << round;
    const RunResult status = Zelk(dir, {"-c", "status"});
    const std::size_t map = status.out.find(" -> Quake Map: m" + std::to_string(round));
    EXPECT_NE(map, std::string::npos) << status.out;
    EXPECT_EQ(dir.Read("zelk.cfg").size(), 1828u);
  }
}

TEST(BatchMode, AFailedCompileExitsWithOneAndTheNoticeGoesToStandardError) {
  TempDir dir;
  dir.Write("bad.scr", "wait(1);\nfly(away);\n");
  const std::string dirSetting = "\"" + dir.Path() + "\";";
  const RunResult run = Zelk(dir, {"--batch"},
                             "sv_load_dir = " + dirSetting + "\nsv_save_dir = " + dirSetting +
                                 "\ncompile bad\r\nversion\n");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("OK>compile bad\n" + kRule +
                         "\nBad instruction or system data: "
                         "fly(away);\nError encountered at line 2\n" +
                         kRule + "\nOK>version\n"),
            std::string::npos)
      << run.out;
  EXPECT_EQ(run.err.rfind(dir.Path() + "/bad.scr:2: error: Bad instruction or system data: "
                                       "fly(away);\nCompile was unsuccessfull.",
                          0),
            0u)
      << run.err;
}

TEST(BatchMode, DiagnosticsNameTheSourceLineAndMessage) {
  struct Case {
    std::string source;
    std::string diagnostic;
  };
  const Case cases[] = {
      {"\n\nwait(1)\n", "d.scr:3: error: No EOL in current statement. Use semicolon."},
      {"wait 1;\n", "d.scr:1: error: wrong punctuation or arguments; usage: wait(float x);"},
      {"goto(x);\n", "d.scr:1: error: goto: Label x not found!"},
      {"say(\"a\", 1, loud);\n",
       "d.scr:1: error: unknown attenuation word: use attn_none, attn_norm, attn_idle or "
       "attn_static"},
      {"compile d\n",
       "d.scr:1: error: compile cannot be used inside a script that is being compiled."},
  };
  for (const Case& c : cases) {
    TempDir dir;
    dir.Write("d.scr", c.source);
    const RunResult run = Zelk(dir, {"-c", "compile d"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err.substr(0, run.err.find('\n')), c.diagnostic);
    // The transcript on standard output is the console's alone.
    EXPECT_EQ(run.out.find("error:"), std::string::npos);
  }
}

TEST(BatchMode, AMissingSourceIsAFailedCompileToo) {
  TempDir dir;
  const RunResult run = Zelk(dir, {"-c", "compile nothing"});
  dir.Write("here.scr", "");
  const RunResult output = Zelk(dir, {"-c", "sv_save_dir = \"gone\";", "-c", "compile here"});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("File nothing.scr not found."), std::string::npos);
  // Every failed compile says so on standard error, naming the file it is about.
  EXPECT_EQ(run.err, "nothing.scr: error: File nothing.scr not found.\n");
  EXPECT_EQ(output.status, 1);
  EXPECT_EQ(output.err, "gone/here.dat: error: Cannot open file gone\\here.dat.\n");
}

TEST(BatchMode, ReadsLinesFromAFileOrStandardInputAndStopsAtExit) {
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--batch", "lines.txt"}, std::vector<std::string>{"--batch"},
        std::vector<std::string>{"--batch", "-"}}) {
    TempDir dir;  // each run starts without an options file
    dir.Write("lines.txt", "god\r\nexit\ngod\n");
    const RunResult run = Zelk(dir, args, dir.Read("lines.txt"));
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out, "OK>god\nGod mode on\nOK>exit\n") << args.size();
  }
}

TEST(BatchMode, TextIsConvertedBetweenUtf8AndTheConsolesCodePage) {
  TempDir dir;
  const RunResult run = Zelk(dir, {"-c", "sv_params = \"caf\xC3\xA9 \xE6\x97\xA5\";"});
  EXPECT_EQ(run.out, "OK>sv_params = \"caf\xC3\xA9 ?\";\nParameters are caf\xC3\xA9 ?\n");
}

TEST(BatchMode, LinesSetsThePageOfCmdlist) {
  TempDir dir;
  const RunResult run = Zelk(dir, {"--lines", "21", "-c", "cmdlist"});
  // A console of 21 lines pages by 20 lines: entries 0 to 3 and the separator of entry 4.
  EXPECT_EQ(run.out.substr(0, 11), "OK>cmdlist\n");
  int lines = 0;
  for (const char c : run.out) lines += c == '\n';
  EXPECT_EQ(lines, 21);
  EXPECT_NE(run.out.find("-> COMMAND 3:"), std::string::npos);
  EXPECT_EQ(run.out.find("-> COMMAND 4:"), std::string::npos);
}

TEST(BatchMode, EnvNeedsTheDesktop) {
  TempDir dir;
  const RunResult run = Zelk(dir, {"-c", "env"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "OK>env\nThe Environment dialog needs the desktop window.\n");
}

TEST(BatchMode, UsageErrorsExitWithTwo) {
  TempDir dir;
  for (const std::vector<std::string>& args :
       {std::vector<std::string>{"--nonsense"}, std::vector<std::string>{"--batch", "missing.txt"},
        std::vector<std::string>{"--lines", "60", "-c", "x"}}) {
    const RunResult run = Zelk(dir, args);
    EXPECT_EQ(run.status, 2) << args[0];
    EXPECT_EQ(run.out, "");
    EXPECT_FALSE(run.err.empty());
  }
  EXPECT_FALSE(dir.Exists("zelk.cfg"));
}

TEST(BatchMode, HelpAndVersion) {
  TempDir dir;
  const RunResult help = Zelk(dir, {"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* option : {"-c LINE", "--batch", "--lines N", "--decompile", "--version"}) {
    EXPECT_NE(help.out.find(option), std::string::npos) << option;
  }
  EXPECT_EQ(Zelk(dir, {"--version"}).out, "zelk " ZELK_VERSION
                                          "\nCopyright (C) 1998, 2026 The Zelk Team\n"
                                          "License: MIT <https://opensource.org/licenses/MIT>\n");
}

TEST(BatchMode, BadBytesInTheInputNeverCrash) {
  TempDir dir;
  std::string input;
  for (int b = 1; b < 256; ++b) {
    if (b != '\n') input += static_cast<char>(b);
  }
  input +=
      "\n" + std::string(5000, '"') + "\n\x08\x08\x08\tversion\n" + std::string(300, 'A') + "\n";
  const RunResult run = Zelk(dir, {"--batch"}, input);
  EXPECT_EQ(run.status, 1);  // the lines of bad bytes are refused
  EXPECT_EQ(run.err.rfind("<stdin>:1: error: ", 0), 0u) << run.err;
  EXPECT_NE(run.out.find("Zelk Script Compiler Version 1.01"), std::string::npos);
}

TEST(BatchMode, EveryExampleCompilesAndDecompilesToTheSameBytes) {
  for (const char* name : {"intro", "ambush", "finale"}) {
    TempDir dir;
    const RunResult run = Zelk(dir, {"-c", "sv_load_dir = \"" ZELK_EXAMPLES_DIR "\";", "-c",
                                     "sv_save_dir = \".\";", "-c", std::string("compile ") + name});
    ASSERT_EQ(run.status, 0) << name << run.out;
    const std::string compiled = dir.Read(std::string(name) + ".dat");
    const RunResult decompiled = Zelk(dir, {"--decompile", std::string(name) + ".dat"});
    ASSERT_EQ(decompiled.status, 0) << decompiled.err;
    dir.Write("again.scr", decompiled.out);
    std::remove(dir.File(std::string(name) + ".dat").c_str());
    ASSERT_EQ(Zelk(dir, {"-c", "sv_load_dir = \".\";", "-c", "compile again"}).status, 0);
    EXPECT_EQ(dir.Read("again.dat"), compiled) << name;
  }
}

TEST(BatchMode, DecompilesACompiledScript) {
  TempDir dir;
  dir.Write("a.scr", "label@top;\nwait(0.5);\ngoto(top);\n");
  ASSERT_EQ(Zelk(dir, {"-c", "compile a"}).status, 0);
  const RunResult run = Zelk(dir, {"--decompile", "a.dat"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, "label@l0;\nwait(0.5);\ngoto(l0);\n");
  dir.Write("broken.dat", "12345");
  const RunResult broken = Zelk(dir, {"--decompile", "broken.dat"});
  EXPECT_EQ(broken.status, 1);
  EXPECT_NE(broken.err.find("shorter than the 8-byte header"), std::string::npos);
  EXPECT_EQ(broken.out, "");
}

// Output that cannot be written (a full disk) is a failure that says why, never a silent success.
TEST(BatchMode, OutputThatCannotBeWrittenIsAFailure) {
  if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
  TempDir dir;
  dir.Write("a.scr", "stand;\n");
  ASSERT_EQ(Zelk(dir, {"-c", "compile a"}).status, 0);
  const std::vector<std::string> runs[] = {
      {"--decompile", "a.dat"}, {"--version"}, {"--help"}, {"-c", "version"}, {"-c", "compile a"}};
  for (const auto& args : runs) {
    const RunResult run = Zelk(dir, args, "", "", "/dev/full");
    EXPECT_EQ(run.status, 1) << args[0];
    EXPECT_EQ(run.err, "zelk: cannot write to standard output: No space left on device\n")
        << args[0];
  }
  // A run that failed already keeps its own status.
  EXPECT_EQ(Zelk(dir, {"-c", "compile missing"}, "", "", "/dev/full").status, 1);
  EXPECT_EQ(Zelk(dir, {"--batch", "missing.txt"}, "", "", "/dev/full").status, 2);
}

// A copy of the program without the language reference beside it, and no address set, says
// what is missing when asked for the home page.
TEST(BatchMode, HomeWithoutAnAddressOrTheReferenceSaysWhatIsMissing) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("bin"));
  std::filesystem::copy_file(ZELK_BINARY, dir.File("bin/zelk"));
  const std::string command =
      "cd " + Quote(dir.Path()) + " && env -u ZELK_HOME_URL bin/zelk -c home > .stdout 2> .stderr";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_NE(dir.Read(".stdout").find("Cannot open the home page: ZELK_HOME_URL is not set and "
                                     "the language reference (share/zelk/zelk-reference.html) "
                                     "is not installed"),
            std::string::npos)
      << dir.Read(".stdout");
}

// Files that cannot be read are named with the reason, and a directory is no file to read.
TEST(BatchMode, UnreadableInputsSayWhy) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("folder"));
  const struct {
    std::vector<std::string> args;
    int status;
    std::string err;
  } cases[] = {
      {{"--decompile", "folder"}, 1, "zelk: folder: Is a directory\n"},
      {{"--decompile", "missing.dat"}, 1, "zelk: missing.dat: No such file or directory\n"},
      {{"--batch", "folder"}, 2, "zelk: folder: Is a directory\n"},
      {{"--batch", "missing.txt"}, 2, "zelk: missing.txt: No such file or directory\n"},
  };
  for (const auto& c : cases) {
    const RunResult run = Zelk(dir, c.args);
    EXPECT_EQ(run.status, c.status) << c.args[1];
    EXPECT_EQ(run.err, c.err);
    EXPECT_EQ(run.out, "");
  }
}

// The game starts from a Quake2 directory given relative to the start-up directory; a game that
// cannot start says why below the echo; the exit status stays 0.
TEST(BatchMode, Quake2StartsFromARelativeDirectoryOrSaysWhyNot) {
  TempDir dir;
  std::filesystem::create_directory(dir.File("q2"));
  dir.Write("q2/quake2", "#!/bin/sh\necho \"$@\" > started\n");
  std::filesystem::permissions(dir.File("q2/quake2"), std::filesystem::perms::owner_all);
  const RunResult run = Zelk(dir, {"-c", "sv_quake2_dir = \"q2\";", "-c", "map base1", "-c",
                                   "quake2", "-c", "sv_quake2_dir = \"gone\";", "-c", "quake2"});
  EXPECT_EQ(run.status, 0);
  EXPECT_NE(run.out.find("OK>quake2\n -> q2\\quake2.exe  +map base1\nOK>sv_quake2_dir"),
            std::string::npos)
      << run.out;
  EXPECT_NE(run.out.find(" -> gone\\quake2.exe  +map base1\n"
                         "Cannot start the program (No such file or directory): gone/quake2.exe\n"),
            std::string::npos)
      << run.out;
  for (int i = 0; i < 200 && dir.Read("q2/started").empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_EQ(dir.Read("q2/started"), "+map base1\n");
}

TEST(BatchMode, AnOptionsFileThatCannotBeSavedAtTheEndIsReported) {
  TempDir dir;
  dir.Write("zelk.cfg", std::string(1828, '\0'));
  std::filesystem::permissions(dir.File("zelk.cfg"), std::filesystem::perms::owner_read);
  const RunResult run = Zelk(dir, {"-c", "god"});
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.err, "zelk: cannot save the options file " + dir.File("zelk.cfg") +
                         "; the settings changed in this run are lost\n");
}

// Ctrl+C, a closed terminal or the end of the session: the run ends after the line being carried
// out, saves the options file as at its normal end, and then ends by the signal.
TEST(BatchMode, AStopSignalEndsTheRunTheNormalWay) {
  for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(signal);
    TempDir dir;
    int input[2];
    ASSERT_EQ(::pipe(input), 0);
    const pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
      ::dup2(input[0], 0);
      ::close(input[1]);
      if (::chdir(dir.Path().c_str()) != 0) ::_exit(126);
      if (::freopen(".stdout", "w", stdout) == nullptr) ::_exit(126);
      ::execl(ZELK_BINARY, ZELK_BINARY, "--batch", static_cast<char*>(nullptr));
      ::_exit(127);
    }
    ::close(input[0]);
    // The input stays open: the run waits for more when the signal comes.
    ASSERT_EQ(::write(input[1], "god\n", 4), 4);
    for (int i = 0; i < 2000 && dir.Read(".stdout").find("God mode on") == std::string::npos; ++i) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::kill(pid, signal);
    int status = 0;
    ::waitpid(pid, &status, 0);
    ::close(input[1]);
    EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
    EXPECT_EQ(dir.Read(".stdout"), "OK>god\nGod mode on\n");
    const std::string options = dir.Read("zelk.cfg");
    ASSERT_EQ(options.size(), 1828u);
    EXPECT_EQ(options[1032], 1);  // god mode, saved
  }
}

// zelk runs everything but the window with the core libraries alone: Qt is never even loaded.
TEST(BatchMode, RunsWithoutQt) {
  TempDir dir;
  dir.Write("a.scr", "wait(1);\n");
  ASSERT_EQ(Zelk(dir, {"-c", "compile a"}).status, 0);
  const std::vector<std::vector<std::string>> runs = {
      {"-c", "version"}, {"--batch"}, {"--decompile", "a.dat"}, {"--help"}, {"--version"}};
  for (const auto& args : runs) {
    const RunResult run = Zelk(dir, args, "status\n", "LD_DEBUG=libs");
    EXPECT_EQ(run.status, 0) << args[0];
    EXPECT_NE(run.err.find("libstdc++"), std::string::npos) << "LD_DEBUG did not report";
    EXPECT_EQ(run.err.find("libQt6"), std::string::npos) << args[0];
  }
}

#ifdef ZELK_HAVE_DESKTOP
// Without options zelk becomes the desktop program (the same process), which opens the window,
// and saves the options file when it is asked to end.
TEST(BatchMode, WithoutOptionsTheDesktopProgramTakesOver) {
  TempDir dir;
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (::chdir(dir.Path().c_str()) != 0) ::_exit(126);
    ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    ::setenv("HOME", dir.Path().c_str(), 1);
    ::setenv("XDG_RUNTIME_DIR", dir.Path().c_str(), 1);
    if (::freopen("/dev/null", "w", stderr) == nullptr) ::_exit(126);
    ::execl(ZELK_BINARY, ZELK_BINARY, static_cast<char*>(nullptr));
    ::_exit(127);
  }
  const std::string exe = "/proc/" + std::to_string(pid) + "/exe";
  std::string running;
  for (int i = 0; i < 1000 && running.find("zelk-desktop") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::error_code ignored;
    running = std::filesystem::read_symlink(exe, ignored).string();
  }
  EXPECT_NE(running.find("zelk-desktop"), std::string::npos) << running;
  std::this_thread::sleep_for(std::chrono::milliseconds(300));  // the window is up
  ::kill(pid, SIGTERM);
  int status = 0;
  ::waitpid(pid, &status, 0);
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGTERM) << status;
  EXPECT_EQ(dir.Read("zelk.cfg").size(), 1828u);
}

TEST(BatchMode, WithoutADisplayTheWindowSaysWhatToDoInstead) {
  TempDir dir;
  const RunResult run = Zelk(dir, {}, "", "-u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM");
  EXPECT_EQ(run.status, 2);
  EXPECT_EQ(run.err,
            "zelk: the desktop console needs a display (neither DISPLAY nor WAYLAND_DISPLAY is "
            "set); use -c or --batch to run the console without a window\n");
  EXPECT_FALSE(dir.Exists("zelk.cfg"));
}
#endif

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
// What behaves otherwise on a Windows host: wide paths (letters beyond any code page, paths over
// 260 characters), the command lines that started programs receive, the options file's replace,
// and zelk.exe's standard streams.
#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <sstream>
#include <thread>

#include "app/HeadlessPlatform.h"
#include "console/ConsoleCommands.h"
#include "console/ZelkView.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"
#include "platform/windows/Wide.h"
#include "support/ArgsRecord.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

using windows::Narrow;
using windows::Widen;

// The host form of a test directory's path (backslashes).
std::string Host(const std::string& path) { return HostPath(path); }

bool MakeDirectory(const std::string& hostPath) {
  return ::CreateDirectoryW(windows::FilePath(hostPath).c_str(), nullptr) != 0;
}

std::string ReadAll(FileSystem& files, const std::string& hostPath) {
  std::string bytes;
  auto in = files.OpenRead(hostPath);
  if (in == nullptr) return "<cannot open>";
  char buffer[4096];
  for (long long n; (n = in->Read(buffer, sizeof buffer)) > 0;) bytes.append(buffer, n);
  return bytes;
}

struct ZelkRun {
  DWORD status = 0;
  std::string out;
};

// Runs zelk.exe in dir (a host path) with the command line's arguments, input as standard input
// and standard output into a file (a pipe would show the same: neither is a console).
ZelkRun Zelk(const std::string& dir, const std::wstring& arguments, const std::string& input) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  const std::wstring in = Widen(JoinHostPath(dir, ".stdin"));
  const std::wstring out = Widen(JoinHostPath(dir, ".stdout"));
  HANDLE inFile = ::CreateFileW(in.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  ::WriteFile(inFile, input.data(), static_cast<DWORD>(input.size()), &written, nullptr);
  ::CloseHandle(inFile);
  inFile = ::CreateFileW(in.c_str(), GENERIC_READ, FILE_SHARE_READ, &inherit, OPEN_EXISTING, 0,
                         nullptr);
  HANDLE outFile = ::CreateFileW(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                 CREATE_ALWAYS, 0, nullptr);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = inFile;
  startup.hStdOutput = outFile;
  startup.hStdError = outFile;
  PROCESS_INFORMATION process{};
  std::wstring commandLine = L"\"" + Widen(HostPath(ZELK_BINARY)) + L"\" " + arguments;
  ZelkRun run;
  if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                       Widen(dir).c_str(), &startup, &process)) {
    ::WaitForSingleObject(process.hProcess, 60000);
    ::GetExitCodeProcess(process.hProcess, &run.status);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
  } else {
    run.status = 9999;
  }
  ::CloseHandle(inFile);
  ::CloseHandle(outFile);
  const auto files = MakeHostFileSystem();
  run.out = ReadAll(*files, JoinHostPath(dir, ".stdout"));
  return run;
}

TEST(WindowsFiles, PathsTakeTheHostsSeparator) {
  EXPECT_EQ(HostPath("c:/games\\quake2/caf\xE9.scr"), "c:\\games\\quake2\\caf\xC3\xA9.scr");
  EXPECT_EQ(JoinHostPath("C:\\a\\", "b"), "C:\\a\\b");
  EXPECT_EQ(JoinHostPath("C:\\a", "b"), "C:\\a\\b");
  EXPECT_EQ(JoinHostPath("D:/out/", "b"), "D:/out/b");
}

// Over 260 characters: the "\\?\" form, reached from a path with '/' and "..".
TEST(WindowsFiles, APathLongerThan260CharactersWorks) {
  TempDir dir;
  std::string path = Host(dir.Path());
  for (int i = 0; i < 6; ++i) {
    path += "\\" + std::string(50, static_cast<char>('a' + i));
    ASSERT_TRUE(MakeDirectory(path)) << path.size();
  }
  ASSERT_GT(path.size(), 300u);
  const auto files = MakeHostFileSystem();
  const std::string file = path + "\\scene.scr";
  auto out = files->Create(file);
  ASSERT_NE(out, nullptr);
  ASSERT_TRUE(out->Write("wait(1);\n", 9));
  ASSERT_TRUE(out->Close());
  const std::string roundabout = path + "/../" + std::string(1, 'f') + std::string(49, 'f') + "/scene.scr";
  EXPECT_TRUE(files->Exists(roundabout));
  EXPECT_EQ(ReadAll(*files, roundabout), "wait(1);\n");
  std::string bytes;
  std::string reason;
  EXPECT_TRUE(ReadWholeFile(file, bytes, reason)) << reason;
  EXPECT_EQ(bytes, "wait(1);\n");
  EXPECT_TRUE(files->Remove(file));
  EXPECT_FALSE(files->Exists(file));
}

// The options file's save replaces the file while another run still reads it.
TEST(WindowsFiles, TheReplaceWaitsForAReaderThatHoldsTheFile) {
  TempDir dir;
  const auto files = MakeHostFileSystem();
  const std::string target = Host(dir.File("zelk.cfg"));
  const std::string fresh = Host(dir.File("zelk.cfg.new"));
  dir.Write("zelk.cfg", "old");
  dir.Write("zelk.cfg.new", "new");
  HANDLE reader = ::CreateFileW(Widen(target).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread release([reader] {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    ::CloseHandle(reader);
  });
  const bool renamed = files->Rename(fresh, target);
  release.join();
  EXPECT_TRUE(renamed);
  EXPECT_EQ(dir.Read("zelk.cfg"), "new");
  EXPECT_FALSE(dir.Exists("zelk.cfg.new"));
}

// A start-up directory that Windows-1252 cannot show: the files are there, the messages show '?'.
TEST(WindowsFiles, AStartUpDirectoryInCyrillicOrCjkWorksWhole) {
  for (const std::string name : {"\xD0\x9F\xD0\xBE\xD0\xBB\xD1\x8C\xD0\xB7\xD0\xBE\xD0\xB2\xD0\xB0"
                                 "\xD1\x82\xD0\xB5\xD0\xBB\xD1\x8C",
                                 "\xE7\x94\xA8\xE6\x88\xB7"}) {
    TempDir dir;
    const std::string startDir = Host(dir.Path()) + "\\" + name;
    ASSERT_TRUE(MakeDirectory(startDir));
    const auto files = MakeHostFileSystem();
    auto source = files->Create(JoinHostPath(startDir, "a.scr"));
    ASSERT_NE(source, nullptr);
    ASSERT_TRUE(source->Write("wait(1);\n", 9));
    ASSERT_TRUE(source->Close());
    const ZelkRun run = Zelk(startDir, L"-c god -c \"compile a\"", "");
    EXPECT_EQ(run.status, 0u) << run.out;
    EXPECT_TRUE(files->Exists(JoinHostPath(startDir, "a.dat"))) << run.out;
    EXPECT_EQ(ReadAll(*files, JoinHostPath(startDir, "zelk.cfg")).size(), 1828u) << run.out;
    const std::string shown = Utf8ToCp1252(Narrow(Widen(startDir)));
    EXPECT_NE(shown.find('?'), std::string::npos);
  }
}

// é and € reach the console line and come back in UTF-8 through a file or pipe.
TEST(WindowsStreams, LettersBeyondAsciiPassAPipeInUtf8) {
  TempDir dir;
  const ZelkRun run = Zelk(Host(dir.Path()), L"--batch", "sv_params = \"caf\xC3\xA9 \xE2\x82\xAC\";\n");
  EXPECT_EQ(run.status, 0u);
  EXPECT_EQ(run.out, "OK>sv_params = \"caf\xC3\xA9 \xE2\x82\xAC\";\nParameters are caf\xC3\xA9 \xE2\x82\xAC\n");
}

TEST(WindowsPrograms, TheEditorSettingIsCutByTheWindowsRules) {
  const struct {
    std::string command;
    std::string program;
    std::string parameters;
  } cases[] = {
      {"", "", ""},
      {"notepad.exe", "notepad.exe", ""},
      {"  \"C:\\Program Files\\Ed\\ed.exe\" -n  \"a b\"", "C:\\Program Files\\Ed\\ed.exe", "-n  \"a b\""},
      {"C:\\tools\\ed.exe --title \"d\xE9j\xE0 vu\"", "C:\\tools\\ed.exe", "--title \"d\xE9j\xE0 vu\""},
  };
  for (const auto& c : cases) {
    const CommandText text = SplitProgramFromCommand(c.command);
    EXPECT_EQ(text.program, c.program) << c.command;
    EXPECT_EQ(text.parameters, c.parameters) << c.command;
  }
}

// The game gets the parameter text as its command line, unsplit, after its quoted path; the
// editor's source path arrives as one argument, spaces and all.
TEST(WindowsPrograms, StartedProgramsReceiveTheirCommandLinesAsTheOriginalGaveThem) {
  TempDir dir;
  const std::string gameDir = Host(dir.File("Quake 2"));
  ASSERT_TRUE(MakeDirectory(gameDir));
  const auto files = MakeHostFileSystem();
  ASSERT_TRUE(::CopyFileW(Widen(HostPath(ZELK_ARGS_RECORDER)).c_str(),
                          Widen(gameDir + "\\quake2.exe").c_str(), FALSE));
  const std::string record = Host(dir.File("record"));
  RecordArgumentsTo(record);
  std::ostringstream errors;
  HeadlessPlatform platform(errors);
  CZelkDoc doc;
  CZelkView view(doc, platform);
  SetText(doc.Settings().quake2Dir, gameDir + "\\");
  SetText(doc.Settings().parameters, "+set name \"John  Smith\" +exec 100%\\x.cfg");
  SetText(doc.Settings().gameName, "my game");
  doc.SetStatement("quake2");
  ExecuteConsoleLine(view);
  auto received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value()) << errors.str();
  EXPECT_EQ(received->workingDir, gameDir);
  ASSERT_FALSE(received->arguments.empty());
  EXPECT_EQ(received->arguments.back(),
            "\"" + gameDir + "\\quake2.exe\" +set name \"John  Smith\" +exec 100%\\x.cfg "
            "+set game \"my game\"");

  // The editor, with an argument of its own and a source path with spaces and a quote-free end.
  std::filesystem::remove(std::filesystem::path(Widen(record)));
  const std::string editor = gameDir + "\\my editor.exe";
  ASSERT_TRUE(::CopyFileW(Widen(HostPath(ZELK_ARGS_RECORDER)).c_str(), Widen(editor).c_str(), FALSE));
  const StartResult started = StartDetachedProcess(
      {editor, "--line 1", {Host(dir.File("my scripts\\intro game.scr")), "a\\\\b\\"}, gameDir});
  ASSERT_TRUE(started.started) << started.reason;
  received = WaitForRecord(record);
  ASSERT_TRUE(received.has_value());
  received->arguments.pop_back();  // the command line
  EXPECT_EQ(received->arguments,
            (std::vector<std::string>{"--line", "1", Host(dir.File("my scripts\\intro game.scr")),
                                      "a\\\\b\\"}));

  const StartResult missing = StartDetachedProcess({gameDir + "\\none.exe", "", {}, ""});
  EXPECT_FALSE(missing.started);
  EXPECT_FALSE(missing.reason.empty());
}

}  // namespace
}  // namespace zelk::test

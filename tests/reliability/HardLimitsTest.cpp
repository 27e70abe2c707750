// SPDX-License-Identifier: MIT
// The hard limits: huge lines and sources, full label and intercept tables, directories at and
// beyond 255 characters, a save directory that cannot be written, a load directory that is a
// file. Each gets a clear message or the right result. (Time and memory are measured by
// measure-limits.sh, not here.)

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "compiler/CompileDriver.h"
#include "compiler/CompiledScript.h"
#include "environment/EnvironmentSettings.h"
#include "console/ConsoleCommands.h"
#include "environment/OptionsFile.h"
#include "environment/SettingCommands.h"
#include "reliability/ReliabilitySupport.h"
#include "support/FaultyFileSystem.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

// Compiled files of any size: only the header and the size are kept, so that a compile of a
// million records needs no half a gigabyte of memory in the test.
class CountingFileSystem : public MemoryFileSystem {
 public:
  struct Output {
    std::uint64_t size = 0;
    unsigned char header[HEADER_SIZE] = {};
    bool closed = false;
  };

  std::unique_ptr<OutputFile> Create(const std::string& hostPath) override {
    if (hostPath.size() < 4 || hostPath.compare(hostPath.size() - 4, 4, ".dat") != 0) {
      return MemoryFileSystem::Create(hostPath);
    }
    output = Output{};
    return std::make_unique<Writer>(output);
  }

  Output output;

 private:
  class Writer final : public OutputFile {
   public:
    explicit Writer(Output& out) : m_out(out) {}
    bool Write(const char* data, std::size_t size) override {
      for (std::size_t i = 0; i < size && m_pos + i < HEADER_SIZE; ++i) {
        m_out.header[m_pos + i] = static_cast<unsigned char>(data[i]);
      }
      m_pos += size;
      if (m_pos > m_out.size) m_out.size = m_pos;
      return true;
    }
    bool Seek(std::uint64_t offset) override {
      m_pos = offset;
      return true;
    }
    bool Close() override {
      m_out.closed = true;
      return true;
    }

   private:
    Output& m_out;
    std::uint64_t m_pos = 0;
  };
};

std::string Repeat(const std::string& text, int count) {
  std::string out;
  out.reserve(text.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) out += text;
  return out;
}

std::string ErrorLine(int line) {
  return "Error encountered at line " + std::to_string(line);
}

struct CompileResult {
  std::vector<std::string> output;
  int failures = 0;
  CompiledScriptHeader header;
  std::uint64_t size = 0;
};

// Compiles /load/big.scr into the counting file system.
class HardLimits : public ::testing::Test {
 protected:
  HardLimits() {
    console.platform.files = &files;
    files.AddDirectory("/start");
    files.AddDirectory("/load");
    files.AddDirectory("/save");
    console.Start();
  }

  CompileResult Compile(const std::string& source) {
    files.Put("/load/big.scr", source);
    CompileResult result;
    result.output = console.Enter("compile big");
    result.failures = console.view.FailedCompiles();
    result.header = ReadHeader(files.output.header);
    result.size = files.output.size;
    return result;
  }

  CountingFileSystem files;
  MemoryConsole console;
};

TEST_F(HardLimits, ALineOfTenMegabytesIsCutAt255Characters) {
  const std::string huge(10 * 1024 * 1024, 'x');
  struct Case {
    const char* name;
    std::string source;
    bool succeeds;
    int instructions;
    std::string message;
  };
  const Case cases[] = {
      // The statement's first 255 characters count; what follows "stand" is ignored.
      {"statement", "stand " + huge + "\nwait(2);\n", true, 2, ""},
      // The line is shown cut, with its line number.
      {"garbage", "\n" + huge + "\n", false, 0,
       "Bad instruction or system data: " + std::string(255 - 32, 'x')},
      // A huge last line without its line feed is not a line.
      {"unterminated", "stand;\n" + huge, true, 1, ""},
      // The whole file one line of a quoted string that never closes.
      {"open quote", "say(\"" + huge + "\n", false, 0, ">> USAGE <<"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int failuresBefore = console.view.FailedCompiles();
    const CompileResult r = Compile(c.source);
    if (c.succeeds) {
      EXPECT_EQ(r.failures, failuresBefore);
      EXPECT_TRUE(AnyStartsWith(
          r.output, "Compile successful. " + std::to_string(c.instructions) + " instructions."));
      EXPECT_EQ(r.header.instructionCount, c.instructions);
      EXPECT_EQ(r.size, HEADER_SIZE + RECORD_SIZE * c.instructions);
    } else {
      EXPECT_EQ(r.failures, failuresBefore + 1);
      EXPECT_TRUE(Contains(r.output, c.message)) << ::testing::PrintToString(r.output);
      EXPECT_TRUE(Contains(r.output, ErrorLine(c.name == std::string("garbage") ? 2 : 1)));
    }
  }
}

TEST_F(HardLimits, AMillionLines) {
  constexpr int kLines = 1000000;
  // A million statements: a million records behind a header that counts them.
  CompileResult r = Compile(Repeat("wait(1.5);\n", kLines));
  EXPECT_EQ(r.failures, 0);
  EXPECT_TRUE(Contains(r.output, "Compile successful. 1000000 instructions. 544000000 bytes"));
  EXPECT_EQ(r.header.instructionCount, kLines);
  EXPECT_EQ(r.size, HEADER_SIZE + RECORD_SIZE * std::uint64_t{kLines});
  EXPECT_TRUE(files.output.closed);

  // An error on the millionth line is reported with its number, after every line before it;
  // blank lines and comments count.
  r = Compile(Repeat("stand;\n\n// c\n  \n", kLines / 4 - 1) + "stand;\n\n// c\ngoto(nowhere);\n");
  EXPECT_EQ(r.failures, 1);
  EXPECT_TRUE(Contains(r.output, "goto: Label nowhere not found!"));
  EXPECT_TRUE(Contains(r.output, ErrorLine(kLines)));
  EXPECT_EQ(r.header.instructionCount, 0);  // the header of a failed compile stays zero
  EXPECT_EQ(r.size, HEADER_SIZE + RECORD_SIZE * (kLines / 4));
}

TEST_F(HardLimits, LabelTableOfOneHundred) {
  struct Case {
    int labels;
    bool succeeds;
  };
  for (const Case c : {Case{99, true}, Case{100, true}, Case{101, false}, Case{10000, false}}) {
    SCOPED_TRACE(c.labels);
    std::string source;
    for (int i = 0; i < c.labels; ++i) source += "label@l" + std::to_string(i) + ";\n";
    source += "stand;\ngoto(l" + std::to_string(c.labels < 100 ? c.labels - 1 : 99) + ");\n";
    const int failuresBefore = console.view.FailedCompiles();
    const CompileResult r = Compile(source);
    if (c.succeeds) {
      EXPECT_EQ(r.failures, failuresBefore);
      EXPECT_EQ(r.header.instructionCount, 2);
    } else {
      EXPECT_EQ(r.failures, failuresBefore + 1);
      EXPECT_TRUE(Contains(r.output, "Too many labels: a script holds at most 100."));
      EXPECT_TRUE(Contains(r.output, ErrorLine(101)));  // the 101st label line
      EXPECT_EQ(r.header.instructionCount, 0);
    }
    EXPECT_EQ(console.doc->SourcePath(), "/load\\big.scr");
  }
}

TEST_F(HardLimits, InterceptUserTableOfOneHundred) {
  struct Case {
    int statements;
    int distinctUsers;
    bool succeeds;
  };
  const Case cases[] = {
      {100, 100, true}, {1000, 100, true}, {101, 101, false}, {1000, 1000, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.statements) + " on_use, users " +
                 std::to_string(c.distinctUsers));
    std::string source = "label@hello;\n";
    for (int i = 0; i < c.statements; ++i) {
      source += "on_use(user" + std::to_string(i % c.distinctUsers) + ", hello);\n";
    }
    const int failuresBefore = console.view.FailedCompiles();
    const CompileResult r = Compile(source);
    if (c.succeeds) {
      EXPECT_EQ(r.failures, failuresBefore);
      EXPECT_TRUE(Contains(r.output, "Number of intercetps 100 out of possible 100"));
      EXPECT_EQ(r.header.instructionCount, c.statements);
      EXPECT_EQ(r.header.interceptCount, 100);
    } else {
      EXPECT_EQ(r.failures, failuresBefore + 1);
      EXPECT_TRUE(
          Contains(r.output, "Too many on_use users: user100 is the 101st, the limit is 100."));
      EXPECT_TRUE(Contains(r.output, ErrorLine(102)));
      EXPECT_EQ(r.header.interceptCount, 0);
    }
    EXPECT_EQ(console.doc->SourcePath(), "/load\\big.scr");  // behind the table
  }
}

// Directory values at the 255-character limit of their fields.
TEST(DirectoryLimits, TheDirectoryRuleAtTheEndOfTheField) {
  struct Case {
    std::string value;
    bool accepted;
    std::string stored;
  };
  const std::string d254(254, 'd');
  const std::string d255(255, 'd');
  const Case cases[] = {
      {"", true, "\\"},
      {d254, true, d254 + "\\"},
      {d255, false, d255},               // no room for the backslash: unchanged
      {d254 + "\\", true, d254 + "\\"},  // 255 characters that end in one already
      {d254 + "/", false, d254 + "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value.size());
    std::string field;
    SetText(field, c.value);
    EXPECT_EQ(ApplyDirectoryRule(field), c.accepted);
    EXPECT_EQ(field, c.stored);
  }
}

std::string OptionsImage(const EnvironmentSettings& settings) {
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(settings, image);
  return std::string(reinterpret_cast<const char*>(image), sizeof image);
}

TEST(DirectoryLimits, ALoadDirectoryOf255CharactersFromTheOptionsFile) {
  // The options file may hold a full field without its zero byte: it is cut to 255 characters.
  std::string image = OptionsImage(EnvironmentSettings{});
  std::memset(image.data() + 1312, 'L', 256);  // loadDir
  std::memset(image.data() + 1056, 'S', 256);  // saveDir
  MemoryConsole console;
  console.files.Put("/start/zelk.cfg", image);
  console.view.OnCreate();
  EXPECT_EQ(std::string(console.doc->Settings().loadDir), std::string(255, 'L'));

  // The status listing shows it cut to the console's 255 cells.
  const auto status = console.Enter("status");
  ASSERT_EQ(status.size(), 14u);
  EXPECT_EQ(status[7], (" -> Load Dir: " + std::string(255, 'L')).substr(0, 255));

  // A compile refuses a path that cannot be held, and touches no file.
  FaultyFileSystem watched(console.files);
  console.platform.files = &watched;
  const auto output = console.Enter("compile intro");
  EXPECT_EQ(output,
            std::vector<std::string>{
                "Cannot compile (the source path would be longer than 255 characters): intro"});
  EXPECT_EQ(watched.Count(), 0);
  EXPECT_EQ(console.view.FailedCompiles(), 1);
}

TEST(DirectoryLimits, PathsUpTo255CharactersCompile) {
  // "<dir>name.scr" of exactly 255 characters is accepted, one more is refused.
  for (const int extra : {0, 1}) {
    SCOPED_TRACE(extra);
    MemoryConsole console;
    console.Start();
    const std::string dir = "/load/" + std::string(243 + extra, 'n');
    SetText(console.doc->Settings().loadDir, dir + "\\");
    SetText(console.doc->Settings().saveDir, "/save\\");
    console.files.Put(dir + "/a.scr", "stand;\n");
    const auto output = console.Enter("compile a");
    if (extra == 0) {
      EXPECT_EQ(console.doc->SourcePath().size(), 255u);
      EXPECT_TRUE(AnyStartsWith(output, "Compile successful. 1 instructions."));
    } else {
      EXPECT_EQ(output,
                std::vector<std::string>{
                    "Cannot compile (the source path would be longer than 255 characters): a"});
    }
  }
}

// A start-up directory longer than the 255 characters that its displayed text holds.
TEST(StartUpDirectory, LongerThan255Characters) {
  TempDir temp;
  std::string dir = temp.Path();
  while (dir.size() <= 400) dir += "/" + std::string(60, 's');
  std::filesystem::create_directories(dir);
  ASSERT_GT(dir.size(), 400u);

  EnvironmentSettings stored;
  SetText(stored.mapName, "base1");
  std::ofstream(dir + "/zelk.cfg", std::ios::binary) << OptionsImage(stored);

  LineRecorder recorder;
  RecordingPlatform platform;
  platform.currentDirectory = dir;
  CZelkDoc doc;
  doc.SetTranscript(&recorder);
  CZelkView view(doc, platform);
  view.OnCreate();
  EXPECT_EQ(doc.Settings().mapName, "base1");  // loaded from the whole path

  SetText(doc.Settings().gameName, "ctf");
  OnSaveOptions(view);
  // The message shows the start of the path, cut at the console's width; the file is written
  // at the whole path, never at a cut one.
  ASSERT_FALSE(recorder.lines.empty());
  EXPECT_EQ(recorder.lines.back(),
            ("Current options saved to '" + dir + "\\zelk.cfg'").substr(0, 255));
  std::ifstream in(dir + "/zelk.cfg", std::ios::binary);
  const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EnvironmentSettings expected = stored;
  SetText(expected.gameName, "ctf");
  EXPECT_EQ(saved, OptionsImage(expected));

  // The error sound of a failed compile is looked up in the whole directory.
  doc.Settings().errorSoundOn = 1;
  SetText(doc.Settings().loadDir, temp.Path() + "\\");
  SetText(doc.Settings().saveDir, temp.Path() + "\\");
  temp.Write("bad.scr", "nonsense;\n");
  for (const char c : std::string("compile bad")) view.OnChar(static_cast<unsigned char>(c));
  view.OnChar(13);
  ASSERT_EQ(platform.sounds.size(), 1u);
  EXPECT_EQ(platform.sounds[0], dir + "/doh.wav");
}

TEST(StartUpDirectory, BatchModeInADirectoryLongerThan255Characters) {
  TempDir temp;
  std::string dir = temp.Path();
  while (dir.size() <= 300) dir += "/" + std::string(50, 'b');
  std::filesystem::create_directories(dir);
  const std::string command = "cd '" + dir + "' && '" ZELK_BINARY "' -c god -c status > out.txt";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(std::filesystem::file_size(dir + "/zelk.cfg"), OPTIONS_IMAGE_SIZE);
  EXPECT_EQ(std::system(("cd '" + dir + "' && '" ZELK_BINARY "' -c god > /dev/null").c_str()), 0);
  std::ifstream in(dir + "/zelk.cfg", std::ios::binary);
  const std::string saved{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  ASSERT_EQ(saved.size(), OPTIONS_IMAGE_SIZE);
  EXPECT_EQ(saved[1032], 0);  // god toggled on by the first run, off by the second
}

// A save directory that cannot be written. Root can write any directory whatever its mode bits,
// so the directory is made read-only in the memory file system; a read-only compiled file and a
// read-only options file (no write bit at all, which Zelk honours even for root) are real files.
TEST(ReadOnly, SaveDirectoryRefusesTheCompiledFile) {
  MemoryConsole console;
  console.files.Put("/load/a.scr", "label@x;\ngoto(x);\n");
  console.files.SetReadOnlyDirectory("/save");
  console.Start();
  const auto output = console.Enter("compile a");
  EXPECT_TRUE(Contains(output, "Cannot open file /save\\a.dat."))
      << ::testing::PrintToString(output);
  EXPECT_FALSE(AnyStartsWith(output, "Compile successful."));
  EXPECT_EQ(console.view.FailedCompiles(), 1);
  EXPECT_FALSE(console.files.Has("/save/a.dat"));
}

// A start-up directory that takes no new files: a prepared options file is written in place;
// without one, nothing can be saved and nothing is created.
TEST(ReadOnly, StartUpDirectoryTakesOnlyItsPreparedOptionsFile) {
  for (const bool prepared : {true, false}) {
    SCOPED_TRACE(prepared);
    MemoryConsole console;
    EnvironmentSettings old;
    SetText(old.mapName, "old");
    if (prepared) console.files.Put("/start/zelk.cfg", OptionsImage(old));
    console.files.SetReadOnlyDirectory("/start");
    console.Start();
    SetText(console.doc->Settings().gameName, "ctf");
    OnSaveOptions(console.view);
    if (prepared) {
      EXPECT_EQ(console.recorder.lines.back(), "Current options saved to '/start\\zelk.cfg'");
      EXPECT_EQ(console.files.Get("/start/zelk.cfg"), OptionsImage(console.doc->Settings()));
      EXPECT_EQ(console.files.Paths(), std::vector<std::string>{"/start/zelk.cfg"});
    } else {
      EXPECT_EQ(console.recorder.lines.back(), "Unable to saved to '/start\\zelk.cfg'!");
      EXPECT_TRUE(console.files.Paths().empty());
    }
  }
}

TEST(ReadOnly, RealReadOnlyFiles) {
  TempDir temp;
  temp.Write("a.scr", "stand;\n");
  temp.Write("a.dat", "old compiled file");
  temp.Write("Zelk.CFG", std::string(OPTIONS_IMAGE_SIZE, '\0'));
  ASSERT_EQ(::chmod(temp.File("a.dat").c_str(), 0444), 0);
  ASSERT_EQ(::chmod(temp.File("Zelk.CFG").c_str(), 0444), 0);

  LineRecorder recorder;
  RecordingPlatform platform;
  platform.currentDirectory = temp.Path();
  CZelkDoc doc;
  doc.SetTranscript(&recorder);
  CZelkView view(doc, platform);
  view.OnCreate();
  SetText(doc.Settings().loadDir, temp.Path() + "\\");
  SetText(doc.Settings().saveDir, temp.Path() + "\\");
  for (const char c : std::string("compile a")) view.OnChar(static_cast<unsigned char>(c));
  view.OnChar(13);
  EXPECT_TRUE(Contains(recorder.lines, "Cannot open file " + temp.Path() + "\\a.dat."));
  EXPECT_EQ(temp.Read("a.dat"), "old compiled file");

  OnSaveOptions(view);
  EXPECT_EQ(recorder.lines.back(), "Unable to saved to '" + temp.Path() + "\\Zelk.CFG'!");
  EXPECT_EQ(temp.Read("Zelk.CFG"), std::string(OPTIONS_IMAGE_SIZE, '\0'));
  EXPECT_FALSE(temp.Exists("zelk.cfg"));
}

TEST(ReadOnly, RealReadOnlyDirectoryForAnOrdinaryUser) {
  if (::geteuid() == 0) GTEST_SKIP() << "root writes into read-only directories";
  TempDir temp;
  std::filesystem::create_directory(temp.File("out"));
  temp.Write("a.scr", "stand;\n");
  ASSERT_EQ(::chmod(temp.File("out").c_str(), 0555), 0);
  RecordingPlatform platform;
  platform.currentDirectory = temp.File("out");
  CZelkDoc doc;
  CZelkView view(doc, platform);
  view.OnCreate();
  SetText(doc.Settings().loadDir, temp.Path() + "\\");
  SetText(doc.Settings().saveDir, temp.File("out") + "\\");
  const CompileJob job{temp.Path() + "\\a.scr", temp.File("out") + "\\a.dat"};
  NullLineSink out;
  EXPECT_EQ(CompileScript(job, platform.Files(), out, {}).status,
            zelk::CompileResult::Status::CannotCreate);
  EXPECT_FALSE(SaveOptions(platform.Files(), view.StartDirHost(), doc.Settings()));
  ::chmod(temp.File("out").c_str(), 0755);
}

// A load directory that is a file, and a save directory that is a file.
TEST(NotADirectory, LoadAndSaveDirectoriesThatAreFiles) {
  TempDir temp;
  temp.Write("plain", "a file, not a directory");
  temp.Write("a.scr", "stand;\n");
  RecordingPlatform platform;
  platform.currentDirectory = temp.Path();
  LineRecorder recorder;
  CZelkDoc doc;
  doc.SetTranscript(&recorder);
  CZelkView view(doc, platform);
  view.OnCreate();

  struct Case {
    std::string loadDir;
    std::string saveDir;
    std::string message;
  };
  const std::string file = temp.File("plain");
  const Case cases[] = {
      {file, temp.Path(), "File " + file + "\\a.scr not found."},
      {temp.Path(), file, "Cannot open file " + file + "\\a.dat."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.message);
    recorder.lines.clear();
    for (const std::string& line :
         {"sv_load_dir = \"" + c.loadDir + "\";", "sv_save_dir = \"" + c.saveDir + "\";",
          std::string("compile a")}) {
      for (const char ch : line) view.OnChar(static_cast<unsigned char>(ch));
      view.OnChar(13);
    }
    EXPECT_TRUE(Contains(recorder.lines, c.message)) << ::testing::PrintToString(recorder.lines);
    EXPECT_FALSE(AnyStartsWith(recorder.lines, "Compile successful."));
  }
  EXPECT_EQ(view.FailedCompiles(), 2);
  EXPECT_EQ(temp.Read("plain"), "a file, not a directory");
}

}  // namespace
}  // namespace zelk::test

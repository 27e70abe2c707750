// SPDX-License-Identifier: MIT
// Every file operation of a compile and of Save Options, failed one at a time: the right message
// and result, never a success reported for a failed compile, and never a damaged or lost
// options file.

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "compiler/CompiledScript.h"
#include "console/ZelkView.h"
#include "environment/EnvironmentSettings.h"
#include "console/ConsoleCommands.h"
#include "environment/OptionsFile.h"
#include "reliability/ReliabilitySupport.h"
#include "support/FaultyFileSystem.h"
#include "support/MemoryFileSystem.h"
#include "support/RecordingPlatform.h"

namespace zelk::test {
namespace {

using Op = FaultyFileSystem::Op;

// Labels used before they are defined, so that the first pass matters; intercepts, so that the
// header's second count matters.
constexpr const char* kSource =
    "// fault injection\n"
    "goto(middle);\n"
    "label@top;\n"
    "say(\"a.wav\", 1, attn_norm);\n"
    "on_use(player, top);\n"
    "label@middle;\n"
    "wait(2.5);\n"
    "on_use(guard, middle);\n"
    "goto(top);\n";
constexpr const char* kOldOutput = "an older compiled file";

struct CompileRun {
  std::vector<std::string> output;
  std::string compiled;
  int failures = 0;
  bool injected = false;
  Op failedOp = Op::Open;
  std::string failedPath;
  int operations = 0;
};

CompileRun Compile(int failAt, const std::string& source = kSource) {
  MemoryConsole console;
  console.files.Put("/load/scene.scr", source);
  console.files.Put("/save/scene.dat", kOldOutput);
  console.Start();
  FaultyFileSystem faulty(console.files, failAt);
  console.platform.files = &faulty;
  CompileRun run;
  run.output = console.Enter("compile scene");
  run.compiled = console.files.Get("/save/scene.dat");
  run.failures = console.view.FailedCompiles();
  run.injected = faulty.Injected();
  run.failedOp = faulty.FailedOp();
  run.failedPath = faulty.FailedPath();
  run.operations = faulty.Count();
  return run;
}

// The message that a failure of each operation must give.
std::string ExpectedMessage(Op op, const std::string& path) {
  const bool onSource = path == "/load/scene.scr";
  switch (op) {
    case Op::Open:
      return "File /load\\scene.scr not found.";
    case Op::Create:
      return "Cannot open file /save\\scene.dat.";
    case Op::Read:
      return "Cannot read the source file (the compile stopped): /load\\scene.scr";
    case Op::Write:
    case Op::Seek:
      return "Cannot write the compiled file (the compiled script is incomplete): /save\\scene.dat";
    case Op::Close:
      return onSource ? ""
                      : "Cannot write the compiled file (the compiled script is incomplete): /save\\scene.dat";
    default:
      return "?";
  }
}

// Fails operation failAt = 1, 2, ... of compiling the source until a compile runs without a
// failure; returns how many operations a compile of it has.
int CheckEveryOperation(const std::string& source) {
  const CompileRun reference = Compile(0, source);
  int failAt = 1;
  for (;; ++failAt) {
    SCOPED_TRACE("operation " + std::to_string(failAt));
    const CompileRun run = Compile(failAt, source);
    if (!run.injected) {
      EXPECT_EQ(run.failures, reference.failures);
      EXPECT_EQ(run.compiled, reference.compiled);
      break;
    }
    SCOPED_TRACE(std::string("failed ") + OpName(run.failedOp) + " of " + run.failedPath);
    const std::string expected = ExpectedMessage(run.failedOp, run.failedPath);
    if (expected.empty()) {
      // Closing a source that has been read to its end loses nothing.
      EXPECT_EQ(run.failures, reference.failures);
      EXPECT_EQ(run.compiled, reference.compiled);
      EXPECT_EQ(run.output, reference.output);
      continue;
    }
    EXPECT_TRUE(Contains(run.output, expected)) << "output:\n"
                                                << ::testing::PrintToString(run.output);
    EXPECT_FALSE(AnyStartsWith(run.output, "Compile successful."))
        << "a failure reported as success";
    EXPECT_EQ(run.failures, 1);
    // The compiled file is the old one (nothing was created), or one whose header does not
    // claim records that are not there.
    if (run.compiled != kOldOutput) {
      EXPECT_GE(run.compiled.size(), HEADER_SIZE / 2);  // a header write that failed half-way
      if (run.compiled.size() >= HEADER_SIZE) {
        const auto header = ReadHeader(reinterpret_cast<const unsigned char*>(run.compiled.data()));
        if (header.instructionCount != 0) {
          EXPECT_EQ(run.compiled.size(), HEADER_SIZE + RECORD_SIZE * header.instructionCount);
        }
      }
    }
  }
  EXPECT_EQ(failAt, reference.operations + 1);
  return reference.operations;
}

TEST(FaultInjection, EveryOperationOfACompile) {
  const CompileRun reference = Compile(0);
  ASSERT_EQ(reference.failures, 0);
  ASSERT_TRUE(Contains(reference.output, "Compile successful. 6 instructions. 3264 bytes"));
  ASSERT_EQ(reference.compiled.size(), HEADER_SIZE + 6 * RECORD_SIZE);
  // Two passes over the source (open, read, read at the end, close), the second with a reader
  // that counts ahead for goto(middle) (open, read, close), the compiled file created, written,
  // rewound, its header written, closed.
  EXPECT_EQ(CheckEveryOperation(kSource), 16);
}

TEST(FaultInjection, EveryOperationOfOtherCompiles) {
  struct Case {
    const char* name;
    std::string source;
  };
  std::string large;  // more records than one block of the writer holds
  for (int i = 0; i < 90; ++i) large += "label@l" + std::to_string(i) + ";\nwait(1);\n";
  for (int i = 0; i < 1200; ++i) large += "goto(l" + std::to_string(i % 90) + ");\n";
  const Case cases[] = {
      {"empty", ""},
      {"an error on line 3", "stand;\nstand;\nwait(1)\n"},
      {"a label missing", "goto(nowhere);\n"},
      {"a setting and an unended last line", "god\nstand;\nstop;"},
      {"more than one block", large},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const int operations = CheckEveryOperation(c.source);
    // The large one (15 KB) is read in four blocks a pass (1, 2, 4 and 8 KB) and its 750 KB
    // written in eight (4 KB, doubling up to 256 KB); its labels stand before their use, so the
    // reader that counts ahead is opened and closed without reading.
    if (c.source.size() > 10000) {
      EXPECT_EQ(operations, 28);
    }
  }
}

// The Save Options command over an existing options file, with every operation failed in turn.
struct SaveRun {
  std::string message;
  std::string file;
  std::vector<std::string> paths;
  bool injected = false;
  int operations = 0;
};

EnvironmentSettings OldSettings() {
  EnvironmentSettings s;
  s.spare = 77;
  SetText(s.quake2Dir, "c:\\quake2\\");
  SetText(s.mapName, "base1");
  s.godOn = 1;
  return s;
}

std::string Image(const EnvironmentSettings& settings) {
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(settings, image);
  return std::string(reinterpret_cast<const char*>(image), sizeof image);
}

SaveRun SaveOptionsWith(int failAt, const std::string& name) {
  MemoryConsole console;
  console.files.Put("/start/" + name, Image(OldSettings()));
  console.Start();
  SetText(console.doc->Settings().gameName, "ctf");
  FaultyFileSystem faulty(console.files, failAt);
  console.platform.files = &faulty;
  OnSaveOptions(console.view);
  SaveRun run;
  run.message = console.doc->LineText(console.doc->CursorLine() - 1);
  run.file = console.files.Get("/start/" + name);
  run.paths = console.files.Paths();
  run.injected = faulty.Injected();
  run.operations = faulty.Count();
  return run;
}

TEST(FaultInjection, EveryOperationOfSaveOptions) {
  for (const std::string name : {"zelk.cfg", "Zelk.CFG"}) {
    SCOPED_TRACE(name);
    EnvironmentSettings saved = OldSettings();
    SetText(saved.loadDir, "/load\\");
    SetText(saved.saveDir, "/save\\");
    SetText(saved.gameName, "ctf");
    const std::string oldImage = Image(OldSettings());
    const std::string newImage = Image(saved);

    // When the temporary file cannot be created, the options file is written in place.
    const SaveRun inPlace = SaveOptionsWith(1, name);
    EXPECT_EQ(inPlace.message, "Current options saved to '/start\\" + name + "'");
    EXPECT_EQ(inPlace.file, newImage);
    EXPECT_EQ(inPlace.operations, 4);

    int failAt = 2;
    for (;; ++failAt) {
      SCOPED_TRACE("operation " + std::to_string(failAt));
      const SaveRun run = SaveOptionsWith(failAt, name);
      if (!run.injected) {
        EXPECT_EQ(run.message, "Current options saved to '/start\\" + name + "'");
        EXPECT_EQ(run.file, newImage);
        EXPECT_EQ(run.paths, std::vector<std::string>{"/start/" + name});
        break;
      }
      EXPECT_EQ(run.message, "Unable to saved to '/start\\" + name + "'!");
      EXPECT_EQ(run.file, oldImage) << "the options file was damaged or lost";
      EXPECT_EQ(run.paths, std::vector<std::string>{"/start/" + name}) << "a file left behind";
    }
    // A temporary file created, written, closed and renamed.
    EXPECT_EQ(failAt, 5);
  }
}

TEST(FaultInjection, ASaveWithoutAnOptionsFileCreatesNothingWhenItFails) {
  // The look at what the file holds now (an open that finds none), then the temporary file's
  // write, close and rename.
  for (int failAt = 3; failAt <= 5; ++failAt) {
    SCOPED_TRACE(failAt);
    MemoryConsole console;
    console.Start();
    FaultyFileSystem faulty(console.files, failAt);
    console.platform.files = &faulty;
    EXPECT_FALSE(SaveOptions(console.platform.Files(), "/start", console.doc->Settings()));
    EXPECT_TRUE(faulty.Injected());
    EXPECT_TRUE(console.files.Paths().empty());
  }
}

TEST(FaultInjection, AFailedReadAtStartLeavesTheStartValues) {
  MemoryConsole console;
  console.files.Put("/start/zelk.cfg", Image(OldSettings()));
  FaultyFileSystem faulty(console.files, 2);  // the open succeeds, the first read fails
  console.platform.files = &faulty;
  console.view.OnCreate();
  ASSERT_TRUE(faulty.Injected());
  EXPECT_EQ(faulty.FailedOp(), Op::Read);
  EXPECT_EQ(Image(console.doc->Settings()), Image(EnvironmentSettings{}));
}

}  // namespace
}  // namespace zelk::test

namespace zelk::test {
namespace {

// Reads that return fewer bytes than asked for, as pipes and network file systems do.
class ShortReadFileSystem : public MemoryFileSystem {
 public:
  explicit ShortReadFileSystem(std::size_t chunk) : m_chunk(chunk) {}
  std::unique_ptr<InputFile> OpenRead(const std::string& hostPath) override {
    auto file = MemoryFileSystem::OpenRead(hostPath);
    if (!file) return nullptr;
    return std::make_unique<Short>(std::move(file), m_chunk);
  }

 private:
  class Short final : public InputFile {
   public:
    Short(std::unique_ptr<InputFile> file, std::size_t chunk)
        : m_file(std::move(file)), m_chunk(chunk) {}
    long long Read(char* buffer, std::size_t size) override {
      return m_file->Read(buffer, size < m_chunk ? size : m_chunk);
    }
    bool Close() override { return m_file->Close(); }

   private:
    std::unique_ptr<InputFile> m_file;
    std::size_t m_chunk;
  };
  std::size_t m_chunk;
};

TEST(FaultInjection, ShortReadsGiveTheSameCompile) {
  // Lines longer than 255 characters, CR LF ends, tabs and an unended last line: every rule of
  // the line reader meets a read boundary somewhere.
  std::string source = "label@top;\r\n\tsay(\"a\tb\", 1, attn_norm); // x\n";
  source += "stand " + std::string(300, 'y') + "\n\n";
  for (int i = 0; i < 50; ++i) source += "wait(" + std::to_string(i) + ".5);\ngoto(top);\n";
  source += "stop;";
  const CompileRun reference = Compile(0, source);
  ASSERT_EQ(reference.failures, 0);
  for (const std::size_t chunk : {1, 2, 3, 7, 255, 256, 4097}) {
    SCOPED_TRACE(chunk);
    ShortReadFileSystem files(chunk);
    MemoryConsole console;
    console.platform.files = &files;
    files.Put("/load/scene.scr", source);
    console.Start();
    EXPECT_EQ(console.Enter("compile scene"), reference.output);
    EXPECT_EQ(files.Get("/save/scene.dat"), reference.compiled);
  }
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "compiler/CompileDriver.h"
#include "console/ZelkView.h"
#include "environment/EnvironmentSettings.h"
#include "environment/SettingCommands.h"
#include "support/MemoryFileSystem.h"
#include "support/RecordingPlatform.h"

namespace zelk::fuzz {

// A property that a harness checks beyond "no crash". A failure aborts, so that libFuzzer keeps
// the input as a crash artifact.
#define ZELK_FUZZ_CHECK(condition, ...)                                                  \
  do {                                                                                   \
    if (!(condition)) {                                                                  \
      std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #condition); \
      std::fprintf(stderr, __VA_ARGS__);                                                 \
      std::fprintf(stderr, "\n");                                                        \
      std::abort();                                                                      \
    }                                                                                    \
  } while (false)

// A compile from memory: the source is /load/fuzz.scr of a file system of its own, the compiled
// file /save/fuzz.dat (the job names them with the console's backslash after the directory).
struct MemoryCompile {
  static CompileJob Job() { return {"/load\\fuzz.scr", "/save\\fuzz.dat"}; }
  CompileResult result;
  std::string bytes;  // what the compile wrote, empty when it wrote nothing
};

inline MemoryCompile CompileInMemory(const std::string& source, LineSink& out,
                                     const SettingHook& onSetting) {
  test::MemoryFileSystem files;
  files.AddDirectory("/load");
  files.AddDirectory("/save");
  files.Put("/load/fuzz.scr", source);
  MemoryCompile compiled{CompileScript(MemoryCompile::Job(), files, out, onSetting), {}};
  compiled.bytes = files.Get("/save/fuzz.dat");
  return compiled;
}

// The settings lines of a source carried out as the console does, on settings of the harness's
// own, a compile inside the compile refused.
inline SettingHook ApplySettingsTo(EnvironmentSettings& settings, LineSink& out) {
  return [&settings, &out](const ParsedStatement& s) -> std::optional<std::string> {
    const SettingOutcome outcome = ApplySetting(s, settings, out);
    if (outcome.kind == SettingOutcome::Kind::Refused) return outcome.refusal;
    if (outcome.kind == SettingOutcome::Kind::Compile) return std::string("nested compile");
    return std::nullopt;
  };
}

// A console on a recording platform whose files live in memory: start-up directory /start,
// load and save directories /load and /save (as the settings hold them, with the final
// backslash).
//
// A harness keeps one for all its inputs (see ResetAfterInput): the document, the view, the
// platform and the files are then as a new console has them before every input (built anew in
// place, without the allocations and page faults of a new console per input), so that every
// finding reproduces from its input alone.
struct MemoryConsole {
  static constexpr const char* kStartDir = "/start";

  MemoryConsole() { Reset(); }

  void Reset() {
    view.reset();
    doc.reset();
    platform.reset();
    files.Clear();
    files.AddDirectory(kStartDir);
    files.AddDirectory("/load");
    files.AddDirectory("/save");
    platform.emplace();
    platform->currentDirectory = kStartDir;
    platform->files = &files;
    doc.emplace();
    view.emplace(*doc, *platform);
  }

  void Start() {
    view->OnCreate();
    SetText(doc->Settings().loadDir, "/load\\");
    SetText(doc->Settings().saveDir, "/save\\");
  }

  test::MemoryFileSystem files;
  std::optional<test::RecordingPlatform> platform;
  std::optional<CZelkDoc> doc;
  std::optional<CZelkView> view;
};

// Resets the console when the input is done, however it ends: what the input allocated is freed
// within its own run, so that libFuzzer's count of allocations and frees (its cue to look for a
// leak) sees each input alone.
class ResetAfterInput {
 public:
  explicit ResetAfterInput(MemoryConsole& console) : m_console(console) {}
  ~ResetAfterInput() { m_console.Reset(); }
  ResetAfterInput(const ResetAfterInput&) = delete;
  ResetAfterInput& operator=(const ResetAfterInput&) = delete;

 private:
  MemoryConsole& m_console;
};

}  // namespace zelk::fuzz

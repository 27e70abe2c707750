// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include "console/ZelkView.h"
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

// A console on a recording platform whose files live in memory: start-up directory /start,
// load and save directories /load and /save (as the settings hold them, with the final
// backslash).
struct MemoryConsole {
  static constexpr const char* kStartDir = "/start";

  MemoryConsole() : doc(std::make_unique<CZelkDoc>()), view(*doc, platform) {
    platform.currentDirectory = kStartDir;
    platform.files = &files;
    files.AddDirectory(kStartDir);
    files.AddDirectory("/load");
    files.AddDirectory("/save");
  }

  void Start() {
    view.OnCreate();
    SetText(doc->Settings().loadDir, "/load\\");
    SetText(doc->Settings().saveDir, "/save\\");
  }

  test::MemoryFileSystem files;
  test::RecordingPlatform platform;
  std::unique_ptr<CZelkDoc> doc;
  CZelkView view;
};

}  // namespace zelk::fuzz

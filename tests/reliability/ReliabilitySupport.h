// SPDX-License-Identifier: MIT
#pragma once

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "console/ZelkView.h"
#include "environment/EnvironmentSettings.h"
#include "support/MemoryFileSystem.h"
#include "support/RecordingPlatform.h"
#include "support/RecordingSink.h"

namespace zelk::test {

// Keeps every console line as AdvanceLine leaves it, however far the console scrolls.
using LineRecorder = RecordingSink;

// A console whose files are in memory: start-up directory /start, load directory /load and save
// directory /save.
class MemoryConsole {
 public:
  MemoryConsole() : doc(std::make_unique<CZelkDoc>()), view(*doc, platform) {
    doc->SetTranscript(&recorder);
    platform.currentDirectory = "/start";
    platform.files = &files;
    files.AddDirectory("/start");
    files.AddDirectory("/load");
    files.AddDirectory("/save");
  }

  // The window's creation, then the two directories.
  void Start() {
    view.OnCreate();
    SetText(doc->Settings().loadDir, "/load\\");
    SetText(doc->Settings().saveDir, "/save\\");
  }

  // Types the line and Enter; returns what was printed below the typed line.
  std::vector<std::string> Enter(const std::string& text) {
    recorder.lines.clear();
    for (const char c : text) view.OnChar(static_cast<unsigned char>(c));
    view.OnChar(13);
    return {recorder.lines.begin() + 1, recorder.lines.end()};
  }

  std::string Line(int index) const {
    return std::string(doc->LineText(index));
  }

  LineRecorder recorder;
  MemoryFileSystem files;
  RecordingPlatform platform;
  std::unique_ptr<CZelkDoc> doc;
  CZelkView view;
};

inline bool Contains(const std::vector<std::string>& lines, const std::string& text) {
  for (const auto& line : lines) {
    if (line == text) return true;
  }
  return false;
}

inline bool AnyStartsWith(const std::vector<std::string>& lines, const std::string& prefix) {
  for (const auto& line : lines) {
    if (line.rfind(prefix, 0) == 0) return true;
  }
  return false;
}

}  // namespace zelk::test

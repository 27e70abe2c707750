// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "compiler/CompileDriver.h"
#include "compiler/CompiledScript.h"
#include "support/MemoryFileSystem.h"
#include "support/RecordingSink.h"

namespace zelk::test {

// Compiles sources as a compile does without any console: the sources and compiled files in
// memory, the printed lines collected.
class CompileFixture : public ::testing::Test {
 protected:
  CompileFixture() { files.AddDirectory("/s"); }

  // Compiles source as name.scr into name.dat; returns the lines the compile printed.
  std::vector<std::string> Compile(const std::string& source, const std::string& name = "t") {
    files.Put("/s/" + name + ".scr", source);
    RecordingSink out;
    last = CompileScript({"/s\\" + name + ".scr", "/s\\" + name + ".dat"}, files, out, onSetting);
    if (last.status != CompileResult::Status::Ok) ++failedCompiles;
    return out.lines;
  }

  std::string Compiled(const std::string& name = "t") { return files.Get("/s/" + name + ".dat"); }

  static InstructionRecord Record(const std::string& file, int index) {
    return ReadRecord(reinterpret_cast<const unsigned char*>(file.data()) + HEADER_SIZE +
                      RECORD_SIZE * static_cast<std::size_t>(index));
  }
  static CompiledScriptHeader Header(const std::string& file) {
    return ReadHeader(reinterpret_cast<const unsigned char*>(file.data()));
  }

  MemoryFileSystem files;
  SettingHook onSetting;  // none: environment commands in a source are accepted and do nothing
  CompileResult last;
  int failedCompiles = 0;
};

}  // namespace zelk::test

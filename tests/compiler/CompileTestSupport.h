#pragma once

#include <cstring>
#include <string>

#include "compiler/CompiledScript.h"
#include "support/ConsoleFixture.h"

namespace zelk::test {

// A console whose load and save directories are its temporary directory, for compiling sources.
class CompileFixture : public ConsoleFixture {
 protected:
  CompileFixture() {
    SetText(doc.m_settings.loadDir, dir.Path() + "/");
    SetText(doc.m_settings.saveDir, dir.Path() + "/");
  }

  // Compiles name.scr holding source at the console; returns the console output between the
  // typed line and the new prompt.
  std::vector<std::string> Compile(const std::string& source, const std::string& name = "t") {
    dir.Write(name + ".scr", source);
    doc.ClearScreen();
    Enter("compile " + name);
    return Output();
  }

  std::string Compiled(const std::string& name = "t") { return dir.Read(name + ".dat"); }

  static InstructionRecord Record(const std::string& file, int index) {
    return ReadRecord(reinterpret_cast<const unsigned char*>(file.data()) + HEADER_SIZE +
                      RECORD_SIZE * static_cast<std::size_t>(index));
  }
  static CompiledScriptHeader Header(const std::string& file) {
    return ReadHeader(reinterpret_cast<const unsigned char*>(file.data()));
  }
};

inline const std::string kSeparator(254, '-');

}  // namespace zelk::test

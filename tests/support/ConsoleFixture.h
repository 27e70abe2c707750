// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "console/ZelkView.h"
#include "support/RecordingPlatform.h"
#include "support/TempDir.h"

namespace zelk::test {

// A document and a view on a recording platform whose start-up directory is a fresh temporary
// directory; lines are typed as a user would type them.
class ConsoleFixture : public ::testing::Test {
 protected:
  ConsoleFixture() : view(doc, platform) {
    platform.currentDirectory = dir.Path();
    view.OnCreate();
  }

  void Type(const std::string& text) {
    for (const char c : text) view.OnChar(static_cast<unsigned char>(c));
  }
  void Enter(const std::string& text) {
    Type(text);
    view.OnChar(13);
  }

  // The text of a console line up to its terminator, without trailing blanks.
  std::string Line(int index) const {
    std::string text(doc.LineText(index));
    while (!text.empty() && text.back() == ' ') text.pop_back();
    return text;
  }
  // Lines first..last-1 (as Line gives them).
  std::vector<std::string> Lines(int first, int last) const {
    std::vector<std::string> lines;
    for (int i = first; i < last; ++i) lines.push_back(Line(i));
    return lines;
  }
  // What was printed after the typed line at fromLine, up to the current prompt.
  std::vector<std::string> Output(int typedLine = 0) const {
    return Lines(typedLine + 1, doc.CursorLine());
  }

  TempDir dir;
  RecordingPlatform platform;
  CZelkDoc doc;
  CZelkView view;
};

// A console whose load and save directories are its temporary directory, for compiling sources.
class ConsoleCompileFixture : public ConsoleFixture {
 protected:
  ConsoleCompileFixture() {
    SetText(doc.Settings().loadDir, dir.Path() + "/");
    SetText(doc.Settings().saveDir, dir.Path() + "/");
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
};

inline const std::string kSeparator(254, '-');

}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <vector>

namespace zelk {

// What the zelk command line asks for.
struct CommandLine {
  enum class Mode { Desktop, Batch, Decompile, Check, Graph, Lsp, Help, Version, UsageError };

  Mode mode = Mode::Desktop;
  // Batch mode: the -c lines, or the file given to --batch ("-" or empty: standard input).
  std::vector<std::string> lines;
  bool fromFile = false;
  std::string file;
  int consoleLines = 50;
  // Desktop mode: a file name to open as the document ("" for none).
  std::string documentName;
  // Decompile mode: the compiled file.
  std::string compiledFile;
  // Check mode: the sources, in order; Graph mode: the one source ("-": standard input).
  std::vector<std::string> sourceFiles;
  // UsageError: what was wrong.
  std::string error;
};

CommandLine ParseCommandLine(int argc, const char* const* argv);

// The text of --help.
const char* UsageText();

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "compiler/Diagnostic.h"

namespace zelk {

class FileSystem;
class LineSink;
struct ParsedStatement;

// The two files of a compile, as Zelk texts (the texts that messages show; the file layer maps
// them to host paths).
struct CompileJob {
  std::string sourcePath;
  std::string outputPath;
};

// Carries out an environment command met in a source being compiled, printing what it prints.
// Returns the reason when the command is refused (the compile then stops at that line), or
// nothing when it was carried out.
using SettingHook = std::function<std::optional<std::string>(const ParsedStatement&)>;

struct CompileResult {
  enum class Status {
    Ok,              // the compiled file is complete
    SourceError,     // a line of the source cannot be compiled: error says which and why
    SourceNotFound,  // the source cannot be opened
    CannotCreate,    // the compiled file cannot be created
    WriteFailed,     // writing the compiled file failed (after a source error too, if error is set)
    ReadFailed,      // reading the source failed after it was opened
  };

  Status status = Status::Ok;
  int instructionCount = 0;  // the records written
  int interceptCount = 0;    // the distinct on_use users
  std::optional<Diagnostic> error;
};

// Compiles the source into the compiled file: a first pass collects the labels, the second
// carries out environment commands through onSetting, encodes every script statement and writes
// it at once. What the compile prints on the way (the confirmations of settings, the on_use lines,
// the message of the line it stops at, the intercept count of a compile that succeeds) goes to
// out. At the first error the compile stops; the compiled file keeps its zero header and the
// records before the faulty line.
CompileResult CompileScript(const CompileJob& job, FileSystem& files, LineSink& out,
                            const SettingHook& onSetting);

// The line that ends a compile: "Compile successful. …", or why the files could not be used.
// Nothing for a source error, whose message stands already.
void PrintCompileResult(const CompileResult& result, const CompileJob& job, LineSink& out);

}  // namespace zelk

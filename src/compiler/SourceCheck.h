// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "compiler/CompileDriver.h"

namespace zelk {

// What the console prints when a source being compiled holds a compile line: a compile inside a
// compile is refused.
inline constexpr const char* NESTED_COMPILE_TEXT =
    "compile cannot be used inside a script that is being compiled.";

// One finding of a check: an error stops the compile at that line; a warning names what the
// compile accepts but is almost surely a slip.
struct SourceFinding {
  enum class Severity { Error, Warning };

  Severity severity = Severity::Error;
  int line = 0;  // 1 for the first line of the source
  // Windows-1252 text: for an error, what the console prints for it (a usage is the help lines of
  // the entry, joined by newlines); for the errors that the console announces only by the
  // failed-compile notice, the line that batch mode reports.
  std::string message;
};

// A label name in a source line: where a label line defines it, or where a statement names it.
struct LabelSite {
  std::string name;
  int line = 0;    // 1 for the first line
  int column = 0;  // the index of the name's first character in the line
  int length = 0;
};

struct SourceCheck {
  std::vector<SourceFinding> findings;  // in line order; errors before warnings on one line
  std::vector<LabelSite> definitions;   // every label line, in file order
  // every label that a statement names whose arguments are all well-formed (";" aside)
  std::vector<LabelSite> references;
  int lineCount = 0;  // the lines that the compile reads
};

// Checks a source held in memory (Windows-1252 bytes, as a .scr file holds them) as the compile
// would read and compile it, without stopping at the first error: every line that would stop the
// compile is reported with the message the console prints for it. Environment commands go to
// checkSetting, which must leave no trace (check them on a copy of the settings); it returns why a
// command is refused, or nothing. Nothing is written, printed or carried out here.
SourceCheck CheckSource(std::string_view text, const SettingHook& checkSetting);

// Where a statement names a label: the token slot of the label argument of the entry, or 0 when
// the entry names none (goto and start in slot 1, the intercepts in slot 2).
int LabelTokenSlot(int commandIndex);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "compiler/CompileDriver.h"
#include "compiler/SourceFlow.h"

namespace zelk {

// What the console prints when a source being compiled holds a compile line: a compile inside a
// compile is refused.
inline constexpr const char* NESTED_COMPILE_TEXT =
    "compile cannot be used inside a script that is being compiled.";

// One finding of a check: an error stops the compile at that line; a warning names what the
// compile accepts but is almost surely a slip; information names what compiling the source does
// beyond writing the compiled file.
struct SourceFinding {
  enum class Severity { Error, Warning, Information };
  enum class Kind {
    Error,           // a line that stops the compile
    Usage,           // an error whose message is the usage of the statement
    BadInstruction,  // an error: no statement word, or a word that is not in the table
    NoEol,           // an error: the ";" that ends the statement is missing
    LabelNotFound,   // an error: a statement names a label that no line defines (its columns)
    LineNotRead,     // the part of a line past 255 characters
    NoLineFeed,      // a last line without a line feed
    LabelTwice,      // a label line whose name an earlier label line has
    LabelUnused,     // a label that no statement names
    LabelUnreached,  // a label that no path reaches
    Unreachable,     // a statement that no path reaches
    IgnoredText,     // text after the end of a statement
    Encoding,        // text that the game will not show as the editor does
    Setting,         // a setting line that changes how a program is started
  };

  Severity severity = Severity::Error;
  Kind kind = Kind::Error;
  int line = 0;  // 1 for the first line of the source
  // The last line it covers: the line itself, but for a run of statements that never run.
  int lastLine = 0;
  // Where the finding starts in its line (0 for the first character) and how many characters it
  // covers; a length of 0 means to the end of the line (of lastLine), and column and length 0
  // the whole line.
  int column = 0;
  int length = 0;
  // What it covers does nothing: a statement that never runs, a label that nothing uses or reaches
  // (editors grey it out).
  bool unnecessary = false;
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
  // In line order; on one line, errors first, then warnings, then information, each by column.
  std::vector<SourceFinding> findings;
  std::vector<LabelSite> definitions;   // every label line, in file order
  // every label that a statement names whose arguments are all well-formed (";" aside)
  std::vector<LabelSite> references;
  int lineCount = 0;  // the lines that the compile reads
  SourceFlow flow;    // how the script runs: its blocks, their edges, what is reached
};

// How the text of a source reaches the check: as the bytes of a .scr file, each one a
// Windows-1252 character, or as the characters that an editor holds, in UTF-8.
enum class SourceEncoding { Cp1252, Utf8 };

// Checks a source held in memory as the compile would read and compile it, without stopping at
// the first error: every line that would stop the compile is reported with the message the
// console prints for it, and the warnings name what the compile accepts but does not do as
// written: statements that never run, labels that nothing reaches, text that the compile ignores,
// text that the game shows otherwise than the editor. Environment commands go to checkSetting,
// which must leave no trace (check them on a copy of the settings); it returns why a command is
// refused, or nothing. Nothing is written, printed or carried out here.
//
// With SourceEncoding::Utf8, the text is converted as the editor's characters would be saved in
// Windows-1252, and each character that has no place there is a warning; with Cp1252, a line that
// holds what looks like UTF-8, or a byte that Windows-1252 leaves undefined, is one. Columns count
// characters in both.
SourceCheck CheckSource(std::string_view text, const SettingHook& checkSetting,
                        SourceEncoding encoding = SourceEncoding::Cp1252);

}  // namespace zelk

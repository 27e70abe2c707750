// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zelk {

class LineSink;

// Why a source line cannot be compiled. The console, batch mode and an editor each show it their
// own way.
struct Diagnostic {
  enum class Kind {
    BadInstruction,   // no statement word, or a word that is not in the table
    NoEol,            // the ";" is missing
    Usage,            // a known word with the wrong punctuation or arguments
    LabelNotFound,    // goto, start or an intercept names a label that no line defines
    TooManyLabels,    // the 101st label
    TooManyUsers,     // the 101st on_use user
    BadAttenuation,   // say with a word other than the four attenuation words
    CannotEncode,     // more arguments of one kind than a record holds
    SettingRefused,   // an environment command that was refused (a nested compile, say)
  };

  Kind kind = Kind::BadInstruction;
  int line = 0;  // 1 for the first line of the source
  // One line of text (Windows-1252): what the console prints for the error, or, where it prints
  // the usage or nothing, a line that says what is wrong.
  std::string message;
  int commandIndex = -1;  // the entry of the statement word, where there is one
};

// The console's lines for a diagnostic: the message, the usage of the statement for Usage, and
// nothing for the errors that the console announces only by the failed-compile notice.
void PrintDiagnostic(const Diagnostic& diagnostic, LineSink& out);

}  // namespace zelk

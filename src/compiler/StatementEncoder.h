// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "compiler/CompiledScript.h"
#include "compiler/Diagnostic.h"

namespace zelk {

class InterceptUsers;
class LabelLookup;
struct ParsedStatement;

// What the encoder made of a statement: a finished record, or why there is none; and the line
// that an on_use prints on the console ("When used by …", "User … intercept killed.").
struct EncodeOutcome {
  bool ok = true;
  Diagnostic::Kind errorKind = Diagnostic::Kind::CannotEncode;
  std::string error;  // the message, when !ok
  std::string note;   // empty for every statement but on_use
};

// Fills record from a well-formed script statement, with labels resolved through the label table,
// pseudo-targets and attenuation words translated into their codes, and on_use users counted.
EncodeOutcome EncodeStatement(const ParsedStatement& statement, const LabelLookup& labels,
                              InterceptUsers& users, InstructionRecord& record);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/Diagnostic.h"

#include "language/CommandTable.h"
#include "platform/LineSink.h"

namespace zelk {

void PrintDiagnostic(const Diagnostic& diagnostic, LineSink& out) {
  switch (diagnostic.kind) {
    case Diagnostic::Kind::Usage:
      PrintUsage(diagnostic.commandIndex, out);
      break;
    case Diagnostic::Kind::BadAttenuation:
    case Diagnostic::Kind::CannotEncode:
      break;
    default:
      out.PrintLine(diagnostic.message);
      break;
  }
}

}  // namespace zelk

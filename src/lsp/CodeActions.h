// SPDX-License-Identifier: MIT
#pragma once

#include "lsp/OpenDocument.h"

// The quick fixes of the findings that the check publishes, and the code lens that compiles the
// document.
namespace zelk::lsp {

// The command that compiles a document's saved file (its one argument: the document's URI).
inline constexpr const char* COMPILE_COMMAND = "zelk.compile";

// The diagnostic published for a finding; those of the findings that have quick fixes carry, as
// their data, what the finding is.
Diagnostic FindingDiagnostic(const OpenDocument& document, const SourceFinding& finding,
                             const ClientOptions& client);

// The quick fixes of the findings on the lines that range covers, each with the diagnostic it
// mends and the edit that mends it; none when context.only asks for other kinds.
Json CodeActions(const OpenDocument& document, const Range& range, const Json& context,
                 const ClientOptions& client);

// "Compile" on the first line, running the compile command, where the user keeps the lens on.
Json CodeLenses(const OpenDocument& document, const ClientOptions& client);

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#pragma once

#include "lsp/OpenDocument.h"

// Formatting of a whole document and of a range: each statement, label and setting line in the
// source formatter's spacing. The answer is the protocol's list of text edits, one for each line
// that changes, covering only the characters between the first and the last that change.
namespace zelk::lsp {

Result DocumentFormatting(const OpenDocument& document, const ClientOptions& client);
// The lines that the range touches; a range that ends at the start of a later line leaves that
// line out.
Result RangeFormatting(const OpenDocument& document, const Range& range,
                     const ClientOptions& client);

}  // namespace zelk::lsp

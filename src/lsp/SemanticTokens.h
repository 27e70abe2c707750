// SPDX-License-Identifier: MIT
#pragma once

#include "lsp/OpenDocument.h"

// Semantic tokens of a whole document: statement words, settings, the label word, labels (their
// definitions with the modifier "declaration"), pseudo-targets, attenuation words, strings,
// numbers and comments.
namespace zelk::lsp {

// The legend for the server's capabilities.
Json SemanticTokensLegend();
Json SemanticTokensFull(const OpenDocument& document, const ClientOptions& client);

}  // namespace zelk::lsp

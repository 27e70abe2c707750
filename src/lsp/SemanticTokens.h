// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "lsp/OpenDocument.h"

// Semantic tokens of a whole document: statement words, settings, the label word, labels (their
// definitions with the modifier "declaration"), pseudo-targets, attenuation words, strings,
// numbers and comments.
namespace zelk::lsp {

// The legend for the server's capabilities.
Json SemanticTokensLegend();
// The tokens of a whole document as the protocol encodes them: five numbers a token (its line and
// start, each from the token before it, its length, type and modifiers).
std::vector<std::uint32_t> SemanticTokenData(const OpenDocument& document,
                                             const ClientOptions& client);
// The answer to a full request: the data and the id that a later delta request names.
Result SemanticTokensFull(const std::vector<std::uint32_t>& data, const std::string& resultId);
// The answer to a delta request: one edit that turns the data sent before into the new data,
// from the end of their common start to the start of their common end (none when equal).
Result SemanticTokensDelta(const std::vector<std::uint32_t>& before,
                           const std::vector<std::uint32_t>& data, const std::string& resultId);

}  // namespace zelk::lsp

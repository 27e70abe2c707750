// SPDX-License-Identifier: MIT
#pragma once

#include <map>
#include <string>

#include "lsp/OpenDocument.h"

// The answers that help while writing: signature help, inlay hints, folding ranges, document
// highlights and the labels of every open document. Each returns the result member of the
// protocol's answer.
namespace zelk::lsp {

Json SignatureHelp(const OpenDocument& document, const Position& position,
                   const ClientOptions& client);
Result InlayHints(const OpenDocument& document, const Range& range, const ClientOptions& client);
Result FoldingRanges(const OpenDocument& document, const ClientOptions& client);
Result DocumentHighlights(const OpenDocument& document, const Position& position,
                          const ClientOptions& client);
Result WorkspaceSymbols(const std::map<std::string, OpenDocument>& documents,
                        const std::string& query, const ClientOptions& client);

// A statement line as the compile parses it: its text (Windows-1252, tabs as spaces, at most 255
// characters, comment and trailing blanks cut) and the parse, whose tokens point into text.
struct ParsedLine {
  std::string text;
  ParsedStatement parsed;
};
ParsedLine ParseLine(const OpenDocument& document, int line);

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "lsp/OpenDocument.h"

// The answers to the requests about a place in a document: completion, hover and the navigation
// between labels and the statements that name them. Each returns the result member of the
// protocol's answer (null where there is nothing to say) or throws RequestError.
namespace zelk::lsp {

Result Completion(const OpenDocument& document, const Position& position,
                  const ClientOptions& client);
Json Hover(const OpenDocument& document, const Position& position, const ClientOptions& client);
Json Definition(const OpenDocument& document, const Position& position,
                const ClientOptions& client);
Result References(const OpenDocument& document, const Position& position, bool withDefinitions,
                  const ClientOptions& client);
Result DocumentSymbols(const OpenDocument& document, const ClientOptions& client);
Json PrepareRename(const OpenDocument& document, const Position& position,
                   const ClientOptions& client);
Json Rename(const OpenDocument& document, const Position& position, const std::string& newName,
            const ClientOptions& client);

}  // namespace zelk::lsp

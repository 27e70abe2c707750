// SPDX-License-Identifier: MIT
#include "platform/Process.h"

namespace zelk {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

bool NextCommandArgument(const std::string& text, std::size_t& pos, std::string& argument) {
  // Between arguments no quote is open and none is counted, so each starts afresh.
  argument.clear();
  int quoteCount = 0;
  bool inQuote = false;
  for (; pos < text.size(); ++pos) {
    const char c = text[pos];
    if (c == '"') {
      if (++quoteCount == 3) {
        quoteCount = 0;
        argument += c;
      }
      continue;
    }
    if (quoteCount == 1) inQuote = !inQuote;
    quoteCount = 0;
    if (!inQuote && IsBlank(c)) {
      if (!argument.empty()) {
        ++pos;
        return true;
      }
    } else {
      argument += c;
    }
  }
  return !argument.empty();
}

std::vector<std::string> SplitCommand(const std::string& text) {
  std::vector<std::string> arguments;
  std::size_t pos = 0;
  std::string argument;
  while (NextCommandArgument(text, pos, argument)) arguments.push_back(argument);
  return arguments;
}

}  // namespace zelk

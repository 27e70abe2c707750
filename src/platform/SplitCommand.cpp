// SPDX-License-Identifier: MIT
#include "platform/Process.h"

namespace zelk {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::vector<std::string> SplitCommand(const std::string& text) {
  std::vector<std::string> arguments;
  std::string current;
  int quoteCount = 0;
  bool inQuote = false;
  for (const char c : text) {
    if (c == '"') {
      if (++quoteCount == 3) {
        quoteCount = 0;
        current += c;
      }
      continue;
    }
    if (quoteCount == 1) inQuote = !inQuote;
    quoteCount = 0;
    if (!inQuote && IsBlank(c)) {
      if (!current.empty()) arguments.push_back(std::move(current));
      current.clear();
    } else {
      current += c;
    }
  }
  if (!current.empty()) arguments.push_back(std::move(current));
  return arguments;
}

}  // namespace zelk

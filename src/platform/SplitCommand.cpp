#include "platform/Platform.h"

namespace zelk {
namespace {

bool IsBlank(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r') || c == 0xA0;
}

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
    if (!inQuote && IsBlank(static_cast<unsigned char>(c))) {
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

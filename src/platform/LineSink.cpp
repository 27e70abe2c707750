// SPDX-License-Identifier: MIT
#include "platform/LineSink.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace zelk {
namespace {

__attribute__((format(printf, 1, 0))) std::string FormatArguments(const char* format,
                                                                  va_list args) {
  // A console line holds 255 characters; the formatted text is cut there.
  char text[256];
  const int length = std::vsnprintf(text, sizeof text, format, args);
  if (length < 0) return {};
  return std::string(text,
                     std::min<std::size_t>(static_cast<std::size_t>(length), sizeof text - 1));
}

}  // namespace

std::string FormatLine(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = FormatArguments(format, args);
  va_end(args);
  return text;
}

void LineSink::PrintFormat(const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = FormatArguments(format, args);
  va_end(args);
  PrintLine(text);
}

}  // namespace zelk

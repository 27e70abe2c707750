// SPDX-License-Identifier: MIT
#include "platform/LineSink.h"

#include <cstdarg>
#include <cstdio>

namespace zelk {

void LineSink::PrintFormat(const char* format, ...) {
  // A console line holds 255 characters; the formatted text is cut there.
  char text[256];
  va_list args;
  va_start(args, format);
  const int length = std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length < 0) return;
  PrintLine(std::string_view(text, static_cast<std::size_t>(length) < sizeof text
                                       ? static_cast<std::size_t>(length)
                                       : sizeof text - 1));
}

}  // namespace zelk

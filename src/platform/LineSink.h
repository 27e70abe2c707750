// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zelk {

// Where console lines go: the screen buffer of the console, the transcript of batch mode, or
// nowhere. Texts are Windows-1252; a line holds at most 255 characters and a longer text is cut.
class LineSink {
 public:
  virtual ~LineSink() = default;

  virtual void PrintLine(std::string_view text) = 0;
  // PrintLine of a message formatted from a fixed format (never a value as the format).
  void PrintFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
};

// A message formatted from a fixed format, cut where a console line ends (255 characters).
std::string FormatLine(const char* format, ...) __attribute__((format(printf, 1, 2)));

// A sink that keeps nothing: for checking a source without a console.
class NullLineSink final : public LineSink {
 public:
  void PrintLine(std::string_view) override {}
};

}  // namespace zelk

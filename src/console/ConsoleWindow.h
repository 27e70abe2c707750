// SPDX-License-Identifier: MIT
#pragma once

#include <bitset>
#include <string>

#include "console/ZelkDoc.h"

namespace zelk {

// Which rows of the console (0..49) a paint is asked for.
using RowSet = std::bitset<CONSOLE_LINES>;

// How a window tells a double click from two single ones: a press within intervalMs of the last
// one, no farther from it than distance pixels (across and down added), is the next click.
struct ClickRules {
  unsigned intervalMs = 400;
  int distance = 4;
};

// What the console screen (ConsoleScreen) needs from the window that shows it: asking for
// paints, the clipboard, and what only the window can measure. Each window (Qt, Win32)
// implements these and nothing more; everything else the console does lives in the screen.
class ConsoleWindow {
 public:
  virtual ~ConsoleWindow() = default;

  // Asks for a paint of the rows marked (each row the console's width and a line high), or of the
  // whole console area. now: before returning (the change was made outside any key or mouse
  // message, and its picture is due at once); otherwise with the window's next paint.
  virtual void InvalidateRows(const RowSet& rows, bool now) = 0;
  virtual void InvalidateAll(bool now) = 0;
  // Calls ConsoleScreen::ShowPostedChanges once control is back in the window's event loop (a
  // queued call, a posted message).
  virtual void PostShowChanges() = 0;

  // The height of the console area in pixels.
  virtual int ClientHeight() const = 0;
  // The width the font draws a character with, in pixels; not always a whole number.
  virtual double CellAdvance() const = 0;
  // The line height of the next larger (direction 1) or smaller (-1) size of the font that the
  // window can draw within MIN_FONT_HEIGHT..MAX_FONT_HEIGHT; the font's own height when there is
  // none.
  virtual int NextFontHeight(const FontDescription& font, int direction) const = 0;
  virtual ClickRules DoubleClickRules() const = 0;

  // The clipboard's text, as UTF-8.
  virtual std::string ClipboardText() const = 0;
  virtual void SetClipboardText(const std::string& utf8) = 0;
};

// The line heights the font sizes may take.
inline constexpr int MIN_FONT_HEIGHT = 8;
inline constexpr int MAX_FONT_HEIGHT = 96;

}  // namespace zelk

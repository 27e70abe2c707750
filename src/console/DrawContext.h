// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace zelk {

struct FontDescription;

// The drawing side of the console paint: just what the paint rules use, so they can be tested
// without a display. Colours are colour values with red in the low byte, then green, then blue.
class DrawContext {
 public:
  virtual ~DrawContext() = default;
  // Makes a font from the description the current one; RestoreFont puts the previous one back.
  virtual void SelectFont(const FontDescription& font) = 0;
  virtual void RestoreFont() = 0;
  virtual void SetBkColor(std::uint32_t color) = 0;
  virtual void SetTextColor(std::uint32_t color) = 0;
  // Draws count Windows-1252 characters at the pixel position, each cell opaque in the
  // background colour.
  virtual void TextOut(int x, int y, const char* text, int count) = 0;
};

// A paint without a screen (batch mode, tests): the paint rules run and nothing is drawn.
class NullDrawContext final : public DrawContext {
 public:
  void SelectFont(const FontDescription&) override {}
  void RestoreFont() override {}
  void SetBkColor(std::uint32_t) override {}
  void SetTextColor(std::uint32_t) override {}
  void TextOut(int, int, const char*, int) override {}
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include <vector>

#include "console/DrawContext.h"

namespace zelk {

struct FontDescription;

// The font a description makes: its line height is the description's height (a positive
// LOGFONT height is the cell's), any width the face gives it.
LOGFONTW LogFontFrom(const FontDescription& font);
// The width of a cell of the font, in pixels: every cell is drawn this far from the last.
int MeasureCellWidth(const FontDescription& font);
// The console's font at a screen's scale (dpi): a scalable fixed-pitch face (Consolas, Lucida
// Console, Courier New, or any TrueType face of fixed pitch), 16 pixels high at 96 dpi.
FontDescription ConsoleFontFor(UINT dpi);

// The console paint on a GDI device context: each string drawn opaque in the background colour,
// every cell in its own column (ExtTextOutW with the cell's advance for each character, which is
// TextOutW's drawing with the columns given), the font made anew for each paint.
class GdiDrawContext final : public DrawContext {
 public:
  GdiDrawContext(HDC dc, int cellWidth, int lineHeight);
  ~GdiDrawContext() override;
  GdiDrawContext(const GdiDrawContext&) = delete;
  GdiDrawContext& operator=(const GdiDrawContext&) = delete;

  void SelectFont(const FontDescription& font) override;
  void RestoreFont() override;
  void SetBkColor(std::uint32_t color) override;
  void SetTextColor(std::uint32_t color) override;
  void TextOut(int x, int y, const char* text, int count) override;

 private:
  HDC m_dc;
  int m_cellWidth;
  int m_lineHeight;
  HFONT m_font = nullptr;
  HGDIOBJ m_previousFont = nullptr;
  std::vector<wchar_t> m_text;
  std::vector<INT> m_advances;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QPainter>
#include <QRegion>
#include <QString>
#include <bitset>
#include <cstdint>

#include "console/DrawContext.h"
#include "console/ZelkDoc.h"

class QPaintDevice;

namespace zelk {

// The description of a Qt font in the console's terms: the height is the font's pixel height
// (the line height), the face name its family.
FontDescription DescribeFont(const QFont& font);
// A font made from a description, with the pixel height the description asks for.
QFont FontFromDescription(const FontDescription& description);
// A colour value (red in the low byte, then green, then blue) as a QColor.
QColor ColorFromValue(std::uint32_t value);

// The pixel rows the characters of a font take as they are drawn (at the screens' device pixel
// ratio): above the baseline, and from it down. At least the font's ascent and descent, and as
// many more as the ink of any Windows-1252 character reaches: in many sizes the underscore lies
// below the descent and the accents of capitals above the ascent. Their sum is the font's line
// height, so that a row holds every glyph whole.
struct GlyphRows {
  int above = 0;
  int below = 0;
  int Height() const { return above + below; }
};
GlyphRows MeasureGlyphRows(const QFont& font);

// How the console font lays out its cells: the line height, the baseline, and the width it
// really draws a character with, which is rarely a whole number of pixels (7.22 for a 9-point
// font, where the whole-pixel width is 7).
struct CellMetrics {
  int lineHeight = 16;
  int ascent = 12;    // the baseline's distance from the top of the row (GlyphRows::above)
  int cellWidth = 8;  // the whole-pixel width the font reports
  qreal advance = 8;  // the width it draws with
  // The codes the font does not draw with that width (line feed, form feed, tab and carriage
  // return take none or a tab stop's, the soft hyphen none, a fallback font's glyph its own):
  // each is drawn by itself in its own cell, so the cells after it keep their columns.
  std::bitset<256> drawnAlone;

  // The pixels a row of count cells covers, as far as its glyphs reach.
  int RowWidth(int count) const;
  // The left edge of a column, to the nearest pixel.
  int ColumnX(int column) const { return qRound(column * advance); }
};
// The metrics of the font on the device it is drawn on (its pixel ratio can change the advance).
CellMetrics MeasureCells(const QFont& font, int lineHeight, const QPaintDevice* device = nullptr);

// The console paint on a QPainter. Every text cell is painted opaque in the background colour;
// each row is drawn inside its own rectangle, so that a glyph never reaches into the next row and
// a row looks the same whether it is drawn alone or with the others; the row is high enough for
// every glyph whole (GlyphRows). Rows outside the region being repainted, when one is given, are
// not drawn (the painter would clip them away anyway).
class QtDrawContext final : public DrawContext {
 public:
  explicit QtDrawContext(QPainter& painter, const QRegion* region = nullptr)
      : m_painter(painter), m_region(region) {}

  void SelectFont(const FontDescription& font) override;
  void RestoreFont() override;
  void SetBkColor(std::uint32_t color) override { m_background = ColorFromValue(color); }
  void SetTextColor(std::uint32_t color) override { m_text = ColorFromValue(color); }
  void TextOut(int x, int y, const char* text, int count) override;

 private:
  QPainter& m_painter;
  const QRegion* m_region;
  QFont m_previousFont;
  bool m_fontSelected = false;
  CellMetrics m_metrics;
  QColor m_background = Qt::black;
  QColor m_text = Qt::black;
  QString m_buffer;
};

// Windows-1252 cells as the characters Qt draws, trailing blanks left out.
QString CellsToString(const char* text, int count);

// Draws count Windows-1252 cells from x with the baseline at y, each in its own column: the runs
// of cells that the font draws with the cell's width as one string each, every other cell by
// itself at its column. Only the glyphs: the background is the caller's. buffer is scratch space.
void DrawCells(QPainter& painter, const CellMetrics& metrics, int x, int y, const char* text,
               int count, QString& buffer);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <QColor>
#include <QFont>
#include <QHash>
#include <QPainter>
#include <QPixmap>
#include <QString>
#include <cstdint>

#include "console/ZelkDoc.h"
#include "console/DrawContext.h"

namespace zelk {

// The description of a Qt font in the console's terms: the height is the font's pixel height
// (the line height), the face name its family.
FontDescription DescribeFont(const QFont& font);
// A font made from a description, with the pixel height the description asks for.
QFont FontFromDescription(const FontDescription& description);
// A colour value (red in the low byte, then green, then blue) as a QColor.
QColor ColorFromValue(std::uint32_t value);

// The lines drawn last, rendered, by position: every key repaints all 50 lines, of which only one
// or two have changed, so the rest are copied from their picture instead of drawing their glyphs
// again.
class TextLayoutCache {
 public:
  // The picture of text drawn in these colours and font, made anew when any of them changed.
  const QPixmap& Render(int x, int y, const QString& text, const QFont& font,
                        const QColor& textColor, const QColor& background, int cellWidth,
                        int lineHeight, int ascent, qreal pixelRatio);

 private:
  struct Entry {
    QString text;
    QFont font;
    QColor textColor;
    QColor background;
    QPixmap picture;
  };
  QHash<quint64, Entry> m_entries;
};

// The console paint on a QPainter. Every text cell is painted opaque in the background colour.
class QtDrawContext final : public DrawContext {
 public:
  explicit QtDrawContext(QPainter& painter, TextLayoutCache* cache = nullptr)
      : m_painter(painter), m_cache(cache) {}

  void SelectFont(const FontDescription& font) override;
  void RestoreFont() override;
  void SetBkColor(std::uint32_t color) override { m_background = ColorFromValue(color); }
  void SetTextColor(std::uint32_t color) override { m_text = ColorFromValue(color); }
  void TextOut(int x, int y, const char* text, int count) override;

 private:
  QPainter& m_painter;
  TextLayoutCache* m_cache;
  QFont m_previousFont;
  bool m_fontSelected = false;
  int m_lineHeight = 16;
  int m_ascent = 12;
  int m_cellWidth = 8;  // the font is fixed-pitch
  QColor m_background = Qt::black;
  QColor m_text = Qt::black;
  QString m_buffer;
};

}  // namespace zelk

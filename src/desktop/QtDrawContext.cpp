// SPDX-License-Identifier: MIT
#include "desktop/QtDrawContext.h"

#include <QFontMetrics>
#include <QHash>
#include <algorithm>
#include <cstring>

#include "platform/Cp1252.h"

namespace zelk {

FontDescription DescribeFont(const QFont& font) {
  const QFontMetrics metrics(font);
  FontDescription description;
  description.height = metrics.height();
  description.width = metrics.averageCharWidth();
  description.weight = font.weight();  // Qt 6 weights use the same 100..900 scale
  description.italic = font.italic();
  description.pitchAndFamily = 1;  // fixed pitch
  const std::string face = Utf8ToCp1252(font.family().toStdString());
  std::memset(description.faceName, 0, sizeof description.faceName);
  std::memcpy(description.faceName, face.data(),
              std::min(face.size(), sizeof description.faceName - 1));
  return description;
}

QFont FontFromDescription(const FontDescription& d) {
  // The paint makes the font anew every time; the search for the pixel size is done once.
  static QHash<QString, QFont> cache;
  const QString face = QString::fromStdString(Cp1252ToUtf8(d.faceName));
  const QString key =
      QStringLiteral("%1/%2/%3/%4").arg(face).arg(d.height).arg(d.weight).arg(d.italic ? 1 : 0);
  const auto found = cache.constFind(key);
  if (found != cache.constEnd()) return *found;

  QFont font(face);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setWeight(static_cast<QFont::Weight>(d.weight > 0 ? d.weight : 400));
  font.setItalic(d.italic);
  font.setKerning(false);
  // The height is the height of a line, as with a font description's positive height: find the
  // largest pixel size whose line height does not exceed it.
  int pixelSize = d.height > 1 ? d.height : 1;
  for (; pixelSize > 1; --pixelSize) {
    font.setPixelSize(pixelSize);
    if (QFontMetrics(font).height() <= d.height) break;
  }
  font.setPixelSize(pixelSize);
  cache.insert(key, font);
  return font;
}

QColor ColorFromValue(std::uint32_t value) {
  return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                static_cast<int>((value >> 16) & 0xFF));
}

const QPixmap& TextLayoutCache::Render(int x, int y, const QString& text, const QFont& font,
                                       const QColor& textColor, const QColor& background,
                                       int cellWidth, int lineHeight, int ascent,
                                       qreal pixelRatio) {
  const quint64 key =
      (static_cast<quint64>(static_cast<quint32>(x)) << 32) | static_cast<quint32>(y);
  Entry& entry = m_entries[key];
  if (entry.picture.isNull() || entry.text != text || entry.font != font ||
      entry.textColor != textColor || entry.background != background ||
      entry.picture.devicePixelRatio() != pixelRatio) {
    entry.text = text;
    entry.font = font;
    entry.textColor = textColor;
    entry.background = background;
    // Drawn at the screen's own resolution, so that the copy is as sharp as drawing text.
    // A glyph may reach past its cell when the font's advance is not a whole pixel.
    const int width = std::max(cellWidth * static_cast<int>(text.size()),
                               QFontMetrics(font).horizontalAdvance(text) + 1);
    entry.picture = QPixmap(QSize(width, lineHeight) * pixelRatio);
    entry.picture.setDevicePixelRatio(pixelRatio);
    entry.picture.fill(background);
    QPainter painter(&entry.picture);
    painter.setFont(font);
    painter.setPen(textColor);
    painter.drawText(0, ascent, text);
  }
  return entry.picture;
}

void QtDrawContext::SelectFont(const FontDescription& description) {
  m_previousFont = m_painter.font();
  m_fontSelected = true;
  m_painter.setFont(FontFromDescription(description));
  m_lineHeight = description.height;
  const QFontMetrics metrics(m_painter.font());
  m_ascent = metrics.ascent();
  m_cellWidth = metrics.horizontalAdvance(QLatin1Char('M'));
}

void QtDrawContext::RestoreFont() {
  if (m_fontSelected) m_painter.setFont(m_previousFont);
  m_fontSelected = false;
}

void QtDrawContext::TextOut(int x, int y, const char* text, int count) {
  if (count <= 0) return;
  // Opaque: the cells are filled in the background colour, the full line height. Blanks at the
  // end of the text show nothing else, so only the cells before them get glyphs.
  m_painter.fillRect(x, y, m_cellWidth * count, m_lineHeight, m_background);
  while (count > 0 && text[count - 1] == ' ') --count;
  if (count == 0) return;
  m_buffer.resize(count);
  QChar* cells = m_buffer.data();
  for (int i = 0; i < count; ++i) {
    cells[i] = QChar(static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(text[i]))));
  }
  m_painter.setPen(m_text);
  if (m_cache != nullptr) {
    m_painter.drawPixmap(
        x, y,
        m_cache->Render(x, y, m_buffer, m_painter.font(), m_text, m_background, m_cellWidth,
                        m_lineHeight, m_ascent, m_painter.device()->devicePixelRatioF()));
  } else {
    m_painter.drawText(x, y + m_ascent, m_buffer);
  }
}

}  // namespace zelk

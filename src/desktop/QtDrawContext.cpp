// SPDX-License-Identifier: MIT
#include "desktop/QtDrawContext.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <QPaintDevice>
#include <algorithm>
#include <cmath>
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

int CellMetrics::RowWidth(int count) const {
  return std::max(cellWidth * count, static_cast<int>(std::ceil(advance * count)) + 1);
}

CellMetrics MeasureCells(const QFont& font, int lineHeight, const QPaintDevice* device) {
  // Every paint asks again for the same font: the last answer is kept.
  static QFont lastFont;
  static int lastHeight = -1;
  static int lastDpi = -1;
  static CellMetrics last;
  const int dpi = device != nullptr ? device->logicalDpiY() : 0;
  if (lineHeight == lastHeight && dpi == lastDpi && font == lastFont) return last;

  const QFontMetricsF metrics =
      device != nullptr ? QFontMetricsF(font, device) : QFontMetricsF(font);
  CellMetrics cells;
  cells.lineHeight = lineHeight;
  cells.ascent = QFontMetrics(font).ascent();
  cells.cellWidth = QFontMetrics(font).horizontalAdvance(QLatin1Char('M'));
  // The advance of a whole row, as the row is drawn: one string of 255 characters.
  cells.advance = metrics.horizontalAdvance(QString(LINE_CELLS, QLatin1Char('M'))) / LINE_CELLS;
  if (!(cells.advance > 0)) cells.advance = cells.cellWidth > 0 ? cells.cellWidth : 1;
  lastFont = font;
  lastHeight = lineHeight;
  lastDpi = dpi;
  last = cells;
  return cells;
}

QString CellsToString(const char* text, int count) {
  while (count > 0 && text[count - 1] == ' ') --count;
  QString cells(count, Qt::Uninitialized);
  QChar* out = cells.data();
  for (int i = 0; i < count; ++i) {
    out[i] = QChar(static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(text[i]))));
  }
  return cells;
}

void QtDrawContext::SelectFont(const FontDescription& description) {
  m_previousFont = m_painter.font();
  m_fontSelected = true;
  m_painter.setFont(FontFromDescription(description));
  m_metrics = MeasureCells(m_painter.font(), description.height, m_painter.device());
}

void QtDrawContext::RestoreFont() {
  if (m_fontSelected) m_painter.setFont(m_previousFont);
  m_fontSelected = false;
}

void QtDrawContext::TextOut(int x, int y, const char* text, int count) {
  if (count <= 0) return;
  // Opaque: the cells are filled in the background colour, the full line height, as far as the
  // glyphs can reach.
  const QRect row(x, y, m_metrics.RowWidth(count), m_metrics.lineHeight);
  if (m_region != nullptr && !m_region->intersects(row)) return;
  m_painter.fillRect(row, m_background);
  // Blanks at the end of the text show nothing else, so only the cells before them get glyphs.
  m_buffer = CellsToString(text, count);
  if (m_buffer.isEmpty()) return;
  m_painter.setClipRect(row);
  m_painter.setPen(m_text);
  m_painter.drawText(x, y + m_metrics.ascent, m_buffer);
  m_painter.setClipping(false);
}

}  // namespace zelk

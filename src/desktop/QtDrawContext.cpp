// SPDX-License-Identifier: MIT
#include "desktop/QtDrawContext.h"

#include <QFontInfo>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImage>
#include <QPaintDevice>
#include <QtMath>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "platform/Cp1252.h"

namespace zelk {

namespace {

// The device pixel ratio the console is drawn at: the highest of the screens'.
qreal ScreenRatio() {
  return qGuiApp != nullptr ? qGuiApp->devicePixelRatio() : 1.0;
}

}  // namespace

GlyphRows MeasureGlyphRows(const QFont& font) {
  static QHash<QString, GlyphRows> cache;
  const qreal ratio = ScreenRatio();
  const QString key = font.key() + QStringLiteral("@%1").arg(ratio);
  const auto found = cache.constFind(key);
  if (found != cache.constEnd()) return *found;

  // The console draws with pixel sizes; a font given in points is measured at its pixel size.
  QFont sized(font);
  if (sized.pixelSize() <= 0) sized.setPixelSize(std::max(QFontInfo(font).pixelSize(), 1));
  const QFontMetrics metrics(sized);
  GlyphRows rows{metrics.ascent(), metrics.descent()};
  // Every character is drawn at the same place of an image with a line's room around it; the
  // image's rows that its ink reached give the rows it takes.
  const int margin = std::max(metrics.height(), 1);
  const int left = std::max(metrics.maxWidth(), 1);
  const int baseline = margin + metrics.ascent();
  QImage image(qCeil(3 * left * ratio), qCeil((metrics.height() + 2 * margin) * ratio),
               QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::black);
  QPainter painter(&image);
  painter.setFont(sized);
  painter.setPen(Qt::white);
  for (int code = 1; code < 256; ++code) {
    const char16_t c = static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(code)));
    if (c != u' ') painter.drawText(QPointF(left, baseline), QString(QChar(c)));
  }
  painter.end();
  int top = -1;
  int bottom = -1;
  for (int y = 0; y < image.height(); ++y) {
    const auto* line = reinterpret_cast<const QRgb*>(image.constScanLine(y));
    if (std::any_of(line, line + image.width(), [](QRgb p) { return (p & 0xFFFFFFu) != 0; })) {
      if (top < 0) top = y;
      bottom = y;
    }
  }
  if (top >= 0) {
    const qreal base = baseline * ratio;
    rows.above = std::max(rows.above, qCeil((base - top) / ratio));
    rows.below = std::max(rows.below, qCeil((bottom + 1 - base) / ratio));
  }
  cache.insert(key, rows);
  return rows;
}

FontDescription DescribeFont(const QFont& font) {
  const QFontMetrics metrics(font);
  FontDescription description;
  // The line height holds every glyph whole.
  description.height = MeasureGlyphRows(font).Height();
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
  const QString key = QStringLiteral("%1/%2/%3/%4@%5")
                          .arg(face)
                          .arg(d.height)
                          .arg(d.weight)
                          .arg(d.italic ? 1 : 0)
                          .arg(ScreenRatio());
  const auto found = cache.constFind(key);
  if (found != cache.constEnd()) return *found;

  QFont font(face);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setWeight(static_cast<QFont::Weight>(d.weight > 0 ? d.weight : 400));
  font.setItalic(d.italic);
  font.setKerning(false);
  // The height is the height of a line, as with a font description's positive height: find the
  // largest pixel size whose line height, every glyph whole, does not exceed it. The font's own
  // height is never more, and cheaper to find.
  int pixelSize = d.height > 1 ? d.height : 1;
  for (; pixelSize > 1; --pixelSize) {
    font.setPixelSize(pixelSize);
    if (QFontMetrics(font).height() <= d.height && MeasureGlyphRows(font).Height() <= d.height) {
      break;
    }
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
  cells.ascent = MeasureGlyphRows(font).above;
  cells.cellWidth = QFontMetrics(font).horizontalAdvance(QLatin1Char('M'));
  // The advance of a whole row, as the row is drawn: one string of 255 characters.
  cells.advance = metrics.horizontalAdvance(QString(LINE_CELLS, QLatin1Char('M'))) / LINE_CELLS;
  if (!(cells.advance > 0)) cells.advance = cells.cellWidth > 0 ? cells.cellWidth : 1;
  const qreal cell = metrics.horizontalAdvance(QStringLiteral("M"));
  for (int code = 0; code < 256; ++code) {
    const char16_t c = static_cast<char16_t>(Cp1252ToCodePoint(static_cast<unsigned char>(code)));
    cells.drawnAlone[static_cast<std::size_t>(code)] =
        code == 0 || metrics.horizontalAdvance(QString(QChar(c))) != cell;
  }
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
  m_painter.setClipRect(row);
  m_painter.setPen(m_text);
  DrawCells(m_painter, m_metrics, x, y + m_metrics.ascent, text, count, m_buffer);
  m_painter.setClipping(false);
}

void DrawCells(QPainter& painter, const CellMetrics& metrics, int x, int y, const char* text,
               int count, QString& buffer) {
  // Blanks at the end of the text show nothing, so only the cells before them get glyphs.
  while (count > 0 && text[count - 1] == ' ') --count;
  int run = 0;  // the first cell of the run being gathered
  for (int i = 0; i <= count; ++i) {
    const bool alone = i < count && metrics.drawnAlone[static_cast<unsigned char>(text[i])];
    if (i < count && !alone) continue;
    if (i > run) {
      buffer = CellsToString(text + run, i - run);
      painter.drawText(QPointF(x + run * metrics.advance, y), buffer);
    }
    if (alone) {
      const char32_t c = Cp1252ToCodePoint(static_cast<unsigned char>(text[i]));
      painter.drawText(QPointF(x + i * metrics.advance, y),
                       QString(QChar(static_cast<char16_t>(c))));
    }
    run = i + 1;
  }
}

}  // namespace zelk

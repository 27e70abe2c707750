// SPDX-License-Identifier: MIT
#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace zelk {

// Dialog templates give positions in dialog units: a quarter of the dialog font's average
// character width across, an eighth of its line height down.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& dialogFont);

  int X(int units) const;
  int Y(int units) const;
  QRect Rect(int x, int y, int width, int height) const;
  QSize Size(int width, int height) const { return {X(width), Y(height)}; }

  double AverageCharWidth() const { return m_averageCharWidth; }
  int LineHeight() const { return m_lineHeight; }

 private:
  double m_averageCharWidth;
  int m_lineHeight;
};

}  // namespace zelk

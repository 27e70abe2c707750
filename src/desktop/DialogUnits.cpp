// SPDX-License-Identifier: MIT
#include "desktop/DialogUnits.h"

#include <QFontMetricsF>
#include <QString>
#include <cmath>

namespace zelk {

DialogUnits::DialogUnits(const QFont& dialogFont) {
  const QFontMetricsF metrics(dialogFont);
  // The average width of the 52 Latin letters, as dialog templates have always measured it.
  const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  m_averageCharWidth = metrics.horizontalAdvance(letters) / 52.0;
  m_lineHeight = static_cast<int>(std::ceil(metrics.height()));
}

int DialogUnits::X(int units) const {
  return static_cast<int>(std::lround(units * m_averageCharWidth / 4.0));
}

int DialogUnits::Y(int units) const {
  return static_cast<int>(std::lround(units * m_lineHeight / 8.0));
}

QRect DialogUnits::Rect(int x, int y, int width, int height) const {
  // Both edges are converted, so that neighbouring controls never overlap by rounding.
  const int left = X(x);
  const int top = Y(y);
  return {left, top, X(x + width) - left, Y(y + height) - top};
}

}  // namespace zelk

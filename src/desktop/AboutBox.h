// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

namespace zelk {

// The About box: the program's name and version, its copyright and author, and OK.
class CAboutBox final : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutBox(QWidget* parent = nullptr);
};

}  // namespace zelk

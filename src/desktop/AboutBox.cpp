// SPDX-License-Identifier: MIT
#include "desktop/AboutBox.h"

#include <QApplication>
#include <QIcon>
#include <QLabel>
#include <QPushButton>
#include <algorithm>

#include "desktop/DialogUnits.h"

namespace zelk {

CAboutBox::CAboutBox(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("About Zelk"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  const DialogUnits du(font());
  setFixedSize(du.Size(144, 80));

  const QPixmap icon = QApplication::windowIcon().pixmap(32, 32);
  for (const int x : {10, 120}) {
    auto* picture = new QLabel(this);
    picture->setPixmap(icon);
    const QRect at = du.Rect(x, 55, 0, 0);
    picture->setGeometry(at.x(), at.y(), 32, 32);
  }
  auto text = [&](const char* caption, QRect r) {
    auto* label = new QLabel(QString::fromLatin1(caption), this);
    // Fonts wider than the template's would cut the line: it grows to the right.
    r.setWidth(std::max(r.width(), label->sizeHint().width()));
    label->setGeometry(r);
  };
  text("Zelk Version 1.0", du.Rect(47, 10, 50, 8));
  text("Copyright (C) 1998 The Zelk Team", du.Rect(14, 25, 115, 8));
  text("All rights reserved", du.Rect(42, 35, 60, 8));
  text("Written by the Zelk Team", du.Rect(35, 45, 75, 8));
  auto* ok = new QPushButton(QStringLiteral("OK"), this);
  ok->setGeometry(du.Rect(55, 60, 32, 14));
  ok->setDefault(true);
  ok->setFocus();
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace zelk

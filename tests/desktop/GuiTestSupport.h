// SPDX-License-Identifier: MIT
#pragma once

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QAction>
#include <QFileDialog>
#include <QImage>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QWidget>
#include <cstring>
#include <functional>
#include <string>

#include "console/ZelkDoc.h"

namespace zelk::test {

// Runs act on the next modal window as soon as it is open (a modal window blocks the caller).
inline void WhenModal(std::function<void(QWidget*)> act) {
  auto* timer = new QTimer;
  timer->setInterval(5);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr) return;
    const QPointer<QWidget> acted(modal);
    act(modal);
    // A window that is still open and modal was not the one the act looks for, or was not ready
    // for it yet (a file dialog still reading its folder on a busy machine): try again on the
    // next tick instead of leaving the test waiting for a window nobody closes.
    if (acted && acted->isVisible() && QApplication::activeModalWidget() == acted) return;
    timer->stop();
    timer->deleteLater();
  });
  timer->start();
}

// Closes the next message box with OK and keeps its caption and text.
struct MessageBoxSeen {
  QString caption;
  QString text;
  int buttons = 0;
  bool modal = false;
};
inline void AnswerNextMessageBox(MessageBoxSeen* seen) {
  WhenModal([seen](QWidget* w) {
    auto* box = qobject_cast<QMessageBox*>(w);
    if (box == nullptr) return;
    seen->caption = box->windowTitle();
    seen->text = box->text();
    seen->buttons = static_cast<int>(box->standardButtons());
    seen->modal = box->isModal();
    box->button(QMessageBox::Ok)->click();
  });
}

// Types a name into the next file dialog's name field and presses Enter, as a user does. When
// the dialog answers with a message box, the box is closed and its text kept in refusal; a
// dialog still open after that is cancelled.
inline void TypeIntoNextFileDialog(const QString& name, QString* refusal) {
  WhenModal([name, refusal](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (dialog == nullptr) return;
    auto* edit = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (edit == nullptr) {
      *refusal = QStringLiteral("the file dialog has no name field");
      dialog->reject();
      return;
    }
    QTimer boxes;
    boxes.setInterval(5);
    QObject::connect(&boxes, &QTimer::timeout, [refusal] {
      if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
        *refusal = box->text();
        box->reject();
      }
    });
    boxes.start();
    QTest::keyClicks(edit, name);
    QTest::keyClick(edit, Qt::Key_Return);
    boxes.stop();
    if (dialog->isVisible()) dialog->reject();
  });
}

// Chooses path in the next file dialog as a user does, and keeps the dialog's filters (in Qt's
// form, joined by ";;").
inline void ChooseInNextFileDialog(const QString& path, QStringList* filters) {
  WhenModal([path, filters](QWidget* w) {
    auto* dialog = qobject_cast<QFileDialog*>(w);
    if (dialog == nullptr) return;
    filters->append(dialog->nameFilters().join(QStringLiteral(";;")));
    dialog->selectFile(path);
    QMetaObject::invokeMethod(dialog, "accept");
  });
}

// Counts the paints of a widget as the window system delivers them.
class PaintCounter final : public QObject {
 public:
  explicit PaintCounter(QWidget* widget) { widget->installEventFilter(this); }
  int count = 0;

 protected:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Paint) ++count;
    return false;
  }
};

// True when every pixel of the widget below its first rows is black: an empty console.
inline bool BlackBelow(QWidget& widget, int firstRows) {
  const QImage image = widget.grab().toImage();
  for (int y = static_cast<int>(firstRows * image.devicePixelRatio()); y < image.height(); ++y) {
    for (int x = 0; x < image.width(); ++x) {
      if ((image.pixel(x, y) & 0xFFFFFFu) != 0) return false;
    }
  }
  return true;
}

// A menu item or toolbar button by its command number.
inline QAction* FindAction(const QWidget& window, int id) {
  for (QAction* action : window.findChildren<QAction*>()) {
    if (action->data().toInt() == id) return action;
  }
  return nullptr;
}

// The text of a console line without trailing blanks.
inline std::string LineText(const CZelkDoc& doc, int index) {
  std::string text(doc.LineText(index));
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// Makes a directory the current one for the life of the object.
class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::string& dir) {
    char buffer[4096];
    if (::getcwd(buffer, sizeof buffer) != nullptr) m_previous = buffer;
    if (::chdir(dir.c_str()) != 0) m_previous.clear();
  }
  ~CurrentDirectory() {
    if (!m_previous.empty() && ::chdir(m_previous.c_str()) != 0) m_previous.clear();
  }

 private:
  std::string m_previous;
};

}  // namespace zelk::test

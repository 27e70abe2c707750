#pragma once

#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
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
    if (QWidget* modal = QApplication::activeModalWidget()) {
      timer->stop();
      timer->deleteLater();
      act(modal);
    }
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

// The text of a console line without trailing blanks.
inline std::string LineText(const CZelkDoc& doc, int index) {
  std::string text(doc.m_lines[index].data(), ::strnlen(doc.m_lines[index].data(), LINE_CELLS));
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

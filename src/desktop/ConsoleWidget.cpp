// SPDX-License-Identifier: MIT
#include "desktop/ConsoleWidget.h"

#include <QFontMetrics>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <iostream>

#include "desktop/QtDrawContext.h"
#include "console/Platform.h"
#include "environment/OptionsFile.h"
#include "platform/Cp1252.h"

namespace zelk {

CConsoleWidget::CConsoleWidget(CZelkDoc& doc, Platform& platform, QWidget* parent)
    : QWidget(parent), m_view(doc, platform) {
  // The paint covers every text cell and erases the rest itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
}

CConsoleWidget::~CConsoleWidget() {
  Destroy();
}

void CConsoleWidget::Create() {
  if (m_created) return;
  m_created = true;
  m_view.OnCreate();
}

void CConsoleWidget::Destroy() {
  if (!m_created || m_destroyed) return;
  m_destroyed = true;
  // The window has no console left to say it on: the error stream of the program does.
  if (!m_view.OnDestroy()) {
    std::cerr << FinalSaveFailedText(m_view.m_platform.Files(), m_view.m_startDirHost)
              << std::flush;
  }
}

void CConsoleWidget::RequestRepaint(bool erase) {
  if (erase) m_erasePending = true;
  update();
}

void CConsoleWidget::TypeCharacter(char32_t codePoint) {
  const int byte = CodePointToCp1252(codePoint);
  m_view.OnChar(static_cast<unsigned char>(byte < 0 ? '?' : byte));
}

bool CConsoleWidget::event(QEvent* event) {
  // Tab and Shift+Tab are input keys here, not focus moves.
  if (event->type() == QEvent::KeyPress) {
    auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab) {
      keyPressEvent(key);
      return true;
    }
  }
  return QWidget::event(event);
}

void CConsoleWidget::keyPressEvent(QKeyEvent* event) {
  // Alt with a key is a menu key, not a character.
  if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) {
    QWidget::keyPressEvent(event);
    return;
  }
  switch (event->key()) {
    case Qt::Key_Backspace:
      m_view.OnChar(8);
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      m_view.OnChar(9);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      m_view.OnChar(13);
      return;
    case Qt::Key_Escape:
      m_view.OnChar(27);
      return;
    case Qt::Key_Delete:  // produces no character
      return;
    default:
      break;
  }
  const QString text = event->text();
  if (text.isEmpty()) {  // arrows, Home, End, function keys: nothing
    QWidget::keyPressEvent(event);
    return;
  }
  for (const char32_t codePoint : text.toUcs4()) TypeCharacter(codePoint);
}

void CConsoleWidget::inputMethodEvent(QInputMethodEvent* event) {
  for (const char32_t codePoint : event->commitString().toUcs4()) TypeCharacter(codePoint);
  event->accept();
}

void CConsoleWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // The window's size, its toolbar and status bar: the lines the console can use follow.
  m_view.SetClientHeight(height());
}

void CConsoleWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const CZelkDoc& doc = m_view.m_doc;
  const bool erase = m_erasePending;
  m_erasePending = false;
  if (erase) {
    painter.fillRect(rect(), Qt::black);
  } else {
    // The text cells cover their block; what lies right of and below it is background, which a
    // paint the system asks for (an uncovered window) must show black too.
    const QFontMetrics metrics(FontFromDescription(doc.m_logFont));
    const QRect cells(0, 0, metrics.horizontalAdvance(QLatin1Char('M')) * LINE_CELLS,
                      doc.m_logFont.height * CONSOLE_LINES);
    for (const QRect& r : QRegion(event->rect()).subtracted(cells)) painter.fillRect(r, Qt::black);
  }
  QtDrawContext dc(painter, &m_layouts);
  m_view.OnDraw(dc);
}

}  // namespace zelk

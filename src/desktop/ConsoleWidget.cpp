// SPDX-License-Identifier: MIT
#include "desktop/ConsoleWidget.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFile>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QRegion>
#include <QResizeEvent>
#include <QStyleHints>
#include <QWheelEvent>

#include "desktop/QtDrawContext.h"
#include "desktop/QtKeys.h"
#include "platform/Cp1252.h"

namespace zelk {

CConsoleWidget::CConsoleWidget(CZelkDoc& doc, Platform& platform, QWidget* parent)
    : QWidget(parent), m_screen(doc, platform, *this) {
  // The paint covers every text cell and erases the rest itself.
  setAttribute(Qt::WA_OpaquePaintEvent);
  setAttribute(Qt::WA_InputMethodEnabled);
  setFocusPolicy(Qt::StrongFocus);
  setCursor(Qt::IBeamCursor);
  QPalette black = palette();
  black.setColor(QPalette::Window, Qt::black);
  setPalette(black);
}

CConsoleWidget::~CConsoleWidget() {
  m_screen.Destroy();
}

QString CConsoleWidget::LostSettingsText() const {
  return QString::fromStdString(m_screen.LostSettingsText());
}

void CConsoleWidget::InvalidateRows(const RowSet& rows, bool now) {
  const int lineHeight = m_screen.FontHeight();
  QRegion changed;
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    if (rows.test(static_cast<std::size_t>(i))) {
      changed += QRect(0, i * lineHeight, width(), lineHeight);
    }
  }
  if (now) {
    repaint(changed);
  } else {
    update(changed);
  }
}

void CConsoleWidget::InvalidateAll(bool now) {
  if (now) {
    repaint();
  } else {
    update();
  }
}

void CConsoleWidget::PostShowChanges() {
  QMetaObject::invokeMethod(this, [this] { m_screen.ShowPostedChanges(); }, Qt::QueuedConnection);
}

double CConsoleWidget::CellAdvance() const {
  const FontDescription& font = m_screen.Doc().Font();
  return MeasureCells(FontFromDescription(font), font.height, this).advance;
}

int CConsoleWidget::NextFontHeight(const FontDescription& description, int direction) const {
  QFont font = FontFromDescription(description);
  for (int size = font.pixelSize() + direction; size >= 1 && size <= 2 * MAX_FONT_HEIGHT;
       size += direction) {
    font.setPixelSize(size);
    const int height = MeasureGlyphRows(font).Height();
    if (height < MIN_FONT_HEIGHT || height > MAX_FONT_HEIGHT) break;
    if (direction > 0 ? height > description.height : height < description.height) return height;
  }
  return description.height;
}

ClickRules CConsoleWidget::DoubleClickRules() const {
  const QStyleHints* hints = QGuiApplication::styleHints();
  return {static_cast<unsigned>(hints->mouseDoubleClickInterval()), hints->startDragDistance()};
}

std::string CConsoleWidget::ClipboardText() const {
  return QGuiApplication::clipboard()->text().toStdString();
}

void CConsoleWidget::SetClipboardText(const std::string& utf8) {
  QGuiApplication::clipboard()->setText(QString::fromStdString(utf8));
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
  if (m_screen.OnKey(ChordOf(*event))) return;
  // The keys whose character Qt may leave out of the event's text, and Delete, which produces
  // none (its text is 127).
  switch (event->key()) {
    case Qt::Key_Backspace:
      m_screen.TypeCode(8);
      return;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      m_screen.TypeCode(9);
      return;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      m_screen.TypeCode(13);
      return;
    case Qt::Key_Escape:
      m_screen.TypeCode(27);
      return;
    case Qt::Key_Delete:
      return;
    default:
      break;
  }
  if (event->text().isEmpty()) {  // arrows, Home, End, function keys: nothing
    QWidget::keyPressEvent(event);
    return;
  }
  TypeText(event->text());
}

void CConsoleWidget::TypeText(const QString& text) {
  for (const char32_t codePoint : text.toUcs4()) m_screen.TypeCharacter(codePoint);
}

void CConsoleWidget::inputMethodEvent(QInputMethodEvent* event) {
  TypeText(event->commitString());
  event->accept();
}

void CConsoleWidget::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  m_screen.OnResize();
}

void CConsoleWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  m_screen.MousePress(event->position().x(), event->position().y(), event->timestamp());
}

void CConsoleWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  m_screen.MouseDoubleClick(event->position().x(), event->position().y(), event->timestamp());
}

void CConsoleWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!(event->buttons() & Qt::LeftButton) ||
      !m_screen.MouseDrag(event->position().x(), event->position().y())) {
    QWidget::mouseMoveEvent(event);
  }
}

void CConsoleWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_screen.MouseRelease();
  QWidget::mouseReleaseEvent(event);
}

void CConsoleWidget::wheelEvent(QWheelEvent* event) {
  m_screen.Wheel(event->angleDelta().y(), QApplication::wheelScrollLines());
  event->accept();
}

void CConsoleWidget::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("ConsoleMenu"));
  for (const ContextCommand& command : ContextCommands()) {
    QAction* action =
        menu.addAction(QString::fromLatin1(command.caption), this,
                       [this, run = command.run] { (m_screen.*run)(); });
    action->setShortcut(KeySequenceOf(command.shortcut));
    action->setEnabled((m_screen.*command.enabled)());
  }
  menu.exec(event->globalPos());
}

void CConsoleWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const CZelkDoc& doc = m_screen.Doc();
  const QRegion& region = event->region();
  const CellMetrics metrics = MeasureCells(FontFromDescription(doc.Font()), doc.Font().height, this);
  if (m_screen.TakeEraseRequest()) {
    painter.fillRect(event->rect(), Qt::black);
  } else {
    // The text cells cover their block; what lies right of and below it is background, which a
    // paint the system asks for (an uncovered window) must show black too.
    const QRect cells(0, 0, metrics.RowWidth(LINE_CELLS), doc.Font().height * CONSOLE_LINES);
    for (const QRect& r : region.subtracted(cells)) painter.fillRect(r, Qt::black);
  }

  QtDrawContext dc(painter, &region);
  m_screen.Paint(dc);
  if (!m_screen.Drawn()) return;

  // The selection, and the cell under the cursor inside the input, show inverted: the text
  // colour behind the characters in the background colour.
  Cell cursor;
  const bool cursorInside = m_screen.InvertedCell(cursor);
  if (!m_screen.HasSelection() && !cursorInside) return;
  painter.setFont(FontFromDescription(doc.Font()));
  painter.setPen(ColorFromValue(doc.BackgroundColor()));
  const QColor inverted = ColorFromValue(doc.TextColor());
  QString buffer;
  const auto invert = [&](int row, int begin, int end) {
    const int left = metrics.ColumnX(begin);
    const int right = end == LINE_CELLS ? metrics.RowWidth(LINE_CELLS) : metrics.ColumnX(end);
    const QRect box(left, row * metrics.lineHeight, right - left, metrics.lineHeight);
    if (!region.intersects(box)) return;
    painter.fillRect(box, inverted);
    const std::string_view text = m_screen.RowText(row);
    painter.setClipRect(box);
    DrawCells(painter, metrics, 0, box.top() + metrics.ascent, text.data(),
              static_cast<int>(text.size()), buffer);
    painter.setClipping(false);
  };
  if (m_screen.HasSelection()) {
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      const ColumnRange columns = m_screen.RowSelection(i);
      if (columns.begin < columns.end) invert(i, columns.begin, columns.end);
    }
  }
  if (cursorInside) invert(cursor.row, cursor.column, cursor.column + 1);
}

}  // namespace zelk

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
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iostream>
#include <utility>

#include "console/ConsoleInput.h"
#include "console/Platform.h"
#include "environment/OptionsFile.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"

namespace zelk {
namespace {

// The line heights the font sizes may take.
constexpr int MIN_FONT_HEIGHT = 8;
constexpr int MAX_FONT_HEIGHT = 96;

// The line height of the next larger (direction 1) or smaller (-1) pixel size of the font that
// gives a different line height; the height itself when there is none within the limits.
int NextFontHeight(const FontDescription& description, int direction) {
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

}  // namespace

CConsoleWidget::CConsoleWidget(CZelkDoc& doc, Platform& platform, QWidget* parent)
    : QWidget(parent), m_view(doc, platform), m_defaultFontHeight(doc.m_logFont.height) {
  doc.m_scrolledOff = &m_scrollback;
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
  Destroy();
  if (m_view.m_doc.m_scrolledOff == &m_scrollback) m_view.m_doc.m_scrolledOff = nullptr;
}

void CConsoleWidget::Create() {
  if (m_created) return;
  m_created = true;
  m_view.OnCreate();
}

bool CConsoleWidget::Destroy() {
  if (!m_created || m_destroyed) return true;
  m_destroyed = true;
  errno = 0;
  if (m_view.OnDestroy()) return true;
  m_saveError = errno;
  // The window has no console left to say it on: the error stream of the program does.
  std::cerr << FinalSaveFailedText(m_view.m_platform.Files(), m_view.m_startDirHost) << std::flush;
  return false;
}

QString CConsoleWidget::LostSettingsText() const {
  FileSystem& files = m_view.m_platform.Files();
  const std::string path =
      JoinHostPath(m_view.m_startDirHost, OptionsFileName(files, m_view.m_startDirHost));
  // The reason first: a long path does not push it out of sight.
  return QStringLiteral(
             "Cannot save the options file (%1):\n%2\n\n"
             "The settings changed in this session are lost.")
      .arg(QString::fromStdString(WriteFailureReason(path, m_saveError)),
           QFile::decodeName(path.c_str()));
}

void CConsoleWidget::RequestRepaint(bool erase) {
  if (erase) m_eraseRequested = true;
  // The console asks before it changes the buffer (a key asks first, then stores the character):
  // the rows are compared once it is done, where this widget called the console itself, and
  // else when control is back in an event loop (a modal box during a compile shows the lines
  // printed before it), painted there and then.
  if (!m_showPosted) {
    m_showPosted = true;
    QMetaObject::invokeMethod(
        this,
        [this] {
          m_showPosted = false;
          ShowChanges(true);
        },
        Qt::QueuedConnection);
  }
}

void CConsoleWidget::TypeCharacter(char32_t codePoint) {
  const int byte = CodePointToCp1252(codePoint);
  TypeCode(static_cast<unsigned char>(byte < 0 ? '?' : byte));
  ShowChanges();
}

void CConsoleWidget::TypeCode(unsigned char code) {
  ReturnToPrompt();
  // Enter and Tab hand the input line over: it joins the history.
  if (code == 9 || code == 13) m_history.Add(InputText(m_view.m_doc));
  m_view.OnChar(code);
}

void CConsoleWidget::ReturnToPrompt() {
  m_scrolledBack = 0;
  m_selecting = false;
  m_selectionBegin = m_selectionEnd = TextPosition{};
}

int CConsoleWidget::FontHeight() const {
  return m_view.m_doc.m_logFont.height;
}

void CConsoleWidget::SetFontHeight(int pixels) {
  // The system's font is the default even where it lies outside the zoom's sizes.
  pixels = std::clamp(pixels, std::min(MIN_FONT_HEIGHT, m_defaultFontHeight),
                      std::max(MAX_FONT_HEIGHT, m_defaultFontHeight));
  if (pixels == FontHeight()) return;
  m_view.m_doc.m_logFont.height = pixels;
  // The usable lines follow the new line height, as they follow the height of the window.
  m_view.SetClientHeight(height());
  m_eraseNext = true;
  ShowChanges();
}

void CConsoleWidget::Zoom(int steps) {
  FontDescription description = m_view.m_doc.m_logFont;
  const int direction = steps > 0 ? 1 : -1;
  for (int step = 0; step != steps; step += direction) {
    description.height = NextFontHeight(description, direction);
  }
  SetFontHeight(description.height);
}

QString CConsoleWidget::SelectedText() const {
  if (!HasSelection()) return {};
  const ConsoleLines lines(m_view.m_doc, m_scrollback);
  return QString::fromStdString(
      Cp1252ToUtf8(zelk::SelectedText(lines, m_selectionBegin, m_selectionEnd)));
}

void CConsoleWidget::Copy() {
  if (HasSelection()) QGuiApplication::clipboard()->setText(SelectedText());
}

void CConsoleWidget::Paste() {
  const std::string line =
      PastedLine(Utf8ToCp1252(QGuiApplication::clipboard()->text().toStdString()));
  if (line.empty()) return;
  ReturnToPrompt();
  TypeInput(m_view, line);
  ShowChanges();
}

int CConsoleWidget::ScrolledBack() {
  // Lines that scrolled off since the view moved take it along with the text it shows.
  const std::int64_t total = m_scrollback.Total();
  std::int64_t back = m_scrolledBack;
  if (back > 0) back += total - m_scrollTotal;
  m_scrollTotal = total;
  m_scrolledBack = static_cast<int>(std::min<std::int64_t>(back, m_scrollback.Size()));
  return m_scrolledBack;
}

void CConsoleWidget::ScrollBack(int lines) {
  const long long back = static_cast<long long>(ScrolledBack()) + lines;
  m_scrolledBack = static_cast<int>(std::clamp<long long>(back, 0, m_scrollback.Size()));
  ShowChanges();
}

std::int64_t CConsoleWidget::TopLine() {
  return m_scrollback.Total() - ScrolledBack();
}

CellMetrics CConsoleWidget::Metrics() const {
  const FontDescription& font = m_view.m_doc.m_logFont;
  return MeasureCells(FontFromDescription(font), font.height, this);
}

CConsoleWidget::Look CConsoleWidget::CurrentLook() const {
  const CZelkDoc& doc = m_view.m_doc;
  Look look;
  look.lineHeight = doc.m_logFont.height;
  look.weight = doc.m_logFont.weight;
  look.italic = doc.m_logFont.italic;
  std::memcpy(look.face.data(), doc.m_logFont.faceName, look.face.size());
  look.textColor = doc.TextColor();
  look.bkColor = doc.m_bkColor;
  look.drawn = doc.m_drawMode == DRAW_NORMAL || doc.m_drawMode == DRAW_CLEAR;
  return look;
}

CConsoleWidget::Row CConsoleWidget::CurrentRow(const ConsoleLines& lines,
                                               std::int64_t number) const {
  const std::string_view text = lines.Text(number);
  Row shown;
  std::memcpy(shown.cells.data(), text.data(), text.size());
  std::memset(shown.cells.data() + text.size(), ' ', LINE_CELLS - text.size());
  const ColumnRange selected = SelectedColumns(m_selectionBegin, m_selectionEnd, number);
  if (selected.begin < selected.end) {
    shown.selectionBegin = static_cast<short>(selected.begin);
    shown.selectionEnd = static_cast<short>(selected.end);
  }
  return shown;
}

void CConsoleWidget::ShowChanges(bool now) {
  if (m_eraseRequested) {
    // The console asked for the whole view: a clear, its creation, a save of the options.
    m_eraseRequested = false;
    m_eraseNext = true;
    ReturnToPrompt();
  }
  const Look look = CurrentLook();
  const bool all = m_eraseNext || look != m_shownLook;
  m_shownLook = look;
  const ConsoleLines lines(m_view.m_doc, m_scrollback);
  const std::int64_t top = TopLine();
  QRegion changed;
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    const Row row = CurrentRow(lines, top + i);
    if (all || row != m_shown[i]) {
      m_shown[i] = row;
      changed += QRect(0, i * look.lineHeight, width(), look.lineHeight);
    }
  }
  if (all) changed = rect();
  if (changed.isEmpty()) return;
  if (now) {
    repaint(changed);
  } else {
    update(changed);
  }
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

bool CConsoleWidget::HandleConsoleKey(const QKeyEvent& event) {
  const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
  const int key = event.key();
  const Qt::KeyboardModifiers copyPaste = Qt::ControlModifier | Qt::ShiftModifier;
  if (modifiers == copyPaste && key == Qt::Key_C) {
    Copy();
    return true;
  }
  if ((modifiers == copyPaste && key == Qt::Key_V) ||
      (modifiers == Qt::ShiftModifier && key == Qt::Key_Insert)) {
    Paste();
    return true;
  }
  // Ctrl+Plus comes with Shift on keyboards where Plus is a shifted key, and Ctrl+= stands for it
  // on keyboards without a plus key.
  if (modifiers & Qt::ControlModifier) {
    if (key == Qt::Key_Plus || key == Qt::Key_Equal) {
      Zoom(1);
      return true;
    }
    if (key == Qt::Key_Minus) {
      Zoom(-1);
      return true;
    }
    if (key == Qt::Key_0 && modifiers == Qt::ControlModifier) {
      SetFontHeight(m_defaultFontHeight);
      return true;
    }
  }
  if (modifiers == Qt::ShiftModifier && (key == Qt::Key_PageUp || key == Qt::Key_PageDown)) {
    // A page is the rows the window shows, less one that stays in view.
    const int rows =
        std::min(height() / std::max(FontHeight(), 1), static_cast<int>(CONSOLE_LINES));
    const int page = std::max(rows - 1, 1);
    ScrollBack(key == Qt::Key_PageUp ? page : -page);
    return true;
  }
  if (modifiers == Qt::NoModifier && (key == Qt::Key_Up || key == Qt::Key_Down)) {
    const bool recalled =
        key == Qt::Key_Up ? RecallOlder(m_view, m_history) : RecallNewer(m_view, m_history);
    if (recalled) ReturnToPrompt();
    ShowChanges();
    return true;
  }
  return false;
}

void CConsoleWidget::keyPressEvent(QKeyEvent* event) {
  // Alt with a key is a menu key, not a character.
  if (event->modifiers() & (Qt::AltModifier | Qt::MetaModifier)) {
    QWidget::keyPressEvent(event);
    return;
  }
  if (HandleConsoleKey(*event)) return;
  unsigned char code = 0;
  switch (event->key()) {
    case Qt::Key_Backspace:
      code = 8;
      break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
      code = 9;
      break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
      code = 13;
      break;
    case Qt::Key_Escape:
      code = 27;
      break;
    case Qt::Key_Delete:  // produces no character
      return;
    default:
      break;
  }
  if (code != 0) {
    TypeCode(code);
    ShowChanges();
    return;
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
  // The window's size, its toolbar and status bar: the lines the console can use follow, and the
  // buffer may have scrolled to keep the prompt in view.
  m_view.SetClientHeight(height());
  ShowChanges();
}

void CConsoleWidget::RangeAt(QPointF position, int clicks, TextPosition& begin, TextPosition& end) {
  // A drag that leaves the window selects up to the rows it shows.
  const CellMetrics metrics = Metrics();
  const double y = std::clamp<double>(position.y(), 0, std::max(height() - 1, 0));
  const Cell cell = CellAt(position.x(), y, metrics.advance, metrics.lineHeight);
  const std::int64_t line = TopLine() + cell.row;
  if (clicks == 1) {
    begin = end = TextPosition{line, BoundaryAt(position.x(), metrics.advance)};
  } else if (clicks == 2) {
    const ColumnRange word =
        WordAt(ConsoleLines(m_view.m_doc, m_scrollback).Text(line), cell.column);
    begin = {line, word.begin};
    end = {line, word.end};
  } else {
    begin = {line, 0};
    end = {line, LINE_CELLS};
  }
}

void CConsoleWidget::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mousePressEvent(event);
    return;
  }
  // A press soon after the last one, at the same place, is the next click: the third click of a
  // triple click comes as a press after the double click.
  const QStyleHints* hints = QGuiApplication::styleHints();
  const bool again =
      m_clicks > 0 &&
      event->timestamp() - m_lastPressTime <=
          static_cast<quint64>(hints->mouseDoubleClickInterval()) &&
      (event->position() - m_lastPressPosition).manhattanLength() <= hints->startDragDistance();
  Press(*event, again ? m_clicks % 3 + 1 : 1);
}

void CConsoleWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QWidget::mouseDoubleClickEvent(event);
    return;
  }
  Press(*event, 2);
}

void CConsoleWidget::Press(const QMouseEvent& event, int clicks) {
  m_clicks = clicks;
  m_lastPressTime = event.timestamp();
  m_lastPressPosition = event.position();
  RangeAt(event.position(), m_clicks, m_pressBegin, m_pressEnd);
  m_selectionBegin = m_pressBegin;
  m_selectionEnd = m_pressEnd;
  m_selecting = true;
  ShowChanges();
}

void CConsoleWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!m_selecting || !(event->buttons() & Qt::LeftButton)) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  // The selection reaches from what the press took to what lies under the pointer, by
  // characters, words or lines as the press was a single, double or triple click.
  TextPosition begin;
  TextPosition end;
  RangeAt(event->position(), m_clicks, begin, end);
  m_selectionBegin = std::min(m_pressBegin, begin);
  m_selectionEnd = std::max(m_pressEnd, end);
  ShowChanges();
}

void CConsoleWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) m_selecting = false;
  QWidget::mouseReleaseEvent(event);
}

void CConsoleWidget::wheelEvent(QWheelEvent* event) {
  // A notch of the wheel is 120; finer wheels and touchpads send parts of one.
  m_wheelDelta += event->angleDelta().y();
  const int notches = m_wheelDelta / 120;
  m_wheelDelta -= notches * 120;
  if (notches != 0) ScrollBack(notches * QApplication::wheelScrollLines());
  event->accept();
}

void CConsoleWidget::contextMenuEvent(QContextMenuEvent* event) {
  QMenu menu(this);
  menu.setObjectName(QStringLiteral("ConsoleMenu"));
  QAction* copy = menu.addAction(QStringLiteral("&Copy"), this, &CConsoleWidget::Copy);
  copy->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
  copy->setEnabled(HasSelection());
  QAction* paste = menu.addAction(QStringLiteral("&Paste"), this, &CConsoleWidget::Paste);
  paste->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
  paste->setEnabled(!QGuiApplication::clipboard()->text().isEmpty());
  menu.exec(event->globalPos());
}

void CConsoleWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  const CZelkDoc& doc = m_view.m_doc;
  const QRegion& region = event->region();
  const CellMetrics metrics = Metrics();
  if (m_eraseNext) {
    m_eraseNext = false;
    painter.fillRect(event->rect(), Qt::black);
  } else {
    // The text cells cover their block; what lies right of and below it is background, which a
    // paint the system asks for (an uncovered window) must show black too.
    const QRect cells(0, 0, metrics.RowWidth(LINE_CELLS), doc.m_logFont.height * CONSOLE_LINES);
    for (const QRect& r : region.subtracted(cells)) painter.fillRect(r, Qt::black);
  }

  // Scrolled back, the rows show the kept lines above the buffer, drawn the same way.
  QtDrawContext dc(painter, &region);
  const ConsoleLines lines(doc, m_scrollback);
  const std::int64_t top = TopLine();
  if (top == lines.BufferStart()) {
    m_view.OnDraw(dc);
  } else {
    DrawScrolledBack(dc, doc, lines, top);
  }
  if (!HasSelection() || !CurrentLook().drawn) return;

  // The selection shows inverted: the text colour behind the characters in the background colour.
  painter.setFont(FontFromDescription(doc.m_logFont));
  painter.setPen(ColorFromValue(doc.m_bkColor));
  const QColor selected = ColorFromValue(doc.TextColor());
  QString buffer;
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    const std::int64_t number = top + i;
    const ColumnRange columns = SelectedColumns(m_selectionBegin, m_selectionEnd, number);
    if (columns.begin >= columns.end) continue;
    const int left = metrics.ColumnX(columns.begin);
    const int right =
        columns.end == LINE_CELLS ? metrics.RowWidth(LINE_CELLS) : metrics.ColumnX(columns.end);
    const QRect box(left, i * metrics.lineHeight, right - left, metrics.lineHeight);
    if (!region.intersects(box)) continue;
    painter.fillRect(box, selected);
    const std::string_view text = lines.Text(number);
    painter.setClipRect(box);
    DrawCells(painter, metrics, 0, box.top() + metrics.ascent, text.data(),
              static_cast<int>(text.size()), buffer);
    painter.setClipping(false);
  }
}

}  // namespace zelk

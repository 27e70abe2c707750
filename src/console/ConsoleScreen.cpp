// SPDX-License-Identifier: MIT
#include "console/ConsoleScreen.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <iostream>

#include "console/ConsoleInput.h"
#include "console/DrawContext.h"
#include "console/Platform.h"
#include "environment/OptionsFile.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"

namespace zelk {
namespace {

// clang-format off
constexpr ScreenKey kScreenKeys[] = {
  {{Key::C, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::Copy},
  {{Key::V, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::Paste},
  {{Key::Insert, MOD_SHIFT}, &ConsoleScreen::Paste},
  // Ctrl+Plus comes with Shift on keyboards where Plus is a shifted key, and Ctrl+= stands for it
  // on keyboards without a plus key.
  {{Key::Plus, MOD_CTRL}, &ConsoleScreen::ZoomIn},
  {{Key::Plus, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::ZoomIn},
  {{Key::Equal, MOD_CTRL}, &ConsoleScreen::ZoomIn},
  {{Key::Equal, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::ZoomIn},
  {{Key::Minus, MOD_CTRL}, &ConsoleScreen::ZoomOut},
  {{Key::Minus, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::ZoomOut},
  {{Key::Digit0, MOD_CTRL}, &ConsoleScreen::ZoomReset},
  {{Key::PageUp, MOD_SHIFT}, &ConsoleScreen::PageBack},
  {{Key::PageDown, MOD_SHIFT}, &ConsoleScreen::PageForward},
  {{Key::Up, MOD_NONE}, &ConsoleScreen::RecallOlderLine},
  {{Key::Down, MOD_NONE}, &ConsoleScreen::RecallNewerLine},
  {{Key::Left, MOD_NONE}, &ConsoleScreen::CursorLeft},
  {{Key::Right, MOD_NONE}, &ConsoleScreen::CursorRight},
  {{Key::Home, MOD_NONE}, &ConsoleScreen::CursorHome},
  {{Key::End, MOD_NONE}, &ConsoleScreen::CursorEnd},
  {{Key::Left, MOD_CTRL}, &ConsoleScreen::WordLeft},
  {{Key::Right, MOD_CTRL}, &ConsoleScreen::WordRight},
  {{Key::Delete, MOD_NONE}, &ConsoleScreen::DeleteCharacter},
};

constexpr ContextCommand kContextCommands[] = {
  {"&Copy", {Key::C, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::Copy, &ConsoleScreen::HasSelection},
  {"&Paste", {Key::V, MOD_CTRL | MOD_SHIFT}, &ConsoleScreen::Paste, &ConsoleScreen::CanPaste},
};
// clang-format on

}  // namespace

std::span<const ScreenKey> ScreenKeys() {
  return kScreenKeys;
}

std::span<const ContextCommand> ContextCommands() {
  return kContextCommands;
}

ConsoleScreen::ConsoleScreen(CZelkDoc& doc, Platform& platform, ConsoleWindow& window)
    : m_view(doc, platform), m_window(window), m_defaultFontHeight(doc.Font().height) {
  doc.SetScrolledOff(&m_scrollback);
}

ConsoleScreen::~ConsoleScreen() {
  Destroy();
  if (Doc().ScrolledOff() == &m_scrollback) Doc().SetScrolledOff(nullptr);
}

void ConsoleScreen::Create() {
  if (m_created) return;
  m_created = true;
  m_view.OnCreate();
}

bool ConsoleScreen::Destroy() {
  if (!m_created || m_destroyed) return true;
  m_destroyed = true;
  errno = 0;
  if (m_view.OnDestroy()) return true;
  m_saveError = errno;
  // The window has no console left to say it on: the error stream of the program does.
  std::cerr << FinalSaveFailedText(m_view.Host().Files(), m_view.StartDirHost()) << std::flush;
  return false;
}

std::string ConsoleScreen::LostSettingsText() const {
  FileSystem& files = m_view.Host().Files();
  const std::string path =
      JoinHostPath(m_view.StartDirHost(), OptionsFileName(files, m_view.StartDirHost()));
  // The reason first: a long path does not push it out of sight.
  return "Cannot save the options file (" + WriteFailureReason(path, m_saveError) + "):\n" +
         path + "\n\nThe settings changed in this session are lost.";
}

void ConsoleScreen::RequestRepaint(bool erase) {
  if (erase) m_eraseRequested = true;
  // The console asks before it changes the buffer (a key asks first, then stores the character):
  // the rows are compared once it is done, where the window called the console itself, and else
  // when control is back in the event loop (a modal box during a compile shows the lines printed
  // before it), painted there and then.
  if (!m_showPosted) {
    m_showPosted = true;
    m_window.PostShowChanges();
  }
}

void ConsoleScreen::ShowPostedChanges() {
  m_showPosted = false;
  ShowChanges(true);
}

void ConsoleScreen::OnResize() {
  // The window's size, its toolbar and status bar: the lines the console can use follow, and the
  // buffer may have scrolled to keep the prompt in view.
  m_view.SetClientHeight(m_window.ClientHeight());
  ShowChanges();
}

bool ConsoleScreen::OnKey(KeyChord chord) {
  for (const ScreenKey& key : kScreenKeys) {
    if (key.chord == chord) {
      (this->*key.run)();
      return true;
    }
  }
  return false;
}

void ConsoleScreen::TypeCharacter(char32_t codePoint) {
  const int byte = CodePointToCp1252(codePoint);
  TypeCode(static_cast<unsigned char>(byte < 0 ? '?' : byte));
}

void ConsoleScreen::TypeCode(unsigned char code) {
  ReturnToPrompt();
  // Enter and Tab hand the input line over: it joins the history.
  if (code == 9 || code == 13) m_history.Add(Doc().InputText());
  m_view.OnChar(code);
  ShowChanges();
}

void ConsoleScreen::ReturnToPrompt() {
  m_scrolledBack = 0;
  m_selecting = false;
  m_selectionBegin = m_selectionEnd = TextPosition{};
}

void ConsoleScreen::Copy() {
  if (HasSelection()) m_window.SetClipboardText(SelectedText());
}

void ConsoleScreen::Paste() {
  const std::string line = PastedLine(Utf8ToCp1252(m_window.ClipboardText()));
  if (line.empty()) return;
  ReturnToPrompt();
  TypeInput(m_view, line);
  ShowChanges();
}

int ConsoleScreen::PageRows() const {
  // A page is the rows the window shows, less one that stays in view.
  const int rows = std::min(m_window.ClientHeight() / std::max(FontHeight(), 1), CONSOLE_LINES);
  return std::max(rows - 1, 1);
}

void ConsoleScreen::PageBack() {
  ScrollBack(PageRows());
}

void ConsoleScreen::PageForward() {
  ScrollBack(-PageRows());
}

void ConsoleScreen::RecallOlderLine() {
  if (RecallOlder(m_view, m_history)) ReturnToPrompt();
  ShowChanges();
}

void ConsoleScreen::RecallNewerLine() {
  if (RecallNewer(m_view, m_history)) ReturnToPrompt();
  ShowChanges();
}

void ConsoleScreen::Edit(CursorMove move) {
  ReturnToPrompt();
  m_view.MoveCursor(move);
  ShowChanges();
}

void ConsoleScreen::DeleteCharacter() {
  ReturnToPrompt();
  m_view.OnDelete();
  ShowChanges();
}

void ConsoleScreen::SetFontHeight(int pixels) {
  // The system's font is the default even where it lies outside the zoom's sizes.
  pixels = std::clamp(pixels, std::min(MIN_FONT_HEIGHT, m_defaultFontHeight),
                      std::max(MAX_FONT_HEIGHT, m_defaultFontHeight));
  if (pixels == FontHeight()) return;
  Doc().SetFontHeight(pixels);
  // The usable lines follow the new line height, as they follow the height of the window.
  m_view.SetClientHeight(m_window.ClientHeight());
  m_eraseNext = true;
  ShowChanges();
}

void ConsoleScreen::Zoom(int steps) {
  FontDescription font = Doc().Font();
  const int direction = steps > 0 ? 1 : -1;
  for (int step = 0; step != steps; step += direction) {
    font.height = m_window.NextFontHeight(font, direction);
  }
  SetFontHeight(font.height);
}

void ConsoleScreen::RangeAt(double x, double y, int clicks, TextPosition& begin,
                            TextPosition& end) {
  // A drag that leaves the window selects up to the rows it shows.
  const double advance = m_window.CellAdvance();
  y = std::clamp<double>(y, 0, std::max(m_window.ClientHeight() - 1, 0));
  const Cell cell = CellAt(x, y, advance, FontHeight());
  const std::int64_t line = TopLine() + cell.row;
  if (clicks == 1) {
    begin = end = TextPosition{line, BoundaryAt(x, advance)};
  } else if (clicks == 2) {
    const ColumnRange word = WordAt(ConsoleLines(Doc(), m_scrollback).Text(line), cell.column);
    begin = {line, word.begin};
    end = {line, word.end};
  } else {
    begin = {line, 0};
    end = {line, LINE_CELLS};
  }
}

void ConsoleScreen::MousePress(double x, double y, std::uint64_t timeMs) {
  const ClickRules rules = m_window.DoubleClickRules();
  const bool again = m_clicks > 0 && timeMs - m_lastPressTime <= rules.intervalMs &&
                     std::abs(x - m_lastPressX) + std::abs(y - m_lastPressY) <= rules.distance;
  Press(x, y, timeMs, again ? m_clicks % 3 + 1 : 1);
}

void ConsoleScreen::MouseDoubleClick(double x, double y, std::uint64_t timeMs) {
  Press(x, y, timeMs, 2);
}

void ConsoleScreen::Press(double x, double y, std::uint64_t timeMs, int clicks) {
  m_clicks = clicks;
  m_lastPressTime = timeMs;
  m_lastPressX = x;
  m_lastPressY = y;
  RangeAt(x, y, m_clicks, m_pressBegin, m_pressEnd);
  m_selectionBegin = m_pressBegin;
  m_selectionEnd = m_pressEnd;
  m_selecting = true;
  ShowChanges();
}

bool ConsoleScreen::MouseDrag(double x, double y) {
  if (!m_selecting) return false;
  TextPosition begin;
  TextPosition end;
  RangeAt(x, y, m_clicks, begin, end);
  m_selectionBegin = std::min(m_pressBegin, begin);
  m_selectionEnd = std::max(m_pressEnd, end);
  ShowChanges();
  return true;
}

void ConsoleScreen::Wheel(int delta, int linesPerNotch) {
  m_wheelDelta += delta;
  const int notches = m_wheelDelta / 120;
  m_wheelDelta -= notches * 120;
  if (notches != 0) ScrollBack(notches * linesPerNotch);
}

std::string ConsoleScreen::SelectedText() const {
  if (!HasSelection()) return {};
  const ConsoleLines lines(Doc(), m_scrollback);
  return Cp1252ToUtf8(zelk::SelectedText(lines, m_selectionBegin, m_selectionEnd));
}

int ConsoleScreen::ScrolledBack() {
  // Lines that scrolled off since the view moved take it along with the text it shows.
  const std::int64_t total = m_scrollback.Total();
  std::int64_t back = m_scrolledBack;
  if (back > 0) back += total - m_scrollTotal;
  m_scrollTotal = total;
  m_scrolledBack = static_cast<int>(std::min<std::int64_t>(back, m_scrollback.Size()));
  return m_scrolledBack;
}

void ConsoleScreen::ScrollBack(int lines) {
  const long long back = static_cast<long long>(ScrolledBack()) + lines;
  m_scrolledBack = static_cast<int>(std::clamp<long long>(back, 0, m_scrollback.Size()));
  ShowChanges();
}

std::int64_t ConsoleScreen::TopLine() {
  return m_scrollback.Total() - ScrolledBack();
}

ConsoleScreen::Look ConsoleScreen::CurrentLook() const {
  const CZelkDoc& doc = Doc();
  const FontDescription& font = doc.Font();
  Look look;
  look.lineHeight = font.height;
  look.weight = font.weight;
  look.italic = font.italic;
  std::memcpy(look.face.data(), font.faceName, look.face.size());
  look.textColor = doc.TextColor();
  look.bkColor = doc.BackgroundColor();
  look.drawn = Drawn();
  return look;
}

bool ConsoleScreen::Drawn() const {
  return Doc().DrawMode() == DRAW_NORMAL || Doc().DrawMode() == DRAW_CLEAR;
}

ConsoleScreen::Row ConsoleScreen::CurrentRow(const ConsoleLines& lines,
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
  shown.cursor = static_cast<short>(CursorCellOn(lines, number));
  return shown;
}

int ConsoleScreen::CursorCellOn(const ConsoleLines& lines, std::int64_t number) const {
  return Doc().CursorInsideInput() && number == lines.CursorLine() ? Doc().CursorColumn() : -1;
}

bool ConsoleScreen::InvertedCell(Cell& cell) {
  if (!Drawn() || !Doc().CursorInsideInput()) return false;
  const std::int64_t row = ConsoleLines(Doc(), m_scrollback).CursorLine() - TopLine();
  if (row < 0 || row >= CONSOLE_LINES) return false;
  cell = {static_cast<int>(row), Doc().CursorColumn()};
  return true;
}

void ConsoleScreen::ShowChanges(bool now) {
  if (m_eraseRequested) {
    // The console asked for the whole view: a clear, its creation, a save of the options.
    m_eraseRequested = false;
    m_eraseNext = true;
    ReturnToPrompt();
  }
  const Look look = CurrentLook();
  const bool all = m_eraseNext || look != m_shownLook;
  m_shownLook = look;
  const ConsoleLines lines(Doc(), m_scrollback);
  const std::int64_t top = TopLine();
  RowSet changed;
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    const Row row = CurrentRow(lines, top + i);
    if (all || row != m_shown[static_cast<std::size_t>(i)]) {
      m_shown[static_cast<std::size_t>(i)] = row;
      changed.set(static_cast<std::size_t>(i));
    }
  }
  if (all) {
    m_window.InvalidateAll(now);
  } else if (changed.any()) {
    m_window.InvalidateRows(changed, now);
  }
}

void ConsoleScreen::Paint(DrawContext& dc) {
  // Scrolled back, the rows show the kept lines above the buffer, drawn the same way.
  const ConsoleLines lines(Doc(), m_scrollback);
  const std::int64_t top = TopLine();
  if (top == lines.BufferStart()) {
    m_view.OnDraw(dc);
  } else {
    DrawScrolledBack(dc, Doc(), lines, top);
  }
}

bool ConsoleScreen::TakeEraseRequest() {
  const bool erase = m_eraseNext;
  m_eraseNext = false;
  return erase;
}

ColumnRange ConsoleScreen::RowSelection(int row) {
  return SelectedColumns(m_selectionBegin, m_selectionEnd, TopLine() + row);
}

std::string_view ConsoleScreen::RowText(int row) {
  return ConsoleLines(Doc(), m_scrollback).Text(TopLine() + row);
}

}  // namespace zelk

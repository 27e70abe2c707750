// SPDX-License-Identifier: MIT
#include "console/ZelkDoc.h"

#include <algorithm>
#include <cstring>

namespace zelk {
namespace {

void BlankLine(std::array<char, LINE_SIZE>& line) {
  std::memset(line.data(), ' ', LINE_CELLS);
  line[LINE_CELLS] = '\0';
}

}  // namespace

CZelkDoc::CZelkDoc(const FontDescription& font) : m_logFont(font) {
  // Only the face, size and character-set fields are taken over; the rest of the style is plain.
  m_logFont.escapement = 0;
  m_logFont.orientation = 0;
  m_logFont.italic = false;
  m_logFont.underline = false;
  m_logFont.strikeOut = false;
  m_logFont.faceName[sizeof m_logFont.faceName - 1] = '\0';
  if (m_logFont.height <= 0) m_logFont.height = FontDescription{}.height;
  for (auto& line : m_lines) BlankLine(line);
}

void CZelkDoc::WritePrompt() {
  char* line = CurrentCells();
  std::memcpy(line, "OK>", PROMPT_WIDTH);
  line[PROMPT_WIDTH] = CURSOR_MARK;
}

std::string_view CZelkDoc::LineText(int index) const {
  const char* line = Row(index).data();
  return {line, ::strnlen(line, LINE_CELLS)};
}

void CZelkDoc::AdvanceLine() {
  if (m_transcript != nullptr) m_transcript->PrintLine(LineText(m_curLine));
  m_drawMode = DRAW_NORMAL;
  if (m_curLine < m_lastLine) {
    ++m_curLine;
  } else {
    ScrollUp();
  }
  m_curCol = m_inputEnd = PROMPT_WIDTH;
  WritePrompt();
}

void CZelkDoc::ScrollUp() {
  if (m_scrolledOff != nullptr) m_scrolledOff->PrintLine(LineText(0));
  // The old line 0 becomes the blank line 49: nothing is copied.
  m_topRow = (m_topRow + 1) % CONSOLE_LINES;
  BlankLine(Row(CONSOLE_LINES - 1));
}

void CZelkDoc::SetLastLine(int lastLine) {
  m_lastLine = static_cast<short>(std::min(lastLine, CONSOLE_LINES - 1));
  // A console lower than one line still shows its current line on line 0.
  const short last = m_lastLine > 0 ? m_lastLine : 0;
  for (; m_curLine > last; --m_curLine) ScrollUp();
}

void CZelkDoc::SetFontHeight(int pixels) {
  if (pixels > 0) m_logFont.height = pixels;
}

void CZelkDoc::PrintLine(std::string_view text) {
  text = text.substr(0, std::min<std::size_t>(text.find('\0'), LINE_CELLS));
  // The prompt and cursor mark that stood there are overwritten; after the terminator the line
  // shows blanks.
  char* line = CurrentCells();
  std::memcpy(line, text.data(), text.size());
  line[text.size()] = '\0';
  AdvanceLine();
}

void CZelkDoc::PrintRule(int count) {
  std::memset(CurrentCells(), '-', static_cast<std::size_t>(count < LINE_CELLS ? count : LINE_CELLS));
  AdvanceLine();
}

bool CZelkDoc::StoreAtCursor(char c) {
  if (m_inputEnd > LAST_INPUT_CELL) return false;
  char* line = CurrentCells();
  std::memmove(line + m_curCol + 1, line + m_curCol,
               static_cast<std::size_t>(m_inputEnd - m_curCol));
  line[m_curCol++] = c;
  line[++m_inputEnd] = ' ';
  WriteCursorMark();
  return true;
}

void CZelkDoc::EraseBeforeCursor() {
  if (m_curCol <= PROMPT_WIDTH) return;
  --m_curCol;
  EraseAtCursor();
}

void CZelkDoc::EraseAtCursor() {
  if (m_curCol >= m_inputEnd) return;
  char* line = CurrentCells();
  std::memmove(line + m_curCol, line + m_curCol + 1,
               static_cast<std::size_t>(m_inputEnd - m_curCol - 1));
  line[m_inputEnd--] = ' ';
  line[m_inputEnd] = ' ';
  WriteCursorMark();
}

void CZelkDoc::SetCursorColumn(int column) {
  m_curCol = static_cast<short>(std::clamp<int>(column, PROMPT_WIDTH, m_inputEnd));
  // The mark shows only at the end.
  CurrentCells()[m_inputEnd] = ' ';
  WriteCursorMark();
}

void CZelkDoc::WriteCursorMark() {
  if (m_curCol == m_inputEnd) CurrentCells()[m_curCol] = CURSOR_MARK;
}

bool CZelkDoc::QuotedAtCursor() const {
  // Asked for every typed character: memchr leaps from quote to quote.
  const char* at = Row(m_curLine).data() + PROMPT_WIDTH;
  const char* const cursor = Row(m_curLine).data() + m_curCol;
  bool quoted = false;
  while (at < cursor &&
         (at = static_cast<const char*>(std::memchr(at, '"', static_cast<std::size_t>(cursor - at))))) {
    quoted = !quoted;
    ++at;
  }
  return quoted;
}

std::string CZelkDoc::TakeInputLine() {
  char* line = CurrentCells();
  line[m_inputEnd] = ' ';
  // Cells 3..254; the statement line ends where a typed NUL stands.
  const char* input = line + PROMPT_WIDTH;
  return std::string(input, ::strnlen(input, LINE_CELLS - PROMPT_WIDTH));
}

std::string_view CZelkDoc::InputCells() const {
  return {Row(m_curLine).data() + PROMPT_WIDTH,
          static_cast<std::size_t>(m_inputEnd - PROMPT_WIDTH)};
}

std::string CZelkDoc::InputText() const {
  const std::string_view cells = InputCells();
  return std::string(cells.substr(0, std::min(cells.find('\0'), cells.size())));
}

void CZelkDoc::Clear() {
  m_drawMode = DRAW_CLEAR;
  ClearScreen();
}

void CZelkDoc::ClearScreen() {
  m_curLine = 0;
  m_curCol = m_inputEnd = PROMPT_WIDTH;
  m_topRow = 0;
  for (auto& line : m_lines) BlankLine(line);
  WritePrompt();
}

}  // namespace zelk

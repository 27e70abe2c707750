#include "console/ZelkDoc.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

namespace zelk {
namespace {

void BlankLine(std::array<char, LINE_SIZE>& line) {
  std::memset(line.data(), ' ', LINE_CELLS);
  line[LINE_CELLS] = '\0';
}

}  // namespace

CZelkDoc::CZelkDoc(const FontDescription& font) : m_logFont(font), m_commands(Commands()) {
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
  char* line = CurrentLine();
  std::memcpy(line, "OK>", PROMPT_WIDTH);
  line[PROMPT_WIDTH] = CURSOR_MARK;
}

void CZelkDoc::AdvanceLine() {
  if (m_lineObserver != nullptr) m_lineObserver->OnLineLeft(CurrentLine());
  m_drawMode = DRAW_NORMAL;
  if (m_curLine < m_lastLine) {
    ++m_curLine;
  } else {
    for (int k = 0; k < CONSOLE_LINES - 1; ++k) {
      std::memcpy(m_lines[k].data(), m_lines[k + 1].data(), LINE_CELLS);
    }
    BlankLine(m_lines[CONSOLE_LINES - 1]);
  }
  m_curCol = PROMPT_WIDTH;
  WritePrompt();
}

void CZelkDoc::PrintLine(const char* text) {
  const std::size_t length = ::strnlen(text, LINE_CELLS);
  if (m_firstMessage != nullptr && m_firstMessage->empty()) m_firstMessage->assign(text, length);
  std::memcpy(CurrentLine(), text, length);
  CurrentLine()[length] = '\0';
  AdvanceLine();
}

void CZelkDoc::PrintFormat(const char* format, ...) {
  char text[LINE_SIZE];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  PrintLine(text);
}

void CZelkDoc::PrintRule(int count) {
  std::memset(CurrentLine(), '-', static_cast<std::size_t>(count < LINE_CELLS ? count : LINE_CELLS));
  AdvanceLine();
}

void CZelkDoc::ClearScreen() {
  m_curLine = 0;
  m_curCol = PROMPT_WIDTH;
  for (auto& line : m_lines) BlankLine(line);
  WritePrompt();
}

}  // namespace zelk

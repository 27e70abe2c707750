#include "console/ZelkView.h"

#include <cstring>

#include "command/ConsoleCommands.h"
#include "environment/OptionsFile.h"
#include "platform/DrawContext.h"
#include "platform/FileSystem.h"
#include "platform/Platform.h"

namespace zelk {

CZelkView::CZelkView(CZelkDoc& doc, Platform& platform) : m_doc(doc), m_platform(platform) {}

void CZelkView::OnCreate() {
  m_startDirHost = m_platform.CurrentDirectory();
  m_startDir = ZelkPathText(m_startDirHost);
  m_parser.ClearTokens();
  LoadOptions(*this);
  m_doc.m_drawMode = DRAW_CLEAR;
  m_platform.RequestRepaint(true);
}

bool CZelkView::OnDestroy() { return SaveOptions(*this); }

void CZelkView::OnChar(unsigned char code) {
  m_doc.m_drawMode = DRAW_NORMAL;
  m_platform.RequestRepaint(false);
  char* line = m_doc.CurrentLine();
  switch (code) {
    case 8:  // Backspace
      if (line[m_doc.m_curCol - 1] == '"') m_quoteMode = !m_quoteMode;
      line[m_doc.m_curCol] = ' ';
      if (m_doc.m_curCol > PROMPT_WIDTH) --m_doc.m_curCol;
      line[m_doc.m_curCol] = ' ';
      break;
    case 9:   // Tab
    case 13:  // Enter
      m_quoteMode = false;
      SubmitInput();
      break;
    default:
      if (code == '"') m_quoteMode = !m_quoteMode;
      if (m_doc.m_curCol >= LAST_INPUT_CELL + 1) break;  // a full input line drops the character
      if (!m_quoteMode && code >= 'A' && code <= 'Z') code = static_cast<unsigned char>(code + 32);
      line[m_doc.m_curCol++] = static_cast<char>(code);
      break;
  }
  m_doc.CurrentLine()[m_doc.m_curCol] = CURSOR_MARK;
}

void CZelkView::SubmitInput() {
  char* line = m_doc.CurrentLine();
  line[m_doc.m_curCol] = ' ';
  constexpr std::size_t kInputCells = LINE_CELLS - PROMPT_WIDTH;  // cells 3..254
  std::memcpy(m_doc.m_statement, line + PROMPT_WIDTH, kInputCells);
  m_doc.m_statement[kInputCells] = '\0';
  m_doc.AdvanceLine();
  ExecuteConsoleLine(*this);
}

void CZelkView::OnDraw(DrawContext& dc, int clientHeight) {
  const int lines = clientHeight / m_doc.m_logFont.height - 1;
  m_doc.m_lastLine = static_cast<short>(lines < CONSOLE_LINES - 1 ? lines : CONSOLE_LINES - 1);
  dc.SetBkColor(0);
  dc.SelectFont(m_doc.m_logFont);
  if (m_doc.m_drawMode == DRAW_NORMAL || m_doc.m_drawMode == DRAW_CLEAR) {
    dc.SetBkColor(m_doc.m_bkColor);
    dc.SetTextColor(m_doc.TextColor());
    if (m_doc.m_drawMode == DRAW_CLEAR) m_doc.ClearScreen();
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      // Pad to 255 cells: whatever stands after a terminator inside the line shows as blanks.
      char* line = m_doc.m_lines[i].data();
      const std::size_t length = ::strnlen(line, LINE_CELLS);
      std::memset(line + length, ' ', LINE_CELLS - length);
      line[LINE_CELLS] = '\0';
      dc.TextOut(0, i * m_doc.m_logFont.height, line, LINE_CELLS);
    }
  }
  dc.RestoreFont();
}

void CZelkView::RunBridge(const char* word) {
  // The word may already stand in the statement line, so it is copied with memmove.
  const std::size_t length = ::strnlen(word, sizeof m_doc.m_statement - 1);
  std::memmove(m_doc.m_statement, word, length);
  m_doc.m_statement[length] = '\0';
  ExecuteConsoleLine(*this);
}

void CZelkView::OnActionStatus() {
  m_doc.PrintRule(LINE_CELLS);
  RunBridge("status");
  m_doc.PrintRule(LINE_CELLS);
  m_doc.m_drawMode = DRAW_NORMAL;
  m_platform.RequestRepaint(false);
}

void CZelkView::OnHelpCommandList() {
  RunBridge("cmdlist");
  m_doc.m_drawMode = DRAW_NORMAL;
  m_platform.RequestRepaint(false);
}

}  // namespace zelk

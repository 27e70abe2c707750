// SPDX-License-Identifier: MIT
#include "console/ZelkView.h"

#include <cstring>

#include "console/ConsoleCommands.h"
#include "console/DrawContext.h"
#include "console/Platform.h"
#include "environment/OptionsFile.h"

namespace zelk {

CZelkView::CZelkView(CZelkDoc& doc, Platform& platform) : m_doc(doc), m_platform(platform) {}

void CZelkView::OnCreate() {
  m_startDirHost = m_platform.CurrentDirectory();
  m_startDir = ZelkPathText(m_startDirHost);
  m_optionsRead = LoadOptions(m_platform.Files(), m_startDirHost, m_doc.m_settings);
  m_doc.Clear();
  m_platform.RequestRepaint(true);
}

bool CZelkView::OnDestroy() {
  return SaveOptions(m_platform.Files(), m_startDirHost, m_doc.m_settings, m_optionsRead);
}

void CZelkView::SetClientHeight(int pixels) {
  const int lines = pixels / m_doc.m_logFont.height - 1;
  m_doc.m_lastLine = static_cast<short>(lines < CONSOLE_LINES - 1 ? lines : CONSOLE_LINES - 1);
  m_doc.KeepCurrentLineUsable();
}

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
  // Cells 3..254; the statement line ends where a typed NUL stands.
  const char* input = line + PROMPT_WIDTH;
  m_doc.m_statement.assign(input, ::strnlen(input, LINE_CELLS - PROMPT_WIDTH));
  m_doc.AdvanceLine();
  ExecuteConsoleLine(*this);
}

void CZelkView::OnDraw(DrawContext& dc) const {
  dc.SetBkColor(0);
  dc.SelectFont(m_doc.m_logFont);
  if (m_doc.m_drawMode == DRAW_NORMAL || m_doc.m_drawMode == DRAW_CLEAR) {
    dc.SetBkColor(m_doc.m_bkColor);
    dc.SetTextColor(m_doc.TextColor());
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      // Every line shows 255 cells: what stands after a terminator shows as blanks.
      const std::string_view text = m_doc.LineText(i);
      if (text.size() == LINE_CELLS) {
        dc.TextOut(0, i * m_doc.m_logFont.height, text.data(), LINE_CELLS);
      } else {
        char padded[LINE_CELLS];
        std::memcpy(padded, text.data(), text.size());
        std::memset(padded + text.size(), ' ', LINE_CELLS - text.size());
        dc.TextOut(0, i * m_doc.m_logFont.height, padded, LINE_CELLS);
      }
    }
  }
  dc.RestoreFont();
}

void CZelkView::RunBridge(const char* word) {
  m_doc.m_statement = word;
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

// SPDX-License-Identifier: MIT
#include "console/ZelkView.h"

#include <cstring>

#include "console/ConsoleCommands.h"
#include "console/ConsoleSelection.h"
#include "console/DrawContext.h"
#include "console/Platform.h"

namespace zelk {

CZelkView::CZelkView(CZelkDoc& doc, Platform& platform) : m_doc(doc), m_platform(platform) {}

void CZelkView::OnCreate() {
  m_startDirHost = m_platform.CurrentDirectory();
  m_startDir = ZelkPathText(m_startDirHost);
  m_optionsRead = LoadOptions(m_platform.Files(), m_startDirHost, m_doc.Settings());
  m_doc.Clear();
  m_platform.RequestRepaint(true);
}

bool CZelkView::OnDestroy() {
  return SaveOptionsFile(SaveMode::WhenChanged);
}

bool CZelkView::SaveOptionsFile(SaveMode mode) const {
  return SaveOptions(m_platform.Files(), m_startDirHost, m_doc.Settings(), m_optionsRead, mode);
}

void CZelkView::SetClientHeight(int pixels) {
  m_doc.SetLastLine(pixels / m_doc.Font().height - 1);
}

void CZelkView::BeginKey() {
  m_doc.SetDrawMode(DRAW_NORMAL);
  m_platform.RequestRepaint(false);
}

void CZelkView::OnChar(unsigned char code) {
  BeginKey();
  switch (code) {
    case 8:  // Backspace
      m_doc.EraseBeforeCursor();
      break;
    case 9:   // Tab
    case 13:  // Enter
      SubmitInput();
      break;
    default:
      // The quote state is what the characters before the cursor make it; those after it keep
      // the case they were typed with.
      if (!m_doc.QuotedAtCursor() && code >= 'A' && code <= 'Z') {
        code = static_cast<unsigned char>(code + 32);
      }
      m_doc.StoreAtCursor(static_cast<char>(code));  // a full input line drops the character
      break;
  }
  m_doc.WriteCursorMark();
}

void CZelkView::MoveCursor(CursorMove move) {
  BeginKey();
  const int column = m_doc.CursorColumn();
  const std::string_view input = m_doc.InputCells();
  int target = column;
  switch (move) {
    case CursorMove::Left:
      target = column - 1;
      break;
    case CursorMove::Right:
      target = column + 1;
      break;
    case CursorMove::Home:
      target = PROMPT_WIDTH;
      break;
    case CursorMove::End:
      target = m_doc.InputEnd();
      break;
    case CursorMove::WordLeft:
      target = PROMPT_WIDTH + PreviousWordStart(input, column - PROMPT_WIDTH);
      break;
    case CursorMove::WordRight:
      target = PROMPT_WIDTH + NextWordEnd(input, column - PROMPT_WIDTH);
      break;
  }
  m_doc.SetCursorColumn(target);
}

void CZelkView::OnDelete() {
  BeginKey();
  m_doc.EraseAtCursor();
}

void CZelkView::SubmitInput() {
  m_doc.SetStatement(m_doc.TakeInputLine());
  m_doc.AdvanceLine();
  ExecuteConsoleLine(*this);
}

void CZelkView::OnDraw(DrawContext& dc) const {
  dc.SetBkColor(0);
  const FontDescription& font = m_doc.Font();
  dc.SelectFont(font);
  if (m_doc.DrawMode() == DRAW_NORMAL || m_doc.DrawMode() == DRAW_CLEAR) {
    dc.SetBkColor(m_doc.BackgroundColor());
    dc.SetTextColor(m_doc.TextColor());
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      // Every line shows 255 cells: what stands after a terminator shows as blanks.
      const std::string_view text = m_doc.LineText(i);
      if (text.size() == LINE_CELLS) {
        dc.TextOut(0, i * font.height, text.data(), LINE_CELLS);
      } else {
        char padded[LINE_CELLS];
        std::memcpy(padded, text.data(), text.size());
        std::memset(padded + text.size(), ' ', LINE_CELLS - text.size());
        dc.TextOut(0, i * font.height, padded, LINE_CELLS);
      }
    }
  }
  dc.RestoreFont();
}

void CZelkView::RunBridge(const char* word) {
  m_doc.SetStatement(word);
  ExecuteConsoleLine(*this);
}

void CZelkView::OnActionStatus() {
  m_doc.PrintRule(LINE_CELLS);
  RunBridge("status");
  m_doc.PrintRule(LINE_CELLS);
  m_doc.SetDrawMode(DRAW_NORMAL);
  m_platform.RequestRepaint(false);
}

void CZelkView::OnHelpCommandList() {
  RunBridge("cmdlist");
  m_doc.SetDrawMode(DRAW_NORMAL);
  m_platform.RequestRepaint(false);
}

}  // namespace zelk

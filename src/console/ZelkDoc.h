// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "environment/EnvironmentSettings.h"
#include "platform/LineSink.h"

namespace zelk {

constexpr int CONSOLE_LINES = 50;
constexpr int LINE_CELLS = 255;  // cells 0..254; byte 255 is always the terminator
constexpr int LINE_SIZE = 256;
constexpr short PROMPT_WIDTH = 3;      // "OK>" in cells 0..2, input from cell 3
constexpr short LAST_INPUT_CELL = 253;  // typed input stops here; the cursor mark may stand in 254
constexpr int INPUT_CHARACTERS = LAST_INPUT_CELL - PROMPT_WIDTH + 1;  // 251 typed characters
constexpr char CURSOR_MARK = '\xA4';    // the currency sign of Windows-1252
constexpr short DRAW_NORMAL = 2;
constexpr short DRAW_CLEAR = 4;

// The console font, as the platform describes it. Only the height takes part in the console's
// arithmetic (it is the line height in pixels); the rest is passed back to the platform to make
// the font.
struct FontDescription {
  int height = 16;
  int width = 8;
  int escapement = 0;
  int orientation = 0;
  int weight = 400;
  bool italic = false;
  bool underline = false;
  bool strikeOut = false;
  int charSet = 0;
  int outPrecision = 0;
  int clipPrecision = 0;
  int quality = 0;
  int pitchAndFamily = 1;  // fixed pitch
  char faceName[32] = "Fixed";
};

// The document: the console screen buffer (50 lines of 255 cells and a terminator) with its
// prompt and cursor, the statement line, the console's colours and font, the settings and the
// paths of the current compile. Its data is its own: the view, the commands and the windows reach
// it through the operations below.
//
// As a line sink it prints lines into the buffer; a transcript sink, when set, receives every line
// at the moment AdvanceLine leaves it (typed lines and rules included), as batch mode writes it.
// A scrolled-off sink, when set, receives the text of line 0 each time AdvanceLine scrolls it off
// the top of the buffer (the desktop keeps those lines to be read again).
class CZelkDoc final : public LineSink {
 public:
  // font: the platform's system font, whose description the console keeps.
  explicit CZelkDoc(const FontDescription& font = FontDescription{});
  CZelkDoc(const CZelkDoc&) = delete;
  CZelkDoc& operator=(const CZelkDoc&) = delete;

  // Output.

  // Finishes the current line and opens a fresh "OK>" prompt below it, scrolling the buffer up by
  // one line when the current line is the last usable one.
  void AdvanceLine();
  // Writes the text (cut at 255 characters) into the current line, then AdvanceLine.
  void PrintLine(std::string_view text) override;
  // Writes count '-' characters from cell 0 of the current line, then AdvanceLine: the separator
  // lines of the compile and the command list (254) and the rules of the Status menu item (255).
  void PrintRule(int count);
  // Resets the buffer to an empty screen with the prompt on line 0.
  void ClearScreen();
  // A clear as the clear command asks for it: the screen is cleared at once, and the draw mode
  // says so until a key or a printed line sets it back.
  void Clear();

  // The input line, as the key rules edit it: the typed text in the cells of the current line
  // from the prompt up to the input's end, and the cursor in it or right after it. While the
  // cursor stands at the end, the cursor mark is in the cell after the text, as the paint rules
  // show it; inside the text there is no mark, and the window shows the cell under the cursor
  // inverted.

  // Inserts the character at the cursor and moves the cursor on; false, storing nothing, when the
  // input line is full (251 characters).
  bool StoreAtCursor(char c);
  // Backspace: removes the character before the cursor; nothing at the start of the input.
  void EraseBeforeCursor();
  // Delete: removes the character under the cursor; nothing at the end of the input.
  void EraseAtCursor();
  // Puts the cursor on a column of the input, within the prompt and the input's end.
  void SetCursorColumn(int column);
  // Writes the cursor mark into the cell after the text when the cursor stands there.
  void WriteCursorMark();
  // Whether the characters before the cursor leave a double quote open.
  bool QuotedAtCursor() const;
  // Blanks the cell after the text (the cursor mark goes) and returns the input cells 3..254, up
  // to a typed NUL: what Enter hands to the command interpreter.
  std::string TakeInputLine();
  // The input typed at the prompt, up to a typed NUL.
  std::string InputText() const;
  // The cells of the input, from the prompt to the input's end.
  std::string_view InputCells() const;
  // The cell after the text: where the cursor mark stands while the cursor is at the end.
  short InputEnd() const { return m_inputEnd; }
  // Whether the cursor stands on a character of the input rather than after it.
  bool CursorInsideInput() const { return m_curCol < m_inputEnd; }

  // Reading the screen.

  // The text of a line as it shows: the cells before a terminator (the rest shows as blanks).
  std::string_view LineText(int index) const;
  // Where the cursor stands: the current line (0..49) and the insertion column (3..254).
  short CursorLine() const { return m_curLine; }
  short CursorColumn() const { return m_curCol; }
  // What the next paint does: DRAW_NORMAL or DRAW_CLEAR.
  short DrawMode() const { return m_drawMode; }
  void SetDrawMode(short mode) { m_drawMode = mode == DRAW_CLEAR ? DRAW_CLEAR : DRAW_NORMAL; }
  // The index of the last usable line, from the height of the console. Setting it (at most 49)
  // keeps the current line usable: when it lies below the new last line, the buffer scrolls up as
  // AdvanceLine scrolls it, until the current line, with the prompt and what is typed on it, is
  // the last usable one.
  short LastLine() const { return m_lastLine; }
  void SetLastLine(int lastLine);

  // The console's look.

  const FontDescription& Font() const { return m_logFont; }
  // A new line height (zoom); positive.
  void SetFontHeight(int pixels);
  // The text colour: the intensity in the green byte.
  std::uint32_t TextColor() const { return static_cast<std::uint32_t>(m_colorIntensity) * 256u; }
  void SetColorIntensity(std::int32_t intensity) { m_colorIntensity = intensity; }
  std::uint32_t BackgroundColor() const { return m_bkColor; }
  float Version() const { return m_version; }

  // The statement line the command interpreter reads.
  const std::string& Statement() const { return m_statement; }
  void SetStatement(std::string_view text) { m_statement.assign(text); }

  // The table index at which the next command listing resumes.
  short CmdlistNext() const { return m_cmdlistNext; }
  void SetCmdlistNext(short index) { m_cmdlistNext = index; }

  EnvironmentSettings& Settings() { return m_settings; }
  const EnvironmentSettings& Settings() const { return m_settings; }

  // The source and compiled file of the current compile (Zelk path texts).
  const std::string& SourcePath() const { return m_sourcePath; }
  const std::string& OutputPath() const { return m_outputPath; }
  void SetSourcePath(std::string path) { m_sourcePath = std::move(path); }
  void SetOutputPath(std::string path) { m_outputPath = std::move(path); }

  // Where lines go besides the buffer (null: nowhere).
  void SetTranscript(LineSink* sink) { m_transcript = sink; }
  void SetScrolledOff(LineSink* sink) { m_scrolledOff = sink; }
  LineSink* ScrolledOff() const { return m_scrolledOff; }

 private:
  // The buffer is a ring: screen line i is row (m_topRow + i) % 50, so that a scroll moves no
  // line.
  std::array<char, LINE_SIZE>& Row(int line) { return m_lines[(m_topRow + line) % CONSOLE_LINES]; }
  const std::array<char, LINE_SIZE>& Row(int line) const {
    return m_lines[(m_topRow + line) % CONSOLE_LINES];
  }
  char* CurrentCells() { return Row(m_curLine).data(); }
  void WritePrompt();
  // Moves every line up by one: line 0 goes to the scrolled-off sink, line 49 becomes blank.
  void ScrollUp();

  float m_version = 1.01f;
  std::array<std::array<char, LINE_SIZE>, CONSOLE_LINES> m_lines;
  int m_topRow = 0;
  std::string m_statement;
  short m_drawMode = DRAW_NORMAL;
  short m_curLine = 0;
  short m_curCol = PROMPT_WIDTH;
  short m_inputEnd = PROMPT_WIDTH;  // m_curCol <= m_inputEnd <= LAST_INPUT_CELL + 1
  short m_cmdlistNext = 0;
  std::uint32_t m_bkColor = 0;
  std::int32_t m_colorIntensity = 170;
  FontDescription m_logFont;
  // Set from the height of the console (CZelkView::SetClientHeight); until then the whole buffer
  // is usable.
  short m_lastLine = CONSOLE_LINES - 1;
  EnvironmentSettings m_settings;
  std::string m_sourcePath;
  std::string m_outputPath;

  LineSink* m_transcript = nullptr;
  LineSink* m_scrolledOff = nullptr;
};

}  // namespace zelk

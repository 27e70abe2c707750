// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

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
// prompt and cursor, the statement line, the console's colours and font, and the settings.
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

  // Finishes the current line and opens a fresh "OK>" prompt below it, scrolling the buffer up by
  // one line when the current line is the last usable one.
  void AdvanceLine();
  // The last usable line went up the screen (the console grew shorter or its lines taller): when
  // the current line lies below it, the buffer scrolls up as AdvanceLine scrolls it, until the
  // current line, with the prompt and what is typed on it, is the last usable one.
  void KeepCurrentLineUsable();
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

  char* CurrentLine() { return m_lines[m_curLine].data(); }
  // The text of a line as it shows: the cells before a terminator (the rest shows as blanks).
  std::string_view LineText(int index) const;
  // The text colour: the intensity in the green byte.
  std::uint32_t TextColor() const { return static_cast<std::uint32_t>(m_colorIntensity) * 256u; }

  float m_version = 1.01f;
  std::array<std::array<char, LINE_SIZE>, CONSOLE_LINES> m_lines;
  std::string m_statement;
  short m_drawMode = DRAW_NORMAL;
  short m_curLine = 0;
  short m_curCol = PROMPT_WIDTH;
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

 private:
  void WritePrompt();
  // Moves every line up by one: line 0 goes to the scrolled-off sink, line 49 becomes blank.
  void ScrollUp();
};

}  // namespace zelk

#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "command/CommandTable.h"
#include "compiler/CompiledScript.h"
#include "environment/EnvironmentSettings.h"

namespace zelk {

constexpr int CONSOLE_LINES = 50;
constexpr int LINE_CELLS = 255;  // cells 0..254; byte 255 is always the terminator
constexpr int LINE_SIZE = 256;
constexpr short PROMPT_WIDTH = 3;      // "OK>" in cells 0..2, input from cell 3
constexpr short LAST_INPUT_CELL = 253;  // typed input stops here; the cursor mark may stand in 254
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

// Receives every console line at the moment AdvanceLine leaves it (batch mode's transcript).
class LineObserver {
 public:
  virtual ~LineObserver() = default;
  virtual void OnLineLeft(const char* line) = 0;
};

// The document: the whole state of a run. The console screen buffer (50 lines of 255 cells and a
// terminator), its prompt and cursor, the statement line, the settings, the command table and the
// compiler's working state.
class CZelkDoc {
 public:
  // font: the platform's system font, whose description the console keeps.
  explicit CZelkDoc(const FontDescription& font = FontDescription{});
  CZelkDoc(const CZelkDoc&) = delete;
  CZelkDoc& operator=(const CZelkDoc&) = delete;

  // Finishes the current line and opens a fresh "OK>" prompt below it, scrolling the buffer up by
  // one line when the current line is the last usable one.
  void AdvanceLine();
  // Writes the text (cut at 255 characters) into the current line, then AdvanceLine.
  void PrintLine(const char* text);
  // PrintLine of a message formatted from a fixed format.
  void PrintFormat(const char* format, ...) __attribute__((format(printf, 2, 3)));
  // Writes count '-' characters from cell 0 of the current line, then AdvanceLine: the separator
  // lines of the compile and the command list (254) and the rules of the Status menu item (255).
  void PrintRule(int count);
  // Resets the buffer to an empty screen with the prompt on line 0.
  void ClearScreen();

  char* CurrentLine() { return m_lines[m_curLine].data(); }
  // The text colour: the intensity in the green byte.
  std::uint32_t TextColor() const { return static_cast<std::uint32_t>(m_colorIntensity) * 256u; }

  float m_version = 1.01f;
  std::array<std::array<char, LINE_SIZE>, CONSOLE_LINES> m_lines;
  char m_statement[256] = {};
  short m_drawMode = DRAW_NORMAL;
  short m_curLine = 0;
  short m_curCol = PROMPT_WIDTH;
  short m_cmdlistNext = 0;
  std::uint32_t m_bkColor = 0;
  std::int32_t m_colorIntensity = 170;
  FontDescription m_logFont;
  // Every paint recomputes it from the view's height; until the first paint the whole buffer is
  // usable.
  short m_lastLine = CONSOLE_LINES - 1;
  std::int32_t m_labelCount = 0;
  std::int32_t m_instructionCount = 0;
  std::int32_t m_interceptCount = 0;
  EnvironmentSettings m_settings;
  const CommandTable& m_commands;
  InstructionRecord m_record;
  std::array<LabelEntry, LABEL_SLOTS> m_labels;
  char m_interceptUsers[INTERCEPT_USER_SLOTS][256] = {};
  char m_sourcePath[256] = {};
  char m_outputPath[256] = {};

  LineObserver* m_lineObserver = nullptr;
  // When set, the first line printed while it is set is kept there (the message of a compile
  // error, for diagnostics).
  std::string* m_firstMessage = nullptr;

 private:
  void WritePrompt();
};

}  // namespace zelk

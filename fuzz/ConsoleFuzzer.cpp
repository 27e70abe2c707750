// The console on arbitrary sequences of typed characters and menu commands.
//
// Every byte is a typed character, except that a 0 byte followed by a selector byte runs a menu
// command or a paint instead (the keyboard never delivers a 0 here: a NUL is typed as 0 0). After
// every key and every command the buffer must be sound: current line 0..49, column 3..254, the
// cursor mark at that cell, byte 255 of every line a zero, the last usable line at most 49, and
// the draw mode one of its two values.

#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "environment/OptionsFile.h"
#include "console/DrawContext.h"

namespace zelk::fuzz {
namespace {

class CountingDrawContext final : public DrawContext {
 public:
  void SelectFont(const FontDescription&) override { ++m_selected; }
  void RestoreFont() override { --m_selected; }
  void SetBkColor(std::uint32_t) override {}
  void SetTextColor(std::uint32_t) override {}
  void TextOut(int, int, const char* text, int count) override {
    ZELK_FUZZ_CHECK(count == LINE_CELLS && ::strnlen(text, LINE_SIZE) == LINE_CELLS,
                    "a line drawn with %d cells", count);
  }
  int m_selected = 0;
};

void CheckBuffer(const CZelkDoc& doc, bool cursorShown) {
  ZELK_FUZZ_CHECK(doc.m_curLine >= 0 && doc.m_curLine < CONSOLE_LINES, "current line %d",
                  doc.m_curLine);
  ZELK_FUZZ_CHECK(doc.m_curCol >= PROMPT_WIDTH && doc.m_curCol <= LINE_CELLS - 1,
                  "current column %d", doc.m_curCol);
  ZELK_FUZZ_CHECK(doc.m_lastLine <= CONSOLE_LINES - 1, "last line %d", doc.m_lastLine);
  ZELK_FUZZ_CHECK(doc.m_drawMode == DRAW_NORMAL || doc.m_drawMode == DRAW_CLEAR, "draw mode %d",
                  doc.m_drawMode);
  ZELK_FUZZ_CHECK(doc.m_cmdlistNext >= 0 && doc.m_cmdlistNext < COMMAND_COUNT,
                  "cmdlist resumes at %d", doc.m_cmdlistNext);
  for (int i = 0; i < CONSOLE_LINES; ++i) {
    ZELK_FUZZ_CHECK(doc.m_lines[i][LINE_CELLS] == '\0', "byte 255 of line %d", i);
  }
  if (cursorShown) {
    ZELK_FUZZ_CHECK(doc.m_lines[doc.m_curLine][doc.m_curCol] == CURSOR_MARK,
                    "no cursor mark at line %d, column %d", doc.m_curLine, doc.m_curCol);
  }
}

// True when a NUL stands in the current line before the cursor: a paint has then blanked the
// rest of the line.
bool MarkMayBeBlanked(const CZelkDoc& doc) {
  return ::strnlen(doc.m_lines[doc.m_curLine].data(), LINE_CELLS) <
         static_cast<std::size_t>(doc.m_curCol);
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  if (size > 16 * 1024) return 0;
  MemoryConsole console;
  console.Start();
  console.files.Put("/load/a.scr", "label@top;\nsay(\"x\", 1, attn_norm);\ngoto(top);\n");
  CZelkDoc& doc = *console.doc;
  CZelkView& view = console.view;
  CountingDrawContext dc;
  CheckBuffer(doc, true);
  // Set by a paint that blanked the cursor mark behind a typed NUL; the next key writes it again.
  bool markBlanked = false;

  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != 0 || i + 1 >= size) {
      view.OnChar(data[i]);
      markBlanked = false;
      CheckBuffer(doc, true);
      continue;
    }
    const std::uint8_t selector = data[++i];
    switch (selector % 8) {
      case 0:
        view.OnChar(0);
        markBlanked = false;
        CheckBuffer(doc, true);
        break;
      case 1:
        // A paint on a view of 0 to 1016 pixels with a 16-pixel font: up to 63 lines. The
        // padding of the paint blanks whatever stands behind a NUL typed into the line, the
        // cursor mark included, until the next key writes it again.
        if (doc.m_drawMode == DRAW_NORMAL && MarkMayBeBlanked(doc)) markBlanked = true;
        if (doc.m_drawMode == DRAW_CLEAR) markBlanked = false;
        view.OnDraw(dc, (selector >> 3) * 32);
        ZELK_FUZZ_CHECK(dc.m_selected == 0, "the paint left a font selected");
        CheckBuffer(doc, !markBlanked);
        break;
      case 2:
        view.OnActionStatus();
        markBlanked = false;
        CheckBuffer(doc, true);
        break;
      case 3:
        view.OnHelpCommandList();
        markBlanked = false;
        CheckBuffer(doc, true);
        break;
      case 4:
        OnSaveOptions(view);
        markBlanked = false;
        CheckBuffer(doc, true);
        break;
      case 5:
        view.RunBridge("clear");  // clears at the next paint; until then the line stays
        CheckBuffer(doc, !markBlanked);
        break;
      case 6:
        view.RunBridge("quake2");
        markBlanked = false;
        CheckBuffer(doc, true);
        break;
      default:
        view.RunBridge(selector & 8 ? "compile a" : "version");
        markBlanked = false;
        CheckBuffer(doc, true);
        break;
    }
  }
  return 0;
}

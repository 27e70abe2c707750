// SPDX-License-Identifier: MIT
// The console on arbitrary sequences of typed characters and menu commands.
//
// Every byte is a typed character, except that a 0 byte followed by a selector byte runs a menu
// command, a change of the console's height, a paint or an editing key instead (the keyboard
// never delivers a 0 here: a NUL is typed as 0 0; the selectors 8, 16, ... 248 are Left, Right,
// Home, End, Ctrl+Left, Ctrl+Right and Delete in turn). After every key and every command the
// buffer must be sound: current line 0..49, column 3..254 and not past the input's end, the
// cursor mark where the input ends while the cursor stands there and a blank there once it moved
// into the input (unless a typed NUL ends the line's text before it), the last usable line at
// most 49, and the draw mode one of its two values. A paint changes nothing and draws every line
// whole.

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "console/ConsoleCommands.h"
#include "console/DrawContext.h"
#include "language/CommandTable.h"

namespace zelk::fuzz {
namespace {

class CountingDrawContext final : public DrawContext {
 public:
  void SelectFont(const FontDescription&) override { ++m_selected; }
  void RestoreFont() override { --m_selected; }
  void SetBkColor(std::uint32_t) override {}
  void SetTextColor(std::uint32_t) override {}
  void TextOut(int, int, const char* text, int count) override {
    ZELK_FUZZ_CHECK(count == LINE_CELLS && ::strnlen(text, LINE_CELLS) == LINE_CELLS,
                    "a line drawn with %d cells", count);
  }
  int m_selected = 0;
};

// The 50 lines as a paint finds them (each up to its terminator), to compare before and after.
struct Screen {
  explicit Screen(const CZelkDoc& doc) {
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      const std::string_view text = doc.LineText(i);
      lengths[i] = text.size();
      std::memcpy(cells[i], text.data(), text.size());
    }
  }
  bool operator==(const Screen& other) const {
    for (int i = 0; i < CONSOLE_LINES; ++i) {
      if (lengths[i] != other.lengths[i] || std::memcmp(cells[i], other.cells[i], lengths[i]) != 0) {
        return false;
      }
    }
    return true;
  }
  std::size_t lengths[CONSOLE_LINES];
  char cells[CONSOLE_LINES][LINE_SIZE];
};

void CheckBuffer(const CZelkDoc& doc) {
  ZELK_FUZZ_CHECK(doc.CursorLine() >= 0 && doc.CursorLine() < CONSOLE_LINES, "current line %d",
                  doc.CursorLine());
  ZELK_FUZZ_CHECK(doc.CursorColumn() >= PROMPT_WIDTH && doc.CursorColumn() <= LINE_CELLS - 1,
                  "current column %d", doc.CursorColumn());
  ZELK_FUZZ_CHECK(doc.LastLine() <= CONSOLE_LINES - 1, "last line %d", doc.LastLine());
  ZELK_FUZZ_CHECK(doc.DrawMode() == DRAW_NORMAL || doc.DrawMode() == DRAW_CLEAR, "draw mode %d",
                  doc.DrawMode());
  ZELK_FUZZ_CHECK(doc.CmdlistNext() >= 0 && doc.CmdlistNext() < COMMAND_COUNT,
                  "cmdlist resumes at %d", doc.CmdlistNext());
  ZELK_FUZZ_CHECK(doc.CursorColumn() <= doc.InputEnd() && doc.InputEnd() <= LINE_CELLS - 1,
                  "cursor at %d, input ends at %d", doc.CursorColumn(), doc.InputEnd());
  // The mark stands where the input ends while the cursor is there; moved into the input, the
  // cursor leaves a blank in its place.
  const std::string_view current = doc.LineText(doc.CursorLine());
  const auto end = static_cast<std::size_t>(doc.InputEnd());
  const char expected = doc.CursorColumn() == doc.InputEnd() ? CURSOR_MARK : ' ';
  ZELK_FUZZ_CHECK(end >= current.size() || current[end] == expected,
                  "line %d, column %d: 0x%02X where the input ends, the cursor at %d",
                  doc.CursorLine(), doc.InputEnd(), static_cast<unsigned char>(current[end]),
                  doc.CursorColumn());
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  if (size > 16 * 1024) return 0;
  static MemoryConsole console;
  const ResetAfterInput reset(console);
  console.Start();
  console.files.Put("/load/a.scr", "label@top;\nsay(\"x\", 1, attn_norm);\ngoto(top);\n");
  CZelkDoc& doc = *console.doc;
  CZelkView& view = *console.view;
  CountingDrawContext dc;
  CheckBuffer(doc);

  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] != 0 || i + 1 >= size) {
      view.OnChar(data[i]);
      CheckBuffer(doc);
      continue;
    }
    const std::uint8_t selector = data[++i];
    switch (selector % 8) {
      case 0: {
        static constexpr CursorMove kMoves[] = {CursorMove::Left,     CursorMove::Right,
                                                CursorMove::Home,     CursorMove::End,
                                                CursorMove::WordLeft, CursorMove::WordRight};
        const int key = selector >> 3;
        if (key == 0) {
          view.OnChar(0);
        } else if ((key - 1) % 7 == 6) {
          view.OnDelete();
        } else {
          view.MoveCursor(kMoves[(key - 1) % 7]);
        }
        CheckBuffer(doc);
        break;
      }
      case 1: {
        // A console of 0 to 1016 pixels with a 16-pixel font: up to 63 lines, then a paint.
        view.SetClientHeight((selector >> 3) * 32);
        const Screen before(doc);
        view.OnDraw(dc);
        ZELK_FUZZ_CHECK(dc.m_selected == 0, "the paint left a font selected");
        ZELK_FUZZ_CHECK(Screen(doc) == before, "the paint changed the buffer");
        CheckBuffer(doc);
        break;
      }
      case 2:
        view.OnActionStatus();
        CheckBuffer(doc);
        break;
      case 3:
        view.OnHelpCommandList();
        CheckBuffer(doc);
        break;
      case 4:
        OnSaveOptions(view);
        CheckBuffer(doc);
        break;
      case 5:
        view.RunBridge("clear");
        ZELK_FUZZ_CHECK(doc.CursorLine() == 0 && doc.CursorColumn() == PROMPT_WIDTH, "clear left %d/%d",
                        doc.CursorLine(), doc.CursorColumn());
        CheckBuffer(doc);
        break;
      case 6:
        view.RunBridge("quake2");
        CheckBuffer(doc);
        break;
      default:
        view.RunBridge(selector & 8 ? "compile a" : "version");
        CheckBuffer(doc);
        break;
    }
  }
  return 0;
}

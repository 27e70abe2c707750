// SPDX-License-Identifier: MIT
#include "console/ConsoleInput.h"

#include "console/CommandHistory.h"
#include "console/ZelkView.h"

namespace zelk {

void TypeInput(CZelkView& view, std::string_view text) {
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code == 0 || code == 8 || code == 9 || code == 13) continue;
    view.OnChar(code);
  }
}

void ReplaceInput(CZelkView& view, std::string_view text) {
  view.MoveCursor(CursorMove::End);
  while (view.Doc().CursorColumn() > PROMPT_WIDTH) view.OnChar(8);
  TypeInput(view, text);
}

bool RecallOlder(CZelkView& view, CommandHistory& history) {
  const std::optional<std::string> line = history.Older(view.Doc().InputText());
  if (line) ReplaceInput(view, *line);
  return line.has_value();
}

bool RecallNewer(CZelkView& view, CommandHistory& history) {
  const std::optional<std::string> line = history.Newer();
  if (line) ReplaceInput(view, *line);
  return line.has_value();
}

std::string PastedLine(std::string_view text) {
  text = text.substr(0, text.find_first_of("\r\n"));
  std::string line;
  line.reserve(text.size());
  for (const char c : text) {
    const auto code = static_cast<unsigned char>(c);
    if (code == '\t') {
      line += ' ';
    } else if (code >= 32 && code != 127) {
      line += c;
    }
  }
  return line;
}

}  // namespace zelk

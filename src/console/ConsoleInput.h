// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zelk {

class CommandHistory;
class CZelkView;

// Input that reaches the prompt by other ways than single keys (a recalled line, a paste): it is
// typed character by character through the key rules, so the input limit and the quote and
// lower-case rules hold for it as for typed text.

// Types the text through the key rules. Codes that would not be stored but edit or submit the
// line (NUL, Backspace, Tab, Enter) are left out.
void TypeInput(CZelkView& view, std::string_view text);
// Erases the input with Backspace through the key rules, then types the text.
void ReplaceInput(CZelkView& view, std::string_view text);

// Up and Down: the input becomes the older or newer line of the history. False when there is none
// (the input stays as it is).
bool RecallOlder(CZelkView& view, CommandHistory& history);
bool RecallNewer(CZelkView& view, CommandHistory& history);

// What a paste types: the first line of the text (up to a line feed or carriage return), with a
// tab as a blank and the other control characters left out, so that a paste never submits or
// edits the line.
std::string PastedLine(std::string_view text);

}  // namespace zelk

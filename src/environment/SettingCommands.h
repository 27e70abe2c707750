#pragma once

namespace zelk {

class CZelkDoc;
class CZelkView;

// Carries out the environment command that the parser has just read (word in token slot 0,
// value in slot 1) and prints its confirmation. Returns false when the command was refused (a
// compile inside a compile, or a directory with no room for its final backslash).
bool ApplySetting(CZelkView& view);

// The 14-line status listing of the settings.
void ShowStatus(CZelkDoc& doc);

}  // namespace zelk

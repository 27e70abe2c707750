// SPDX-License-Identifier: MIT
#pragma once

#include <QKeySequence>

#include "console/ConsoleKeys.h"

class QKeyEvent;

namespace zelk {

// A key press of Qt as the console's key and modifiers: the keypad's modifier is left out, so
// that the keypad's plus is Plus; Alt and Meta count as Alt. Key::None for a key the console
// has no code for.
KeyChord ChordOf(const QKeyEvent& event);
// The console's key and modifiers as Qt's key sequence (for a shortcut).
QKeySequence KeySequenceOf(KeyChord chord);

}  // namespace zelk

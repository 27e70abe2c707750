// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include <string>
#include <vector>

#include "console/ConsoleKeys.h"

namespace zelk {

// The console's keys as Windows accelerators. Each key the console binds (ScreenKeys) is an
// accelerator of its own with command firstCommand + its row, so that a bound key is carried out
// before the keyboard translation makes a character of it: Ctrl+Shift+C and Ctrl+Shift+V never
// reach the key rules as the control characters 3 and 22.
std::vector<ACCEL> ScreenKeyAccelerators(WORD firstCommand);
// The virtual keys that stand for a key of the console (Plus: the main keyboard's and the
// keypad's).
std::vector<WORD> VirtualKeysOf(Key key);
// How a key is named beside a menu caption: "Ctrl+Shift+C".
std::wstring KeyChordText(KeyChord chord);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace zelk {

// The keys the console binds, in codes of its own: each window maps its keyboard's events onto
// them (Qt's key codes, the virtual keys of Windows). Letters and digits are their character
// codes, as the virtual keys of Windows are; the rest follow.
enum class Key : std::uint16_t {
  None = 0,
  Digit0 = '0', Digit1, Digit2, Digit3, Digit4, Digit5, Digit6, Digit7, Digit8, Digit9,
  A = 'A', B, C, D, E, F, G, H, I, J, K, L, M, N, O, P, Q, R, S, T, U, V, W, X, Y, Z,
  Plus = 0x100, Minus, Equal,
  Up, Down, Left, Right, Home, End, PageUp, PageDown, Insert, Delete,
  F1, F2, F3, F4, F5, F6, F7, F8, F9, F10, F11, F12,
};

// The modifiers held with a key. Alt (and the Windows or Command key) is the menu's: no binding
// uses it, so a key with it does nothing in the console.
enum KeyModifier : unsigned {
  MOD_NONE = 0,
  MOD_SHIFT = 1,
  MOD_CTRL = 2,
  MOD_ALT = 4,
};

// A key with the modifiers held, exactly.
struct KeyChord {
  Key key = Key::None;
  unsigned modifiers = MOD_NONE;
  bool operator==(const KeyChord&) const = default;
};

}  // namespace zelk

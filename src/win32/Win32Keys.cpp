// SPDX-License-Identifier: MIT
#include "win32/Win32Keys.h"

#include <utility>

#include "console/ConsoleScreen.h"

namespace zelk {
namespace {

struct NamedKey {
  Key key;
  WORD vk;
  const wchar_t* name;
};

// The named keys; letters and digits are their own virtual keys. On the main keyboard Plus and
// Equal share a key (Plus is its shifted character), and the keypad has a plus and a minus of
// its own.
constexpr NamedKey kNamedKeys[] = {
    {Key::Plus, VK_OEM_PLUS, L"Plus"},  {Key::Plus, VK_ADD, L"Plus"},
    {Key::Minus, VK_OEM_MINUS, L"Minus"}, {Key::Minus, VK_SUBTRACT, L"Minus"},
    {Key::Equal, VK_OEM_PLUS, L"="},    {Key::Up, VK_UP, L"Up"},
    {Key::Down, VK_DOWN, L"Down"},      {Key::Left, VK_LEFT, L"Left"},
    {Key::Right, VK_RIGHT, L"Right"},   {Key::Home, VK_HOME, L"Home"},
    {Key::End, VK_END, L"End"},         {Key::PageUp, VK_PRIOR, L"PgUp"},
    {Key::PageDown, VK_NEXT, L"PgDown"}, {Key::Insert, VK_INSERT, L"Ins"},
    {Key::Delete, VK_DELETE, L"Del"},
};

bool IsLetterOrDigit(Key key) {
  const auto code = static_cast<unsigned>(key);
  return (code >= '0' && code <= '9') || (code >= 'A' && code <= 'Z');
}

}  // namespace

std::vector<WORD> VirtualKeysOf(Key key) {
  if (IsLetterOrDigit(key)) return {static_cast<WORD>(key)};
  const auto code = static_cast<unsigned>(key);
  if (code >= static_cast<unsigned>(Key::F1) && code <= static_cast<unsigned>(Key::F12)) {
    return {static_cast<WORD>(VK_F1 + (code - static_cast<unsigned>(Key::F1)))};
  }
  std::vector<WORD> keys;
  for (const NamedKey& named : kNamedKeys) {
    if (named.key == key) keys.push_back(named.vk);
  }
  return keys;
}

std::vector<ACCEL> ScreenKeyAccelerators(WORD firstCommand) {
  std::vector<ACCEL> table;
  WORD command = firstCommand;
  for (const ScreenKey& screenKey : ScreenKeys()) {
    BYTE flags = FVIRTKEY;
    if (screenKey.chord.modifiers & MOD_SHIFT) flags |= FSHIFT;
    if (screenKey.chord.modifiers & MOD_CTRL) flags |= FCONTROL;
    if (screenKey.chord.modifiers & MOD_ALT) flags |= FALT;
    for (const WORD vk : VirtualKeysOf(screenKey.chord.key)) table.push_back({flags, vk, command});
    ++command;
  }
  return table;
}

std::wstring KeyChordText(KeyChord chord) {
  std::wstring text;
  if (chord.modifiers & MOD_CTRL) text += L"Ctrl+";
  if (chord.modifiers & MOD_SHIFT) text += L"Shift+";
  if (chord.modifiers & MOD_ALT) text += L"Alt+";
  const auto code = static_cast<unsigned>(chord.key);
  if (IsLetterOrDigit(chord.key)) {
    text += static_cast<wchar_t>(code);
  } else if (code >= static_cast<unsigned>(Key::F1) && code <= static_cast<unsigned>(Key::F12)) {
    text += L"F" + std::to_wstring(code - static_cast<unsigned>(Key::F1) + 1);
  } else {
    for (const NamedKey& named : kNamedKeys) {
      if (named.key == chord.key) {
        text += named.name;
        break;
      }
    }
  }
  return text;
}

}  // namespace zelk

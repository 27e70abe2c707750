// SPDX-License-Identifier: MIT
#pragma once

#include "win32/WindowsApi.h"

#include <string>
#include <string_view>

#include "platform/windows/Wide.h"

namespace zelk {

// The window's texts meet Windows in UTF-16: Zelk's texts are Windows-1252 bytes (a byte a
// character); host paths and the clipboard's text are UTF-8, converted as the platform's Windows
// twins convert them (platform/windows/Wide.h).
std::wstring WideFromZelk(std::string_view cp1252);
// A character Windows-1252 cannot hold becomes '?'; a pair of surrogates is one character.
std::string ZelkFromWide(std::wstring_view utf16);
inline std::wstring WideFromUtf8(std::string_view utf8) { return windows::Widen(utf8); }
inline std::string Utf8FromWide(std::wstring_view utf16) { return windows::Narrow(utf16); }

// One character from UTF-16 units as they arrive one message at a time: a high surrogate waits
// for its low one. Returns false while waiting; a unit that pairs with nothing is U+FFFD.
class Utf16Joiner {
 public:
  bool Take(wchar_t unit, char32_t& codePoint);

 private:
  wchar_t m_high = 0;
};

}  // namespace zelk

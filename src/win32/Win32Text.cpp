// SPDX-License-Identifier: MIT
#include "win32/Win32Text.h"

#include "win32/WindowsApi.h"

#include "platform/Cp1252.h"

namespace zelk {

std::wstring WideFromZelk(std::string_view cp1252) {
  std::wstring wide;
  wide.reserve(cp1252.size());
  for (const char c : cp1252) {
    // Every byte of the code page is a character of the Basic Multilingual Plane.
    wide.push_back(static_cast<wchar_t>(Cp1252ToCodePoint(static_cast<unsigned char>(c))));
  }
  return wide;
}

std::string ZelkFromWide(std::wstring_view utf16) {
  std::string text;
  text.reserve(utf16.size());
  Utf16Joiner joiner;
  for (const wchar_t unit : utf16) {
    char32_t codePoint = 0;
    if (!joiner.Take(unit, codePoint)) continue;
    const int byte = CodePointToCp1252(codePoint);
    text.push_back(byte < 0 ? '?' : static_cast<char>(byte));
  }
  return text;
}

bool Utf16Joiner::Take(wchar_t unit, char32_t& codePoint) {
  const wchar_t high = m_high;
  m_high = 0;
  if (IS_HIGH_SURROGATE(unit)) {
    m_high = unit;
    // A high surrogate after a high one: the first pairs with nothing.
    if (high == 0) return false;
    codePoint = 0xFFFD;
    return true;
  }
  if (IS_LOW_SURROGATE(unit)) {
    codePoint = high != 0 ? 0x10000 + ((static_cast<char32_t>(high) - 0xD800) << 10) +
                                (static_cast<char32_t>(unit) - 0xDC00)
                          : 0xFFFD;
    return true;
  }
  codePoint = unit;
  return true;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// Zelk keeps every text (console cells, statement lines, settings, source and compiled files) as
// bytes in the Windows-1252 code page, one byte a character. These two functions are the only
// places where text crosses to UTF-8: terminals, host paths and the desktop's widgets.
namespace zelk {

// A '?' that Utf8ToCp1252 wrote in place of what it could not convert: its offset in the result,
// and the code point that Windows-1252 cannot hold, or 0 for a byte that is not UTF-8.
struct Cp1252Misfit {
  std::size_t offset = 0;
  char32_t codePoint = 0;
};

// UTF-8 to Windows-1252. A character that Windows-1252 cannot hold, and every byte that is not
// part of a valid UTF-8 sequence, becomes '?'; misfits, when given, receives each of them.
std::string Utf8ToCp1252(std::string_view utf8, std::vector<Cp1252Misfit>* misfits = nullptr);

// Windows-1252 to UTF-8. The five bytes that Windows-1252 leaves undefined (0x81, 0x8D, 0x8F,
// 0x90, 0x9D) are carried as the C1 control characters of the same number, so nothing is lost.
std::string Cp1252ToUtf8(std::string_view text);

// The UTF-8 sequence that begins at text[i]: its code point and its length in bytes (1 for ASCII),
// or a length of 0 when no valid sequence begins there (a stray or cut byte, an overlong form, a
// surrogate, a value past U+10FFFF).
struct Utf8Sequence {
  char32_t codePoint = 0;
  std::size_t length = 0;
};
Utf8Sequence DecodeUtf8(std::string_view text, std::size_t i);

// True for the five bytes that Windows-1252 leaves undefined.
constexpr bool IsUndefinedInCp1252(unsigned char byte) {
  return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

// The Unicode code point of one Windows-1252 byte, and back (-1 when there is none).
char32_t Cp1252ToCodePoint(unsigned char byte);
int CodePointToCp1252(char32_t codePoint);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelk::lsp {

// How the character of a position counts: UTF-16 code units (the protocol's default) or bytes
// of UTF-8 (when the client offers it).
enum class PositionEncoding { Utf16, Utf8 };

// A position as the protocol gives it: a line (counted from 0; a line ends at "\n", "\r\n" or
// "\r") and a character within it.
struct Position {
  std::int64_t line = 0;
  std::int64_t character = 0;
  bool operator==(const Position&) const = default;
};

struct Range {
  Position start;
  Position end;
};

// The length in bytes of the UTF-8 character at text[i] and its length in UTF-16 code units. A
// byte that does not begin a valid sequence is one character of one code unit, as the conversion
// to Windows-1252 makes one character of it.
struct Utf8Character {
  std::size_t bytes = 1;
  int utf16Units = 1;
};
Utf8Character DecodeLongerUtf8Character(std::string_view text, std::size_t i);
inline Utf8Character DecodeUtf8Character(std::string_view text, std::size_t i) {
  if (static_cast<unsigned char>(text[i]) < 0x80) return {};
  return DecodeLongerUtf8Character(text, i);
}

// The text of an open document in UTF-8, with the index of its lines in two senses: the
// protocol's lines, and the lines that the compile reads (ended by a line feed only).
class TextDocument {
 public:
  explicit TextDocument(std::string text = {});

  const std::string& Text() const { return m_text; }
  void SetText(std::string text);
  // Replaces the range by text. A position past the end is taken as the end: a line after the
  // last is the end of the document, a character after the end of its line is the line's end.
  void Edit(const Range& range, std::string_view text, PositionEncoding encoding);

  std::int64_t LineCount() const { return static_cast<std::int64_t>(m_lineStarts.size()); }
  // The byte offset of a position, taken to the end as Edit does and to the start of a character
  // that it would split.
  std::size_t OffsetAt(const Position& position, PositionEncoding encoding) const;
  Position PositionAt(std::size_t offset, PositionEncoding encoding) const;

  // The compile's lines, 1 for the first: where a line's text starts and ends (before its line
  // feed and a carriage return in front of it), and the line that holds an offset.
  int CompileLineCount() const { return static_cast<int>(m_feedStarts.size()); }
  std::size_t CompileLineStart(int line) const;
  std::size_t CompileLineEnd(int line) const;
  int CompileLineAt(std::size_t offset) const;

  // The offset count characters after offset (at most up to limit).
  std::size_t Advance(std::size_t offset, std::size_t count, std::size_t limit) const;
  // The number of characters between two offsets.
  std::size_t CharactersBetween(std::size_t from, std::size_t to) const;

 private:
  void Index();
  // Replaces the starts that follow a character in [first, lastOld) of the text before an edit
  // by those in [first, lastNew) of the text after it, and moves the later ones.
  void Reindex(std::vector<std::size_t>& starts, std::size_t first, std::size_t lastOld,
               std::size_t lastNew, bool carriageReturns);
  std::size_t LineEnd(std::size_t line) const;

  std::string m_text;
  std::vector<std::size_t> m_lineStarts;  // the protocol's lines
  std::vector<std::size_t> m_feedStarts;  // the compile's lines
};

}  // namespace zelk::lsp

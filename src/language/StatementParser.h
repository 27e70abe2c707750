// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace zelk {

// How a statement line is to be treated.
enum class ParseResult : int {
  NoEol = -2,           // all arguments read, the ";" that the entry asks for is missing
  BadInstruction = -1,  // no word at the start, or a word that is not in the table
  Usage = 0,            // a known word with the wrong punctuation or arguments
  Environment = 1,      // a well-formed environment command
  Label = 2,            // a well-formed label statement
  Statement = 3,        // a well-formed script statement
};

constexpr int TOKEN_SLOTS = 8;

// What the parser leaves of one line: the result, the matched table entry, and the tokens (slot 0
// the command word, slots 1 to 7 the arguments; a vector fills three). The tokens are views into
// the parsed line and live as long as it does. A failed parse leaves whatever was read before the
// failure; only the results Environment, Label and Statement promise whole tokens.
struct ParsedStatement {
  ParseResult result = ParseResult::BadInstruction;
  int commandIndex = -1;  // the matched entry, or -1
  std::array<std::string_view, TOKEN_SLOTS> tokens{};
  std::array<bool, TOKEN_SLOTS> filled{};
  // Where the parse stopped, as an index into the line, for the results Environment, Label,
  // Statement and NoEol: past the last argument and the blanks after it, that is at the ";" of an
  // entry that asks for one. What follows is not read.
  std::size_t end = 0;

  bool HasToken(int slot) const { return filled[slot]; }
  // The token of a slot; empty when the slot holds none.
  std::string_view Token(int slot) const { return tokens[slot]; }
};

// The statement line parser shared by the console and the compiler: matches the first word of a
// line against the command table and reads the arguments and punctuation that the entry
// prescribes. At most 255 characters of the line are looked at, and none after a NUL.
ParsedStatement ParseStatement(std::string_view line);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>

#include "language/CommandTable.h"

// What the generated reference and editor files say about ZelkScript beyond the command table
// itself: how an entry is written, the names of argument kinds and categories, and the few
// reserved words that the statement encoder translates.
namespace zelk::docgen {

// The filled entries of the table, in code order, with their index (the command code).
struct IndexedEntry {
  int index;
  const CommandEntry* entry;
};
std::array<IndexedEntry, COMMAND_COUNT> FilledEntries();

// "integer", "quoted string", "real", "vector", "word".
const char* KindName(unsigned char kind);
// How an argument of the kind is written in the syntax line: integer, "string", real,
// <x, y, z>, word.
const char* KindPlaceholder(unsigned char kind);
// An argument of the kind as a script author could write it: 1, "text", 0.5, <0, 0, 64>, name.
const char* KindExample(unsigned char kind);

// "environment command", "label", "script statement".
const char* CategoryName(signed char category);
// The same, plural, for headings.
const char* CategoryHeading(signed char category);

// The entry written out with a placeholder for every argument, e.g. `move_to("string", <x, y, z>);`
// or `sv_color integer`.
std::string SyntaxLine(const CommandEntry& entry);
// The entry written out with example arguments; a line that the statement parser accepts.
std::string ExampleLine(const CommandEntry& entry);

// The pseudo-targets that the encoder turns into codes, and the attenuation words of `say`.
inline constexpr std::array<const char*, 4> kPseudoTargets = {".self", ".activator", ".client",
                                                              ".none"};
inline constexpr std::array<const char*, 4> kAttenuationWords = {"attn_none", "attn_norm",
                                                                 "attn_idle", "attn_static"};

// The characters of a word: a-z, 0-9, '-', '_' and '.'.
inline constexpr const char* kWordCharacters = "a-z0-9_.-";

}  // namespace zelk::docgen

// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zelk {

// The formatter of ZelkScript sources: every statement, label and setting line in the spacing
// that the decompiler writes (`say("x", 1, attn_norm);`, `label@top;`, `sv_load_dir = "x";`,
// `map base1`), nothing else changed. A formatted line starts with its word, with no blank before
// it; each token keeps its text as written (numbers, words, strings, the opening mark of a
// vector); what follows the statement (its ";", a comment) stays as it is. Lines that do not
// parse, comments and blank lines stay as they are, and so does a line that the spacing would
// take past 255 characters. A formatted line compiles exactly as the line did: the formatter
// parses its own result as the compile would and keeps the line where the two parses differ.
// Formatting a formatted source changes nothing.

// The formatted form of one line (its text without the line end) into formatted, whose earlier
// text it replaces (line must not view it). False when the line stays as it is (what formatted
// then holds is of no use).
bool FormatSourceLine(std::string_view line, std::string& formatted);

// A whole source: each line formatted, line ends ("\n" or "\r\n") and a last line without one
// kept.
std::string FormatSource(std::string_view source);

}  // namespace zelk

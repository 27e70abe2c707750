// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "language/StatementParser.h"

// What an editor needs to know of a statement beyond the command table: what each argument
// stands for, what to call it, and how to write the statement with its punctuation.
namespace zelk::lsp {

// What a word argument names: a label of the script, an entity (where the pseudo-targets
// ".self", ".activator", ".client" and ".none" may stand), or an attenuation of say.
enum class ArgumentRole { Other, Label, Target, Attenuation };

// The role of argument (0 for the first) of a table entry.
ArgumentRole RoleOf(int commandIndex, int argument);

// A parameter of an entry's usage line: where it stands in the line and the name it gives.
struct HelpParameter {
  std::size_t start = 0;  // "string labelname" in the usage line
  std::size_t end = 0;
  std::string name;  // labelname
};

// The parameters of an entry's usage line, where they agree with the entry's arguments in number
// and kind ("string" a word or a string, "int", "float", "vector" or "vec3_t"); empty otherwise.
const std::vector<HelpParameter>& HelpParameters(int commandIndex);

// Where each argument of a parsed line stands in it (columns from its start): a string with its
// quotes, a vector from its opening mark to its ">". The parse must have read every argument.
struct ArgumentSpan {
  std::size_t start = 0;
  std::size_t end = 0;
};
std::vector<ArgumentSpan> ArgumentSpans(const ParsedStatement& parsed, std::string_view line);

// The names of an entry's arguments, as its usage line calls them where its parameters agree
// with them, and by their kinds otherwise.
std::vector<std::string> ArgumentNames(int commandIndex);

// The statement written out as an editor snippet: the word, its punctuation, one placeholder per
// argument ("goto(${1:x});", "say(\"${1:wavefile}\", ${2:volume}, ${3:attenuation});").
std::string StatementSnippet(int commandIndex);

// Word characters of the language (a-z, 0-9, "-", "_", "."), and capitals, which an author may
// type by mistake: the extent of a word under the cursor.
bool IsWordCharacter(char c);

// Where the cursor stands in the arguments of a statement line: the entry, the argument (0 for
// the first) and where the word being typed there starts.
struct ArgumentContext {
  int commandIndex = -1;
  int argument = -1;
  std::size_t wordStart = 0;
};

// The argument context at the end of prefix (a statement line up to the cursor, as the compile
// reads it); false outside the arguments, inside a quoted string, or after the end. Inside a
// vector, the argument is the vector.
bool FindArgumentContext(std::string_view prefix, ArgumentContext& context);

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace zelk {

class LineSink;

// Argument kinds of a table entry.
enum ArgKind : unsigned char {
  ARG_END = 0,
  ARG_INTEGER = 1,
  ARG_STRING = 2,  // quoted string
  ARG_REAL = 3,
  ARG_VECTOR = 4,
  ARG_WORD = 5,
};

// What a well-formed line of an entry is.
enum Category : signed char {
  CATEGORY_ENVIRONMENT = 1,
  CATEGORY_LABEL = 2,
  CATEGORY_STATEMENT = 3,
};

// One slot of the command and statement table. An empty slot has a null name and help.
struct CommandEntry {
  const char* name;
  char openDelim;   // '(', '=', '@' or 0
  char closeDelim;  // ')' or 0
  unsigned char argKinds[8];  // ended by the first 0
  signed char category;
  const char* help;  // lines, each ended by a newline
};

// The number of arguments of an entry: its kinds before the first ARG_END, at most 7.
inline int ArgumentCount(const CommandEntry& entry) {
  int count = 0;
  while (count < 7 && entry.argKinds[count] != ARG_END) ++count;
  return count;
}

// The command codes of the statements that the compiler translates further, of those that end
// a script's straight run, and of the settings that change how programs are started.
enum CommandCode : int {
  CMD_GOTO = 0,
  CMD_SV_QUAKE2_DIR = 4,
  CMD_SV_PARAMS = 11,
  CMD_SAY = 18,
  CMD_WALK = 19,
  CMD_SV_EDITOR = 20,
  CMD_RUN = 21,
  CMD_ON_BLOCK = 29,
  CMD_ON_USE = 30,
  CMD_ACTION_TARGET = 31,
  CMD_ATTACK = 33,
  CMD_SPAWN = 34,
  CMD_START = 35,
  CMD_ON_TOUCH = 36,
  CMD_ON_SEE = 37,
  CMD_ON_PAIN = 38,
  CMD_LABEL = 39,
  CMD_RETURN = 40,
  CMD_LOOK_AT = 41,
  CMD_USE = 44,
  CMD_STOP = 46,
  CMD_LISTEN = 60,
};

constexpr int COMMAND_SLOTS = 100;
constexpr int COMMAND_COUNT = 62;
using CommandTable = std::array<CommandEntry, COMMAND_SLOTS>;

// The table of the whole command language. An entry's index is the command code stored in
// compiled files, so the order is part of the file format.
const CommandTable& Commands();

// The index of the entry whose name equals word exactly, or -1.
int FindCommand(std::string_view word);

// Calls onLine for each line of a help text: split at newlines, at most 255 characters a line.
template <typename OnLine>
void ForEachHelpLine(const char* help, OnLine onLine) {
  std::string_view rest = help;
  while (!rest.empty()) {
    const std::size_t newline = rest.find('\n');
    std::string_view line = rest.substr(0, newline);
    onLine(line.substr(0, 255));
    if (newline == std::string_view::npos) break;
    rest.remove_prefix(newline + 1);
  }
}

// Prints ">> USAGE <<" and the help lines of the entry; nothing for an empty slot.
void PrintUsage(int index, LineSink& out);

// The first line of an entry's help: the statement's syntax as its help shows it ("" for an
// empty slot).
std::string_view UsageLine(int index);

}  // namespace zelk

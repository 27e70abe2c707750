// SPDX-License-Identifier: MIT
#include "docgen/LanguageSyntax.h"

namespace zelk::docgen {
namespace {

// Writes the entry with one text per argument, in the punctuation that the parser expects:
// the word, the opening delimiter, the arguments separated by ", ", the closing delimiter, and
// the ";" that every entry with an opening delimiter needs.
template <typename ArgumentText>
std::string WriteLine(const CommandEntry& entry, ArgumentText argumentText) {
  std::string line = entry.name;
  switch (entry.openDelim) {
    case 0:
      break;
    case '=':
      line += " = ";
      break;
    default:
      line += entry.openDelim;
      break;
  }
  for (int i = 0; i < 8 && entry.argKinds[i] != ARG_END; ++i) {
    if (i > 0) {
      line += ", ";
    } else if (entry.openDelim == 0) {
      line += ' ';
    }
    line += argumentText(entry.argKinds[i]);
  }
  if (entry.closeDelim != 0) line += entry.closeDelim;
  if (entry.openDelim != 0) line += ';';
  return line;
}

}  // namespace

std::array<IndexedEntry, COMMAND_COUNT> FilledEntries() {
  std::array<IndexedEntry, COMMAND_COUNT> entries{};
  const CommandTable& table = Commands();
  for (int i = 0; i < COMMAND_COUNT; ++i) entries[i] = {i, &table[i]};
  return entries;
}

const char* KindName(unsigned char kind) {
  switch (kind) {
    case ARG_INTEGER:
      return "integer";
    case ARG_STRING:
      return "quoted string";
    case ARG_REAL:
      return "real";
    case ARG_VECTOR:
      return "vector";
    case ARG_WORD:
      return "word";
    default:
      return "?";
  }
}

const char* KindPlaceholder(unsigned char kind) {
  switch (kind) {
    case ARG_INTEGER:
      return "integer";
    case ARG_STRING:
      return "\"string\"";
    case ARG_REAL:
      return "real";
    case ARG_VECTOR:
      return "<x, y, z>";
    case ARG_WORD:
      return "word";
    default:
      return "?";
  }
}

const char* KindExample(unsigned char kind) {
  switch (kind) {
    case ARG_INTEGER:
      return "1";
    case ARG_STRING:
      return "\"text\"";
    case ARG_REAL:
      return "0.5";
    case ARG_VECTOR:
      return "<0, 0, 64>";
    case ARG_WORD:
      return "name";
    default:
      return "?";
  }
}

const char* CategoryName(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "environment command";
    case CATEGORY_LABEL:
      return "label";
    case CATEGORY_STATEMENT:
      return "script statement";
    default:
      return "?";
  }
}

const char* CategoryHeading(signed char category) {
  switch (category) {
    case CATEGORY_ENVIRONMENT:
      return "Environment commands";
    case CATEGORY_LABEL:
      return "Labels";
    case CATEGORY_STATEMENT:
      return "Script statements";
    default:
      return "?";
  }
}

std::string SyntaxLine(const CommandEntry& entry) {
  return WriteLine(entry, KindPlaceholder);
}

std::string ExampleLine(const CommandEntry& entry) {
  return WriteLine(entry, KindExample);
}

}  // namespace zelk::docgen

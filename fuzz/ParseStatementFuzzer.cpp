// SPDX-License-Identifier: MIT
// The statement parser and the encoder on arbitrary lines.
//
// The line is handed over in a heap block of exactly its size and a terminator, so that a read
// past the line is caught by AddressSanitizer; the token slots are a checked std::array in this
// build (_GLIBCXX_ASSERTIONS). Beyond that, a well-formed line must leave exactly the tokens that
// its entry's argument kinds promise, each of the form its kind allows, and the encoder must leave
// a record whose strings are terminated and zero-padded. The test that spares the compiler's first
// pass the parse of most lines must hold for every label line.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "compiler/LabelTable.h"
#include "compiler/SourceLabels.h"
#include "compiler/SourceReader.h"
#include "compiler/StatementEncoder.h"
#include "language/CommandTable.h"
#include "language/Converters.h"
#include "language/StatementParser.h"

namespace zelk::fuzz {
namespace {

bool IsWordChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}

bool IsInteger(std::string_view t) {
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) t.remove_prefix(1);
  if (t.empty()) return false;
  for (char c : t) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool IsReal(std::string_view t) {
  if (!t.empty() && (t[0] == '+' || t[0] == '-')) t.remove_prefix(1);
  const std::size_t point = t.find('.');
  bool anyDigit = false;
  for (std::size_t i = 0; i < t.size(); ++i) {
    if (i == point) continue;
    if (!IsDigit(t[i])) return false;
    anyDigit = true;
  }
  // Without a point an empty token reads as 0; with one, a digit is needed.
  return point == std::string_view::npos || anyDigit;
}

bool IsWord(std::string_view t) {
  if (t.empty()) return false;
  for (char c : t) {
    if (!IsWordChar(c)) return false;
  }
  return true;
}

bool IsQuotedStringToken(std::string_view t, std::string_view line) {
  return t.find('"') == std::string_view::npos && line.find(t) != std::string_view::npos;
}

// The slots a well-formed line of the entry fills: the word and one per argument, three for a
// vector.
int PromisedSlots(const CommandEntry& entry) {
  int slots = 1;
  for (int k = 0; k < 7 && entry.argKinds[k] != ARG_END; ++k) {
    slots += entry.argKinds[k] == ARG_VECTOR ? 3 : 1;
  }
  return slots;
}

void CheckTokens(const ParsedStatement& parser, int result, std::string_view line) {
  ZELK_FUZZ_CHECK(parser.commandIndex >= 0 && parser.commandIndex < COMMAND_COUNT,
                  "result %d with command index %d", result, parser.commandIndex);
  const CommandEntry& entry = Commands()[parser.commandIndex];
  ZELK_FUZZ_CHECK(entry.category == result, "result %d for %s", result, entry.name);
  ZELK_FUZZ_CHECK(parser.HasToken(0) && parser.Token(0) == entry.name, "slot 0 is not %s",
                  entry.name);

  const int promised = PromisedSlots(entry);
  for (int slot = 0; slot < TOKEN_SLOTS; ++slot) {
    ZELK_FUZZ_CHECK(parser.HasToken(slot) == (slot < promised),
                    "%s: slot %d is %s, %d slots promised", entry.name, slot,
                    parser.HasToken(slot) ? "filled" : "empty", promised);
    if (parser.HasToken(slot)) {
      ZELK_FUZZ_CHECK(parser.Token(slot).size() <= 255, "%s: slot %d holds %zu characters",
                      entry.name, slot, parser.Token(slot).size());
    }
  }

  int slot = 1;
  for (int k = 0; k < 7 && entry.argKinds[k] != ARG_END; ++k) {
    const std::string token(parser.Token(slot));
    switch (entry.argKinds[k]) {
      case ARG_INTEGER:
        ZELK_FUZZ_CHECK(IsInteger(token), "%s: integer token '%s'", entry.name, token.c_str());
        break;
      case ARG_REAL:
        ZELK_FUZZ_CHECK(IsReal(token), "%s: real token '%s'", entry.name, token.c_str());
        break;
      case ARG_WORD:
        ZELK_FUZZ_CHECK(IsWord(token), "%s: word token '%s'", entry.name, token.c_str());
        break;
      case ARG_STRING:
        ZELK_FUZZ_CHECK(IsQuotedStringToken(token, line), "%s: string token '%s'", entry.name,
                        token.c_str());
        break;
      case ARG_VECTOR:
        for (int c = 0; c < 3; ++c) {
          ZELK_FUZZ_CHECK(IsReal(parser.Token(slot + c)), "%s: vector token '%s'", entry.name,
                          std::string(parser.Token(slot + c)).c_str());
        }
        slot += 2;
        break;
      default:
        ZELK_FUZZ_CHECK(false, "%s: unknown argument kind", entry.name);
    }
    ++slot;
  }
}

void CheckStringField(const char* field, const char* name) {
  const std::size_t length = ::strnlen(field, RECORD_STRING_SIZE);
  ZELK_FUZZ_CHECK(length < RECORD_STRING_SIZE, "%s has no terminator", name);
  for (std::size_t i = length; i < RECORD_STRING_SIZE; ++i) {
    ZELK_FUZZ_CHECK(field[i] == '\0', "%s has bytes after its terminator", name);
  }
}

// Encodes the statement with every word and string of the line known as a label, so that the
// label rules are reached, and checks the record.
void CheckEncoding(const ParsedStatement& parser) {
  LabelTable labels;
  for (int slot = 1; slot < TOKEN_SLOTS; ++slot) {
    if (parser.HasToken(slot)) labels.Add(ExpandNewlines(parser.Token(slot)), slot);
  }
  InterceptUsers users;
  InstructionRecord r;
  if (!EncodeStatement(parser, labels, users, r).ok) return;
  ZELK_FUZZ_CHECK(r.command == parser.commandIndex, "record command %d for entry %d", r.command,
                  parser.commandIndex);
  CheckStringField(r.String1, "String1");
  CheckStringField(r.String2, "String2");
  ZELK_FUZZ_CHECK(users.Count() <= 1, "one statement added %d intercept users", users.Count());
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  // A statement line holds at most 255 characters; the parser never looks further.
  const std::size_t length = size < 255 ? size : 255;
  auto line = std::make_unique<char[]>(length + 1);
  if (length > 0) std::memcpy(line.get(), data, length);
  line[length] = '\0';

  const ParsedStatement parser = ParseStatement(std::string_view(line.get(), length));
  const int result = static_cast<int>(parser.result);
  ZELK_FUZZ_CHECK(result >= -2 && result <= 3, "result %d", result);
  const std::string_view text(line.get(), ::strnlen(line.get(), length));
  if (result == -1) {
    ZELK_FUZZ_CHECK(
        parser.commandIndex == -1 || !parser.HasToken(0) || FindCommand(parser.Token(0)) == -1,
        "result -1 for a known word");
  }
  if (result == 0 || result == -2) {
    ZELK_FUZZ_CHECK(parser.commandIndex >= 0 && parser.commandIndex < COMMAND_COUNT,
                    "result %d without a matched entry", result);
  }
  if (result >= 1) {
    CheckTokens(parser, result, text);
    if (result == CATEGORY_STATEMENT) CheckEncoding(parser);
  }
  // The compiler's first pass parses only the source lines that may be labels: every line that
  // is one, as the source reader gives it (tabs as blanks), must pass that test.
  std::string read(line.get(), length);
  std::replace(read.begin(), read.end(), '\t', ' ');
  if (ParseStatement(CleanLine(read)).result == ParseResult::Label) {
    ZELK_FUZZ_CHECK(MayBeLabelLine(read), "a label line taken for none");
  }
  return 0;
}

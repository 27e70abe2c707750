// SPDX-License-Identifier: MIT
#include "language/StatementParser.h"

#include <algorithm>
#include <cstring>

#include "language/CommandTable.h"

namespace zelk {
namespace {

// Word characters: a-z, 0-9, "-", "_" and ".".
constexpr std::array<bool, 256> kWordChars = [] {
  std::array<bool, 256> table{};
  for (int c = 'a'; c <= 'z'; ++c) table[c] = true;
  for (int c = '0'; c <= '9'; ++c) table[c] = true;
  table['-'] = table['_'] = table['.'] = true;
  return table;
}();

bool IsWordChar(char c) { return kWordChars[static_cast<unsigned char>(c)]; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The readers of one parse, sharing the read position. No reader moves past the end of the line.
class Reader {
 public:
  explicit Reader(std::string_view line) : m_pos(line.data()), m_end(line.data() + line.size()) {}

  bool ReadWord(std::string_view& out) {
    const char* const start = m_pos;
    SkipSpaces();
    const char* const first = m_pos;
    while (m_pos != m_end && IsWordChar(*m_pos)) ++m_pos;
    if (m_pos == first) {
      m_pos = start;
      return false;
    }
    out = From(first);
    SkipSpaces();
    return true;
  }

  bool ReadInteger(char terminator, std::string_view& out) {
    SkipSpaces();
    const char* const first = m_pos;
    SkipSign();
    const char* const digits = m_pos;
    SkipDigits();
    if (m_pos == digits) return false;
    out = From(first);
    SkipSpaces();
    return TakeTerminator(terminator);
  }

  bool ReadReal(char terminator, std::string_view& out) {
    SkipSpaces();
    const char* const first = m_pos;
    SkipSign();
    const char* const integerStart = m_pos;
    SkipDigits();
    bool anyDigit = m_pos != integerStart;
    if (Peek() == '.') {
      ++m_pos;
      const char* const fractionStart = m_pos;
      SkipDigits();
      anyDigit = anyDigit || m_pos != fractionStart;
      if (!anyDigit) return false;
    }
    // Without a point an empty token, or a lone sign, is accepted and reads as 0.
    out = From(first);
    SkipSpaces();
    return TakeTerminator(terminator);
  }

  bool ReadQuotedString(char terminator, std::string_view& out) {
    SkipSpaces();
    if (Peek() != '"') return false;
    ++m_pos;
    const char* const first = m_pos;
    const auto* close = static_cast<const char*>(std::memchr(first, '"', Left()));
    // A string whose closing quote is missing: the reader stops at the end of the line.
    if (close == nullptr) {
      m_pos = m_end;
      return false;
    }
    out = std::string_view(first, static_cast<std::size_t>(close - first));
    m_pos = close + 1;
    SkipSpaces();
    return TakeTerminator(terminator);
  }

  // Three components into consecutive slots from slot on; slot is left on the third.
  bool ReadVector(char terminator, ParsedStatement& parsed, int& slot) {
    SkipSpaces();
    // The opening mark is not tested (lines are written with "<").
    if (m_pos == m_end) return false;
    ++m_pos;
    for (int component = 0; component < 3; ++component) {
      parsed.filled[slot] = true;
      if (!ReadReal(component < 2 ? ',' : '>', parsed.tokens[slot])) return false;
      if (component < 2) ++slot;
    }
    SkipSpaces();
    return TakeTerminator(terminator);
  }

  // Consumes the terminator if it stands next; a terminator of 0 asks for nothing.
  bool TakeTerminator(char terminator) {
    if (terminator == 0) return true;
    if (m_pos == m_end || *m_pos != terminator) {
      if (m_pos != m_end) ++m_pos;
      return false;
    }
    ++m_pos;
    return true;
  }

  void SkipSpaces() {
    while (m_pos != m_end && *m_pos == ' ') ++m_pos;
  }
  char Peek() const { return m_pos != m_end ? *m_pos : '\0'; }
  // The read position as an index from begin.
  std::size_t Offset(const char* begin) const { return static_cast<std::size_t>(m_pos - begin); }

 private:
  void SkipSign() {
    if (Peek() == '+' || Peek() == '-') ++m_pos;
  }
  void SkipDigits() {
    while (m_pos != m_end && IsDigit(*m_pos)) ++m_pos;
  }
  std::size_t Left() const { return static_cast<std::size_t>(m_end - m_pos); }
  // The text from first up to the read position.
  std::string_view From(const char* first) const {
    return std::string_view(first, static_cast<std::size_t>(m_pos - first));
  }

  const char* m_pos;
  const char* const m_end;
};

}  // namespace

ParsedStatement ParseStatement(std::string_view line) {
  line = line.substr(0, std::min<std::size_t>(line.find('\0'), 255));
  ParsedStatement parsed;
  Reader reader(line);
  if (!reader.ReadWord(parsed.tokens[0])) return parsed;
  parsed.filled[0] = true;
  parsed.commandIndex = FindCommand(parsed.tokens[0]);
  if (parsed.commandIndex < 0) return parsed;
  const CommandEntry& entry = Commands()[parsed.commandIndex];
  parsed.result = ParseResult::Usage;

  reader.SkipSpaces();
  if (entry.openDelim != 0 && !reader.TakeTerminator(entry.openDelim)) return parsed;

  const int argCount = ArgumentCount(entry);
  int slot = 1;
  for (int arg = 0; arg < argCount; ++arg) {
    const bool last = arg == argCount - 1;
    const char terminator = last ? entry.closeDelim : ',';
    std::string_view& token = parsed.tokens[slot];
    bool ok = false;
    switch (entry.argKinds[arg]) {
      case ARG_INTEGER:
        parsed.filled[slot] = true;
        ok = reader.ReadInteger(terminator, token);
        break;
      case ARG_REAL:
        parsed.filled[slot] = true;
        ok = reader.ReadReal(terminator, token);
        break;
      case ARG_STRING:
        parsed.filled[slot] = true;
        ok = reader.ReadQuotedString(terminator, token);
        break;
      case ARG_VECTOR:
        ok = reader.ReadVector(last ? ')' : ',', parsed, slot);
        break;
      case ARG_WORD:
        parsed.filled[slot] = true;
        ok = reader.ReadWord(token) && reader.TakeTerminator(terminator);
        break;
      default:
        break;
    }
    if (!ok) return parsed;
    if (slot < TOKEN_SLOTS - 1) ++slot;
  }

  reader.SkipSpaces();
  parsed.end = reader.Offset(line.data());
  if (entry.openDelim != 0 && reader.Peek() != ';') {
    parsed.result = ParseResult::NoEol;
    return parsed;
  }
  parsed.result = static_cast<ParseResult>(entry.category);
  return parsed;
}

}  // namespace zelk

#include "command/StatementParser.h"

#include <cstring>

#include "command/CommandTable.h"

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

const std::string kNoToken;

}  // namespace

const std::string& StatementParser::Token(int slot) const {
  return m_filled[slot] ? m_tokens[slot] : kNoToken;
}

std::string& StatementParser::MutableToken(int slot) { return Fill(slot); }

void StatementParser::ClearTokens() { m_filled.fill(false); }

std::string& StatementParser::Fill(int slot) {
  if (!m_filled[slot]) {
    m_filled[slot] = true;
    m_tokens[slot].clear();
  }
  return m_tokens[slot];
}

void StatementParser::SkipSpaces() {
  while (Peek() == ' ') ++m_pos;
}

bool StatementParser::TakeTerminator(char terminator) {
  if (terminator == 0) return true;
  // Never move past the end of the line.
  if (m_pos >= m_line.size() || m_line[m_pos] != terminator) {
    if (m_pos < m_line.size()) ++m_pos;
    return false;
  }
  ++m_pos;
  return true;
}

bool StatementParser::ReadWord(std::string& out) {
  const std::size_t start = m_pos;
  SkipSpaces();
  const std::size_t first = m_pos;
  while (IsWordChar(Peek())) ++m_pos;
  if (m_pos == first) {
    m_pos = start;
    return false;
  }
  out.assign(m_line.substr(first, m_pos - first));
  SkipSpaces();
  return true;
}

bool StatementParser::ReadInteger(char terminator, std::string& out) {
  SkipSpaces();
  const std::size_t first = m_pos;
  if (Peek() == '+' || Peek() == '-') ++m_pos;
  const std::size_t digits = m_pos;
  while (IsDigit(Peek())) ++m_pos;
  if (m_pos == digits) return false;
  out.assign(m_line.substr(first, m_pos - first));
  SkipSpaces();
  return TakeTerminator(terminator);
}

bool StatementParser::ReadReal(char terminator, std::string& out) {
  SkipSpaces();
  const std::size_t first = m_pos;
  if (Peek() == '+' || Peek() == '-') ++m_pos;
  const std::size_t integerStart = m_pos;
  while (IsDigit(Peek())) ++m_pos;
  bool anyDigit = m_pos > integerStart;
  if (Peek() == '.') {
    ++m_pos;
    const std::size_t fractionStart = m_pos;
    while (IsDigit(Peek())) ++m_pos;
    anyDigit = anyDigit || m_pos > fractionStart;
    if (!anyDigit) return false;
  }
  // Without a point an empty token, or a lone sign, is accepted and reads as 0.
  out.assign(m_line.substr(first, m_pos - first));
  SkipSpaces();
  return TakeTerminator(terminator);
}

bool StatementParser::ReadQuotedString(char terminator, std::string& out) {
  SkipSpaces();
  if (Peek() != '"') return false;
  ++m_pos;
  const std::size_t first = m_pos;
  const std::size_t close = m_line.find('"', first);
  // A string whose closing quote is missing: the reader stops at the end of the line.
  if (close == std::string_view::npos) {
    m_pos = m_line.size();
    return false;
  }
  out.assign(m_line.substr(first, close - first));
  m_pos = close + 1;
  SkipSpaces();
  return TakeTerminator(terminator);
}

bool StatementParser::ReadVector(char terminator, int& slot) {
  SkipSpaces();
  // The opening mark is not tested (lines are written with "<").
  if (m_pos >= m_line.size()) return false;
  ++m_pos;
  if (!ReadReal(',', Fill(slot))) return false;
  ++slot;
  if (!ReadReal(',', Fill(slot))) return false;
  ++slot;
  if (!ReadReal('>', Fill(slot))) return false;
  SkipSpaces();
  return TakeTerminator(terminator);
}

int StatementParser::ParseStatement(const char* statement) {
  ClearTokens();
  m_line = std::string_view(statement, ::strnlen(statement, 255));
  m_pos = 0;
  if (!ReadWord(Fill(0))) {
    m_filled[0] = false;
    m_commandIndex = -1;
    return PARSE_BAD_INSTRUCTION;
  }
  m_commandIndex = FindCommand(m_tokens[0]);
  if (m_commandIndex < 0) return PARSE_BAD_INSTRUCTION;
  const CommandEntry& entry = Commands()[m_commandIndex];

  SkipSpaces();
  if (entry.openDelim != 0 && !TakeTerminator(entry.openDelim)) return PARSE_USAGE;

  int argCount = 0;
  while (argCount < 7 && entry.argKinds[argCount] != ARG_END) ++argCount;
  int slot = 1;
  for (int arg = 0; arg < argCount; ++arg) {
    const bool last = arg == argCount - 1;
    const char terminator = last ? entry.closeDelim : ',';
    bool ok = false;
    switch (entry.argKinds[arg]) {
      case ARG_INTEGER:
        ok = ReadInteger(terminator, Fill(slot));
        break;
      case ARG_REAL:
        ok = ReadReal(terminator, Fill(slot));
        break;
      case ARG_STRING:
        ok = ReadQuotedString(terminator, Fill(slot));
        break;
      case ARG_VECTOR:
        ok = ReadVector(last ? ')' : ',', slot);
        break;
      case ARG_WORD:
        ok = ReadWord(Fill(slot)) && TakeTerminator(terminator);
        break;
      default:
        break;
    }
    if (!ok) return PARSE_USAGE;
    if (slot < TOKEN_SLOTS - 1) ++slot;
  }

  SkipSpaces();
  if (entry.openDelim != 0 && Peek() != ';') return PARSE_NO_EOL;
  return entry.category;
}

}  // namespace zelk

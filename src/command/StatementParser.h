#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zelk {

// Results of ParseStatement besides the categories 1, 2 and 3.
constexpr int PARSE_NO_EOL = -2;           // arguments read, the ";" is missing
constexpr int PARSE_BAD_INSTRUCTION = -1;  // no word, or a word not in the table
constexpr int PARSE_USAGE = 0;             // known word, wrong punctuation or arguments

constexpr int TOKEN_SLOTS = 8;

// The statement line parser shared by the console and the compiler. It matches the first word of
// a line against the command table, reads the arguments that the entry prescribes and leaves the
// word (slot 0) and the arguments (slots 1 to 7; a vector fills three) as text tokens.
class StatementParser {
 public:
  // Parses the terminated line (at most 255 characters are looked at) and returns -2, -1, 0 or
  // the entry's category.
  int ParseStatement(const char* statement);

  bool HasToken(int slot) const { return m_filled[slot]; }
  const std::string& Token(int slot) const;
  std::string& MutableToken(int slot);
  // Empties every slot.
  void ClearTokens();

  // The matched entry, or -1.
  int m_commandIndex = -1;
  // The token texts; a slot holds a token only while its m_filled flag is set. The strings keep
  // their storage from parse to parse, since the compiler parses every line twice.
  std::array<std::string, TOKEN_SLOTS> m_tokens;
  std::array<bool, TOKEN_SLOTS> m_filled{};

 private:
  char Peek() const { return m_pos < m_line.size() ? m_line[m_pos] : '\0'; }
  void SkipSpaces();
  // Consumes the terminator if it stands next; a terminator of 0 asks for nothing.
  bool TakeTerminator(char terminator);
  bool ReadWord(std::string& out);
  bool ReadInteger(char terminator, std::string& out);
  bool ReadReal(char terminator, std::string& out);
  bool ReadQuotedString(char terminator, std::string& out);
  bool ReadVector(char terminator, int& slot);
  std::string& Fill(int slot);

  std::string_view m_line;
  std::size_t m_pos = 0;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/SourceFormat.h"

#include <algorithm>
#include <cstring>

#include "compiler/SourceReader.h"
#include "language/CommandTable.h"
#include "language/StatementParser.h"

namespace zelk {
namespace {

constexpr std::size_t kMaxLine = 255;

// A line as the compile parses it: tabs read as spaces, at most 255 characters, cleaned. The
// tokens of the parse point into text.
struct CompiledView {
  char text[kMaxLine];
  ParsedStatement parsed;

  explicit CompiledView(std::string_view line) {
    const std::size_t size = std::min(line.size(), kMaxLine);
    std::memcpy(text, line.data(), size);
    for (char* tab = text; (tab = static_cast<char*>(std::memchr(tab, '\t', text + size - tab)));) {
      *tab++ = ' ';
    }
    parsed = ParseStatement(CleanLine(std::string_view(text, size)));
  }

  // Where a token starts in the line.
  std::size_t Offset(int slot) const {
    return static_cast<std::size_t>(parsed.tokens[slot].data() - text);
  }

  bool Whole() const {
    return parsed.result == ParseResult::Statement || parsed.result == ParseResult::Label ||
           parsed.result == ParseResult::Environment;
  }
};

// True when both parses give the compile the same statement: the same entry and tokens.
bool SameStatement(const ParsedStatement& a, const ParsedStatement& b) {
  if (a.result != b.result || a.commandIndex != b.commandIndex) return false;
  for (int slot = 0; slot < TOKEN_SLOTS; ++slot) {
    if (a.filled[slot] != b.filled[slot] || a.tokens[slot] != b.tokens[slot]) return false;
  }
  return true;
}

// The statement of a parsed line in the decompiler's spacing, its tokens as the line writes them.
void Canonical(std::string_view line, const CompiledView& view, std::string& out) {
  const ParsedStatement& parsed = view.parsed;
  const CommandEntry& entry = Commands()[parsed.commandIndex];
  const auto token = [&](int slot) {
    return line.substr(view.Offset(slot), parsed.tokens[slot].size());
  };
  out.assign(entry.name);
  const int count = ArgumentCount(entry);
  if (entry.openDelim == '=') {
    out += " = ";
  } else if (entry.openDelim != 0) {
    out += entry.openDelim;
  } else if (count > 0) {
    out += ' ';
  }
  int slot = 1;
  for (int k = 0; k < count; ++k) {
    if (k > 0) out += ", ";
    switch (entry.argKinds[k]) {
      case ARG_STRING:
        out += '"';
        out += token(slot++);
        out += '"';
        break;
      case ARG_VECTOR: {
        // The opening mark is the character before the first component and its blanks.
        std::size_t mark = view.Offset(slot);
        while (view.text[mark - 1] == ' ') --mark;
        out += line[mark - 1];
        out += token(slot++);
        out += ", ";
        out += token(slot++);
        out += ", ";
        out += token(slot++);
        out += '>';
        break;
      }
      default:
        out += token(slot++);
        break;
    }
  }
  if (entry.closeDelim != 0) out += entry.closeDelim;
}

}  // namespace

bool FormatSourceLine(std::string_view line, std::string& formatted) {
  // The compile reads only the first 255 characters of a line: new spacing in a longer line
  // would move other characters into or out of what it reads, so such a line stays as written.
  if (line.size() > kMaxLine) return false;
  // Only a line whose first character after the blanks is a lower-case letter can start with a
  // statement word: the others stay at once.
  const std::size_t first = line.find_first_not_of(" \t");
  if (first == std::string_view::npos || line[first] < 'a' || line[first] > 'z') return false;
  const CompiledView before(line);
  if (!before.Whole()) return false;
  Canonical(line, before, formatted);
  formatted += line.substr(before.parsed.end);
  if (formatted == line || formatted.size() > kMaxLine) {
    return false;
  }
  return SameStatement(before.parsed, CompiledView(formatted).parsed);
}

std::string FormatSource(std::string_view source) {
  std::string out;
  out.reserve(source.size() + source.size() / 8);
  std::string formatted;
  while (!source.empty()) {
    const std::size_t feed = source.find('\n');
    std::size_t end = feed == std::string_view::npos ? source.size() : feed;
    if (feed != std::string_view::npos && end > 0 && source[end - 1] == '\r') --end;
    const std::string_view line = source.substr(0, end);
    if (FormatSourceLine(line, formatted)) {
      out += formatted;
    } else {
      out += line;
    }
    const std::size_t next = feed == std::string_view::npos ? source.size() : feed + 1;
    out += source.substr(end, next - end);
    source.remove_prefix(next);
  }
  return out;
}

}  // namespace zelk

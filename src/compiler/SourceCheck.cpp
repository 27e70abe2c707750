// SPDX-License-Identifier: MIT
#include "compiler/SourceCheck.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>
#include <unordered_set>

#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "compiler/SourceReader.h"
#include "compiler/StatementEncoder.h"
#include "language/CommandTable.h"
#include "language/StatementParser.h"
#include "platform/LineSink.h"

namespace zelk {
namespace {

constexpr std::size_t kMaxLine = 255;

using Severity = SourceFinding::Severity;

// The usage of an entry as one message: its help lines, joined by newlines.
std::string UsageText(int commandIndex) {
  std::string text;
  if (commandIndex < 0 || commandIndex >= COMMAND_SLOTS) return text;
  const char* help = Commands()[commandIndex].help;
  if (help == nullptr) return text;
  ForEachHelpLine(help, [&](std::string_view line) {
    if (!text.empty()) text += '\n';
    text += line;
  });
  return text;
}

// True when the part of a raw line beyond its first 255 characters holds something that the
// compile would have read: text before a "//" comment, other than trailing blanks.
bool LosesTextBeyondLimit(std::string_view raw) {
  if (raw.size() <= kMaxLine) return false;
  raw = raw.substr(0, raw.find('\0'));
  bool inQuotes = false;
  for (std::size_t i = 0; i < raw.size(); ++i) {
    if (raw[i] == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && raw[i] == '/' && i + 1 < raw.size() && raw[i + 1] == '/') {
      raw = raw.substr(0, i);
      break;
    }
  }
  while (!raw.empty() && static_cast<signed char>(raw.back()) <= 32) raw.remove_suffix(1);
  return raw.size() > kMaxLine;
}

// One line as the compile reads it: at most 255 characters, tabs as spaces, then cleaned.
struct ReadLine {
  int number = 0;
  std::size_t offset = 0;  // into the check's buffer of cleaned lines
  std::size_t length = 0;
};

class Checker {
 public:
  explicit Checker(const SettingHook& checkSetting) : m_checkSetting(checkSetting) {}

  SourceCheck Run(std::string_view text) {
    ReadLines(text);
    CollectLabels();
    for (std::size_t i = 0; i < m_lines.size(); ++i) CheckLine(m_lines[i], m_parsed[i]);
    WarnUnusedLabels();
    std::stable_sort(m_result.findings.begin(), m_result.findings.end(),
                     [](const SourceFinding& a, const SourceFinding& b) {
                       return a.line != b.line ? a.line < b.line : a.severity < b.severity;
                     });
    return std::move(m_result);
  }

 private:
  std::string_view Text(const ReadLine& line) const {
    return std::string_view(m_buffer).substr(line.offset, line.length);
  }

  void Add(Severity severity, int line, std::string message) {
    m_result.findings.push_back({severity, line, std::move(message)});
  }

  // Splits the text into lines as the source reader does: a line feed ends a line, and a last
  // line without one is not read.
  void ReadLines(std::string_view text) {
    // Never more than the text: the views into it stay valid.
    m_buffer.reserve(text.size());
    int number = 0;
    std::size_t pos = 0;
    for (;;) {
      const std::size_t newline = text.find('\n', pos);
      const bool ended = newline != std::string_view::npos;
      const std::string_view raw = text.substr(pos, ended ? newline - pos : std::string_view::npos);
      ++number;
      char stored[kMaxLine + 1];
      const std::size_t taken = std::min(raw.size(), kMaxLine);
      std::replace_copy(raw.begin(), raw.begin() + static_cast<std::ptrdiff_t>(taken), stored, '\t',
                        ' ');
      const std::string_view cleaned = CleanLine(std::string_view(stored, taken));
      if (!ended) {
        if (!cleaned.empty()) {
          Add(Severity::Warning, number,
              "This last line has no line feed at its end: the compile ignores it.");
        }
        break;
      }
      m_result.lineCount = number;
      if (LosesTextBeyondLimit(raw)) {
        Add(Severity::Warning, number,
            "Line longer than 255 characters: the compile reads only the first 255.");
      }
      if (!cleaned.empty()) {
        m_lines.push_back({number, m_buffer.size(), cleaned.size()});
        m_buffer.append(cleaned);
      }
      pos = newline + 1;
    }
  }

  LabelSite Site(const ReadLine& line, std::string_view token) const {
    const std::string_view text = Text(line);
    return {std::string(token), line.number, static_cast<int>(token.data() - text.data()),
            static_cast<int>(token.size())};
  }

  // The first pass of the compile: the labels, each with the number of statements before it.
  // Each line is parsed once; the second pass reads the same results (the tokens view the
  // buffer of cleaned lines, which no longer grows).
  void CollectLabels() {
    std::int32_t statements = 0;
    std::unordered_map<std::string, int> firstLine;
    m_parsed.reserve(m_lines.size());
    for (const ReadLine& line : m_lines) {
      const ParsedStatement& parsed = m_parsed.emplace_back(ParseStatement(Text(line)));
      if (parsed.result == ParseResult::Statement) {
        ++statements;
      } else if (parsed.result == ParseResult::Label) {
        const LabelSite site = Site(line, parsed.Token(1));
        if (!m_labels.Add(site.name, statements)) {
          Add(Severity::Error, line.number, "Too many labels: a script holds at most 100.");
        }
        const auto [first, inserted] = firstLine.emplace(site.name, line.number);
        if (!inserted) {
          Add(Severity::Warning, line.number,
              FormatLine("Label %s is defined twice: the one on line %d is used.",
                         site.name.c_str(), first->second));
        }
        m_result.definitions.push_back(site);
      }
    }
  }

  // The second pass of the compile over one line, without carrying anything out.
  void CheckLine(const ReadLine& line, const ParsedStatement& parsed) {
    const std::string_view text = Text(line);
    switch (parsed.result) {
      case ParseResult::NoEol:
        // Every argument was read: a label that the line names is named, for the author.
        NoteReference(line, parsed);
        Add(Severity::Error, line.number, "No EOL in current statement. Use semicolon.");
        break;
      case ParseResult::BadInstruction: {
        std::string message = "Bad instruction or system data: " + std::string(text);
        if (message.size() > kMaxLine) message.resize(kMaxLine);
        Add(Severity::Error, line.number, std::move(message));
        break;
      }
      case ParseResult::Usage:
        Add(Severity::Error, line.number, UsageText(parsed.commandIndex));
        break;
      case ParseResult::Environment:
        if (m_checkSetting) {
          if (auto refusal = m_checkSetting(parsed)) {
            Add(Severity::Error, line.number, std::move(*refusal));
          }
        }
        break;
      case ParseResult::Statement:
        CheckStatement(line, parsed);
        break;
      case ParseResult::Label:
        break;
    }
  }

  // The label that a statement names, if any (the label ".none" of on_use names none).
  void NoteReference(const ReadLine& line, const ParsedStatement& parsed) {
    const int slot = LabelTokenSlot(parsed.commandIndex);
    if (slot == 0 || !parsed.HasToken(slot) ||
        (parsed.commandIndex == CMD_ON_USE && parsed.Token(slot) == WORD_NONE)) {
      return;
    }
    LabelSite site = Site(line, parsed.Token(slot));
    m_named.insert(site.name);
    m_result.references.push_back(std::move(site));
  }

  void CheckStatement(const ReadLine& line, const ParsedStatement& parsed) {
    NoteReference(line, parsed);
    EncodeOutcome encoded = EncodeStatement(parsed, m_labels, m_users, m_record);
    if (encoded.ok) return;
    if (encoded.errorKind == Diagnostic::Kind::CannotEncode) {
      encoded.error += ": " + std::string(Text(line));
      if (encoded.error.size() > kMaxLine) encoded.error.resize(kMaxLine);
    }
    Add(Severity::Error, line.number, std::move(encoded.error));
  }

  // A label that no statement names: the first line of each such name.
  void WarnUnusedLabels() {
    std::unordered_set<std::string> reported;
    for (const LabelSite& site : m_result.definitions) {
      if (m_named.count(site.name) != 0 || !reported.insert(site.name).second) continue;
      Add(Severity::Warning, site.line,
          FormatLine("Label %s is never used: no statement names it.", site.name.c_str()));
    }
  }

  const SettingHook& m_checkSetting;
  SourceCheck m_result;
  std::string m_buffer;
  std::vector<ReadLine> m_lines;
  std::vector<ParsedStatement> m_parsed;  // one for each of m_lines
  LabelTable m_labels;
  InterceptUsers m_users;
  InstructionRecord m_record;
  std::unordered_set<std::string> m_named;
};

}  // namespace

SourceCheck CheckSource(std::string_view text, const SettingHook& checkSetting) {
  return Checker(checkSetting).Run(text);
}

int LabelTokenSlot(int commandIndex) {
  switch (commandIndex) {
    case CMD_GOTO:
    case CMD_START:
      return 1;
    case CMD_ON_BLOCK:
    case CMD_ON_USE:
    case CMD_ON_TOUCH:
    case CMD_ON_SEE:
    case CMD_ON_PAIN:
      return 2;
    default:
      return 0;
  }
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/SourceCheck.h"

#include <algorithm>
#include <cstdio>
#include <unordered_map>

#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "compiler/SourceReader.h"
#include "compiler/StatementEncoder.h"
#include "language/CommandTable.h"
#include "language/StatementParser.h"
#include "platform/Cp1252.h"
#include "platform/LineSink.h"

namespace zelk {
namespace {

constexpr std::size_t kMaxLine = 255;

using Severity = SourceFinding::Severity;
using Kind = SourceFinding::Kind;

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

// The label blocks of a flow whose name no earlier label line has.
template <typename OnBlock>
void ForEachFirstLabel(const SourceFlow& flow, OnBlock onBlock) {
  for (std::size_t b = 1; b < flow.blocks.size(); ++b) {
    if (flow.blocks[b].firstDefinition < 0) onBlock(flow.blocks[b]);
  }
}

class Checker {
 public:
  Checker(const SettingHook& checkSetting, SourceEncoding encoding)
      : m_checkSetting(checkSetting), m_encoding(encoding) {}

  SourceCheck Run(std::string_view text) {
    if (m_encoding == SourceEncoding::Utf8) {
      const std::string converted = Utf8ToCp1252(text, &m_misfits);
      ReadLines(converted);
    } else {
      ReadLines(text);
    }
    CollectLabels();
    for (std::size_t i = 0; i < m_lines.size(); ++i) CheckLine(m_lines[i], m_parsed[i]);
    CheckFlow();
    std::stable_sort(m_result.findings.begin(), m_result.findings.end(),
                     [](const SourceFinding& a, const SourceFinding& b) {
                       if (a.line != b.line) return a.line < b.line;
                       if (a.severity != b.severity) return a.severity < b.severity;
                       return a.column < b.column;
                     });
    return std::move(m_result);
  }

 private:
  std::string_view Text(const ReadLine& line) const {
    return std::string_view(m_buffer).substr(line.offset, line.length);
  }

  SourceFinding& Add(Severity severity, Kind kind, int line, std::string message) {
    SourceFinding& finding = m_result.findings.emplace_back();
    finding.severity = severity;
    finding.kind = kind;
    finding.line = line;
    finding.lastLine = line;
    finding.message = std::move(message);
    return finding;
  }

  // A finding that covers part of a line: from column, length characters (0: to the end).
  SourceFinding& Add(Severity severity, Kind kind, int line, std::size_t column, std::size_t length,
                     std::string message) {
    SourceFinding& finding = Add(severity, kind, line, std::move(message));
    finding.column = static_cast<int>(column);
    finding.length = static_cast<int>(length);
    return finding;
  }

  // Splits the text into lines as the source reader does: a line feed ends a line, and a last
  // line without one is not read.
  void ReadLines(std::string_view text) {
    // Never more than the text: the views into it stay valid.
    m_buffer.reserve(text.size());
    int number = 0;
    std::size_t pos = 0;
    std::size_t misfit = 0;
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
          Add(Severity::Warning, Kind::NoLineFeed, number,
              "This last line has no line feed at its end: the compile ignores it.");
        }
        break;
      }
      m_result.lineCount = number;
      if (LosesTextBeyondLimit(raw)) {
        Add(Severity::Warning, Kind::LineNotRead, number, kMaxLine, 0,
            "Line longer than 255 characters: the compile reads only the first 255.");
      }
      // The characters of this line that the conversion could not keep.
      const std::size_t firstMisfit = misfit;
      while (misfit < m_misfits.size() && m_misfits[misfit].offset < pos + raw.size()) ++misfit;
      CheckCharacters(number, cleaned, pos, firstMisfit, misfit);
      if (!cleaned.empty()) {
        m_lines.push_back({number, m_buffer.size(), cleaned.size()});
        m_buffer.append(cleaned);
      }
      pos = newline + 1;
    }
  }

  // The characters of a cleaned line that the game will not show as the editor does: what looks
  // like UTF-8 in a file's bytes, the bytes that Windows-1252 leaves undefined, and (for an
  // editor's characters) the misfits [first, last) of the conversion, at offset lineStart on.
  // Each kind once a line, where it first occurs.
  void CheckCharacters(int number, std::string_view cleaned, std::size_t lineStart,
                       std::size_t first, std::size_t last) {
    for (std::size_t m = first; m < last; ++m) {
      const std::size_t column = m_misfits[m].offset - lineStart;
      if (column >= cleaned.size()) break;
      const char32_t codePoint = m_misfits[m].codePoint;
      Add(Severity::Warning, Kind::Encoding, number, column, 1,
          codePoint == 0 ? std::string("Bytes that are not UTF-8: the compile writes ? in their "
                                       "place.")
                         : FormatLine("Character U+%04X has no place in Windows-1252: the "
                                      "compile writes ? in its place.",
                                      static_cast<unsigned>(codePoint)));
      break;
    }
    const bool bytes = m_encoding == SourceEncoding::Cp1252;
    bool utf8 = false;
    bool undefined = false;
    for (std::size_t i = 0; i < cleaned.size(); ++i) {
      const auto byte = static_cast<unsigned char>(cleaned[i]);
      if (byte < 0x80) continue;
      const Utf8Sequence sequence = bytes ? DecodeUtf8(cleaned, i) : Utf8Sequence{};
      if (sequence.length > 1) {
        if (!utf8) {
          utf8 = true;
          Add(Severity::Warning, Kind::Encoding, number, i, sequence.length,
              FormatLine("Text in UTF-8: the game shows %s here, not the character the editor "
                         "shows. The compile copies the bytes as they are; save the source in "
                         "Windows-1252.",
                         std::string(cleaned.substr(i, sequence.length)).c_str()));
        }
        i += sequence.length - 1;
      } else if (!undefined && IsUndefinedInCp1252(byte)) {
        undefined = true;
        Add(Severity::Warning, Kind::Encoding, number, i, 1,
            FormatLine("Byte 0x%02X has no character in Windows-1252: the compile copies it as "
                       "it is, and what the game shows for it is undefined.",
                       static_cast<unsigned>(byte)));
      }
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
          Add(Severity::Error, Kind::Error, line.number,
              "Too many labels: a script holds at most 100.");
        }
        const auto [first, inserted] = firstLine.emplace(site.name, line.number);
        if (!inserted) {
          Add(Severity::Warning, Kind::LabelTwice, line.number,
              static_cast<std::size_t>(site.column), static_cast<std::size_t>(site.length),
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
        Add(Severity::Error, Kind::NoEol, line.number,
            "No EOL in current statement. Use semicolon.");
        return;
      case ParseResult::BadInstruction: {
        std::string message = "Bad instruction or system data: " + std::string(text);
        if (message.size() > kMaxLine) message.resize(kMaxLine);
        Add(Severity::Error, Kind::BadInstruction, line.number, std::move(message));
        return;
      }
      case ParseResult::Usage:
        Add(Severity::Error, Kind::Usage, line.number, UsageText(parsed.commandIndex));
        return;
      case ParseResult::Environment:
        CheckSetting(line, parsed);
        break;
      case ParseResult::Statement:
        CheckStatement(line, parsed);
        break;
      case ParseResult::Label:
        break;
    }
    CheckEnd(line, parsed);
  }

  void CheckSetting(const ReadLine& line, const ParsedStatement& parsed) {
    if (m_checkSetting) {
      if (auto refusal = m_checkSetting(parsed)) {
        Add(Severity::Error, Kind::Error, line.number, std::move(*refusal));
        return;
      }
    }
    const std::string value(parsed.Token(1));
    std::string message;
    switch (parsed.commandIndex) {
      case CMD_SV_QUAKE2_DIR:
        message = FormatLine(
            "Compiling this source changes the user's settings: the game is "
            "started from the directory %s.",
            value.c_str());
        break;
      case CMD_SV_PARAMS:
        message = FormatLine(
            "Compiling this source changes the user's settings: the game is "
            "started with the parameters %s.",
            value.c_str());
        break;
      case CMD_SV_EDITOR:
        message = FormatLine(
            "Compiling this source changes the user's settings: sources are "
            "opened with the editor %s.",
            value.c_str());
        break;
      default:
        return;
    }
    Add(Severity::Information, Kind::Setting, line.number, std::move(message));
  }

  // Text after the end of a well-formed line: the compile reads nothing after the ";" (or, for an
  // entry without one, after its last argument; a ";" there is the usual end all the same).
  void CheckEnd(const ReadLine& line, const ParsedStatement& parsed) {
    const std::string_view text = Text(line);
    std::size_t rest = std::min(parsed.end, text.size());
    while (rest < text.size() && (text[rest] == ';' || text[rest] == ' ')) ++rest;
    if (rest == text.size()) return;
    Add(Severity::Warning, Kind::IgnoredText, line.number, rest, text.size() - rest,
        FormatLine("The compile ignores the text after the end of this statement: %s",
                   std::string(text.substr(rest)).c_str()));
  }

  // The label that a statement names, if any (the label ".none" of on_use names none).
  const LabelSite* NoteReference(const ReadLine& line, const ParsedStatement& parsed) {
    const int slot = LabelTokenSlot(parsed.commandIndex);
    if (slot == 0 || !parsed.HasToken(slot) ||
        (parsed.commandIndex == CMD_ON_USE && parsed.Token(slot) == WORD_NONE)) {
      return nullptr;
    }
    return &m_result.references.emplace_back(Site(line, parsed.Token(slot)));
  }

  void CheckStatement(const ReadLine& line, const ParsedStatement& parsed) {
    const LabelSite* reference = NoteReference(line, parsed);
    EncodeOutcome encoded = EncodeStatement(parsed, m_labels, m_users, m_record);
    if (encoded.ok) return;
    if (encoded.errorKind == Diagnostic::Kind::CannotEncode) {
      encoded.error += ": " + std::string(Text(line));
      if (encoded.error.size() > kMaxLine) encoded.error.resize(kMaxLine);
    }
    SourceFinding& finding =
        Add(Severity::Error, Kind::Error, line.number, std::move(encoded.error));
    if (encoded.errorKind == Diagnostic::Kind::LabelNotFound && reference != nullptr) {
      finding.kind = Kind::LabelNotFound;
      finding.column = reference->column;
      finding.length = reference->length;
    }
  }

  // What the flow of the script leaves unused: labels that no statement names, labels and
  // statements that no path reaches; nothing when a line that could change the flow cannot be
  // read.
  void CheckFlow() {
    std::vector<FlowLine> lines;
    lines.reserve(m_lines.size());
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
      lines.push_back({m_lines[i].number, Text(m_lines[i]), &m_parsed[i]});
    }
    m_result.flow = AnalyseFlow(lines);
    const SourceFlow& flow = m_result.flow;
    // A line that cannot be read may name any label and end any run.
    if (!flow.known) return;
    ForEachFirstLabel(flow, [&](const FlowBlock& block) {
      const char* name = block.label.c_str();
      const auto at = [&](Kind kind, std::string message) {
        Add(Severity::Warning, kind, block.labelLine, static_cast<std::size_t>(block.labelColumn),
            static_cast<std::size_t>(block.labelLength), std::move(message))
            .unnecessary = true;
      };
      if (!block.reached) {
        at(Kind::LabelUnreached,
           FormatLine(block.named ? "Label %s is never reached: only statements that never run "
                                    "name it, and nothing runs on into it. The compile keeps "
                                    "what follows it, but that never runs."
                                  : "Label %s is never reached: no statement names it and "
                                    "nothing runs on into it. The compile keeps what follows "
                                    "it, but that never runs.",
                      name));
      } else if (!block.named) {
        at(Kind::LabelUnused, FormatLine("Label %s is never used: no statement names it. The "
                                         "compile writes nothing for it.",
                                         name));
      }
    });
    // One finding for each run of unreachable statements of a block on consecutive non-empty
    // lines.
    const std::vector<FlowStatement>& statements = flow.statements;
    std::size_t cursor = 0;  // into m_lines
    const auto lineIndex = [&](const FlowStatement& statement) {
      while (m_lines[cursor].number != statement.line) ++cursor;
      return cursor;
    };
    for (std::size_t first = 0; first < statements.size(); ++first) {
      if (statements[first].reached) continue;
      std::size_t last = first;
      std::size_t lastIndex = lineIndex(statements[first]);
      while (last + 1 < statements.size() && !statements[last + 1].reached &&
             statements[last + 1].block == statements[first].block &&
             lineIndex(statements[last + 1]) == lastIndex + 1) {
        ++last;
        ++lastIndex;
      }
      const FlowStatement& statement = statements[first];
      const FlowBlock& block = flow.blocks[static_cast<std::size_t>(statement.block)];
      const std::string reason = block.reached
                                     ? FormatLine("the script never runs on past the %s on line %d",
                                                  EndWord(block.end), block.endLine)
                                     : FormatLine("nothing leads to label %s on line %d",
                                                  block.label.c_str(), block.labelLine);
      const int count = static_cast<int>(last - first + 1);
      SourceFinding& finding =
          Add(Severity::Warning, Kind::Unreachable, statement.line,
              static_cast<std::size_t>(statement.column), 0,
              count == 1 ? FormatLine("Unreachable statement: %s. The compile writes it all the "
                                      "same.",
                                      reason.c_str())
                         : FormatLine("%d unreachable statements, to line %d: %s. The compile "
                                      "writes them all the same.",
                                      count, statements[last].line, reason.c_str()));
      finding.lastLine = statements[last].line;
      finding.unnecessary = true;
      first = last;
    }
  }

  const SettingHook& m_checkSetting;
  const SourceEncoding m_encoding;
  SourceCheck m_result;
  std::string m_buffer;
  std::vector<Cp1252Misfit> m_misfits;
  std::vector<ReadLine> m_lines;
  std::vector<ParsedStatement> m_parsed;  // one for each of m_lines
  LabelTable m_labels;
  InterceptUsers m_users;
  InstructionRecord m_record;
};

}  // namespace

SourceCheck CheckSource(std::string_view text, const SettingHook& checkSetting,
                        SourceEncoding encoding) {
  return Checker(checkSetting, encoding).Run(text);
}

}  // namespace zelk

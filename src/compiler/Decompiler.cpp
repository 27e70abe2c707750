// SPDX-License-Identifier: MIT
#include "compiler/Decompiler.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <iostream>
#include <memory>
#include <vector>

#include "compiler/CompiledScript.h"
#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "compiler/SourceReader.h"
#include "compiler/StatementEncoder.h"
#include "language/CommandTable.h"
#include "language/Converters.h"
#include "language/StatementParser.h"
#include "platform/FileSystem.h"

namespace zelk {
namespace {

bool ReadsBackAs(const std::string& text, float value) {
  const float back = ToFloat(TextToReal(text));
  return std::memcmp(&back, &value, sizeof value) == 0;
}

std::string LabelName(std::int32_t index) { return "l" + std::to_string(index); }

bool IsEmpty(const char* field) { return field[0] == '\0'; }

void SetField(char* field, std::string_view text) {
  std::memset(field, 0, RECORD_STRING_SIZE);
  std::memcpy(field, text.data(), std::min(text.size(), RECORD_STRING_SIZE - 1));
}

// Writes a string argument back as the source held it: a newline as backslash-n.
std::string QuoteString(const char* field) {
  std::string text = "\"";
  for (const char* p = field; *p != '\0'; ++p) {
    if (*p == '\n') {
      text += "\\n";
    } else {
      text += *p;
    }
  }
  return text + "\"";
}

// Undoes the translations of the encoder: the words that the codes stand for, and the labels,
// which it marks in labelled. Returns false for a label index outside the script.
bool RestoreWords(InstructionRecord& r, std::vector<bool>& labelled) {
  auto label = [&](std::int32_t index, char* field) {
    if (index < 0 || static_cast<std::size_t>(index) >= labelled.size()) return false;
    SetField(field, LabelName(index));
    labelled[static_cast<std::size_t>(index)] = true;
    return true;
  };
  switch (r.command) {
    case CMD_SAY:
      if (r.Int1 < 0 || r.Int1 > 3) break;  // left for the check to refuse
      SetField(r.String2, ATTENUATION_WORDS[r.Int1]);
      r.Int1 = 0;
      break;
    case CMD_ATTACK:
      if (IsEmpty(r.String1)) {
        SetField(r.String1, WORD_ACTIVATOR);
        r.Int1 = r.Int2;
        r.Int2 = 0;
      }
      break;
    case CMD_GOTO:
    case CMD_START:
      if (!label(r.Int1, r.String1)) return false;
      r.Int1 = 0;
      break;
    case CMD_ON_BLOCK:
    case CMD_ON_TOUCH:
    case CMD_ON_SEE:
    case CMD_ON_PAIN:
      if (!label(r.Int2, r.String2)) return false;
      r.Int2 = 0;
      if (r.Int1 == CODE_ACTIVATOR) SetField(r.String1, WORD_CLIENT);
      if (r.Int1 == CODE_NONE) SetField(r.String1, WORD_NONE);
      r.Int1 = 0;
      break;
    case CMD_ON_USE:
      if (r.Int1 == CODE_NONE) {
        SetField(r.String2, WORD_NONE);
      } else if (!label(r.Int1, r.String2)) {
        return false;
      }
      r.Int1 = 0;
      break;
    case CMD_LOOK_AT:
    case CMD_RUN:
    case CMD_WALK:
      if (r.Int1 == CODE_ACTIVATOR && IsEmpty(r.String1)) {
        SetField(r.String1, WORD_ACTIVATOR);
        r.Int1 = 0;
      }
      break;
    case CMD_ACTION_TARGET:
      if (r.Int2 == CODE_ACTIVATOR && IsEmpty(r.String1)) {
        SetField(r.String1, WORD_ACTIVATOR);
        r.Int2 = 0;
      }
      break;
    case CMD_SPAWN:
      if (IsEmpty(r.String2)) SetField(r.String2, WORD_NONE);
      break;
    case CMD_USE:
      if (r.Int1 == CODE_SELF) SetField(r.String2, WORD_SELF);
      if (r.Int1 == CODE_ACTIVATOR) SetField(r.String2, WORD_ACTIVATOR);
      if (r.Int1 == CODE_SELF || r.Int1 == CODE_ACTIVATOR) r.Int1 = 0;
      break;
    default:
      break;
  }
  return true;
}

// The statement line of a record whose words are restored, its arguments taken in the order of
// the entry's argument kinds, as the encoder stored them.
std::string StatementLine(const InstructionRecord& r) {
  const CommandEntry& entry = Commands()[r.command];
  std::string line = entry.name;
  if (entry.openDelim != 0) line += entry.openDelim;
  int integers = 0;
  int reals = 0;
  int strings = 0;
  for (int k = 0; k < 7 && entry.argKinds[k] != ARG_END; ++k) {
    if (k > 0) line += ", ";
    switch (entry.argKinds[k]) {
      case ARG_INTEGER:
        line += std::to_string(integers++ == 0 ? r.Int1 : r.Int2);
        break;
      case ARG_REAL:
        line += FormatReal(reals++ == 0 ? r.Float1 : r.Float2);
        break;
      case ARG_STRING:
        line += QuoteString(strings++ == 0 ? r.String1 : r.String2);
        break;
      case ARG_WORD:
        line += strings++ == 0 ? r.String1 : r.String2;
        break;
      case ARG_VECTOR:
        line += "<" + FormatReal(r.Vector[0]) + ", " + FormatReal(r.Vector[1]) + ", " +
                FormatReal(r.Vector[2]) + ">";
        break;
      default:
        break;
    }
  }
  if (entry.closeDelim != 0) line += entry.closeDelim;
  if (entry.openDelim != 0) line += ';';
  return line;
}

bool StringsAreClean(const unsigned char* record) {
  for (const std::size_t offset : {std::size_t{20}, std::size_t{276}}) {
    const auto* field = record + offset;
    const auto* end = field + RECORD_STRING_SIZE;
    const auto* zero = static_cast<const unsigned char*>(std::memchr(field, 0, RECORD_STRING_SIZE));
    if (zero == nullptr) return false;
    for (const auto* p = zero; p < end; ++p) {
      if (*p != 0) return false;
    }
  }
  return true;
}

}  // namespace

std::string FormatReal(float value) {
  if (std::isnan(value)) return {};
  if (std::isinf(value)) {
    // Past the rounding boundary of the float range: read back as infinity.
    return value > 0 ? "340282360000000000000000000000000000000"
                     : "-340282360000000000000000000000000000000";
  }
  char buffer[512];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed);
  std::string text(buffer, result.ptr);
  if (ReadsBackAs(text, value)) return text;
  // The reader sums digit by digit; where that differs from exact rounding, take more digits.
  for (int precision = 0; precision <= 160; ++precision) {
    result = std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(value),
                           std::chars_format::fixed, precision);
    text.assign(buffer, result.ptr);
    if (ReadsBackAs(text, value)) return text;
  }
  return {};
}

bool DecompileScript(const unsigned char* data, std::size_t size, std::string& source,
                     std::string& reason) {
  if (size < HEADER_SIZE) {
    reason = "the file is shorter than the 8-byte header";
    return false;
  }
  const CompiledScriptHeader header = ReadHeader(data);
  if (header.instructionCount < 0 ||
      size != HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(header.instructionCount)) {
    reason = "the file size does not match the instruction count of its header "
             "(an unfinished or damaged compile)";
    return false;
  }
  if (header.interceptCount < 0 || header.interceptCount > INTERCEPT_USER_SLOTS) {
    reason = "the intercept count of the header is out of range";
    return false;
  }
  const std::int32_t count = header.instructionCount;

  // First the words and labels of every record, so that each label can stand before its record.
  std::vector<std::string> lines(static_cast<std::size_t>(count));
  std::vector<bool> labelled(static_cast<std::size_t>(count) + 1, false);
  for (std::int32_t i = 0; i < count; ++i) {
    const unsigned char* bytes = data + HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(i);
    InstructionRecord record = ReadRecord(bytes);
    const std::string at = "record " + std::to_string(i) + ": ";
    if (record.command < 0 || record.command >= COMMAND_COUNT) {
      reason = at + "unknown command code " + std::to_string(record.command);
      return false;
    }
    if (Commands()[record.command].category != CATEGORY_STATEMENT) {
      reason = at + "command code " + std::to_string(record.command) + " (" +
               Commands()[record.command].name + ") is never stored in a compiled script";
      return false;
    }
    if (!StringsAreClean(bytes)) {
      reason = at + "a string without its zero byte, or with bytes after it";
      return false;
    }
    if (!RestoreWords(record, labelled)) {
      reason = at + "a label index outside the script";
      return false;
    }
    lines[static_cast<std::size_t>(i)] = StatementLine(record);
  }

  // Then the check: every line, compiled again with the same labels, gives the same bytes.
  if (std::count(labelled.begin(), labelled.end(), true) > LABEL_SLOTS) {
    reason = "more than 100 records are branch targets, and a script holds at most 100 labels";
    return false;
  }
  LabelTable labels;
  for (std::int32_t i = 0; i <= count; ++i) {
    if (labelled[static_cast<std::size_t>(i)]) labels.Add(LabelName(i), i);
  }
  InterceptUsers users;
  InstructionRecord again;
  source.clear();
  for (std::int32_t i = 0; i < count; ++i) {
    const std::string& line = lines[static_cast<std::size_t>(i)];
    if (labelled[static_cast<std::size_t>(i)]) source += "label@" + LabelName(i) + ";\n";
    bool same = line.size() < 255;
    if (same) {
      // Read as a source line is read: a tab becomes a space, so a record holding a tab is
      // none that a compile wrote.
      std::string read = line;
      std::replace(read.begin(), read.end(), '\t', ' ');
      const ParsedStatement parsed = ParseStatement(CleanLine(read));
      same = parsed.result == ParseResult::Statement &&
             EncodeStatement(parsed, labels, users, again).ok;
    }
    if (same) {
      unsigned char bytes[RECORD_SIZE];
      WriteRecord(again, bytes);
      same = std::memcmp(bytes, data + HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(i),
                         RECORD_SIZE) == 0;
    }
    if (!same) {
      reason = "record " + std::to_string(i) +
               " holds values that no ZelkScript statement compiles to";
      return false;
    }
    source += line;
    source += '\n';
  }
  if (labelled[static_cast<std::size_t>(count)]) source += "label@" + LabelName(count) + ";\n";
  if (users.Count() != header.interceptCount) {
    reason = "the intercept count of the header does not match its on_use statements";
    return false;
  }
  return true;
}

int RunDecompile(const std::string& path, std::ostream& out, std::ostream& err) {
  std::string bytes;
  std::string reason;
  if (!ReadWholeFile(path, bytes, reason)) {
    err << "zelk: " << path << ": " << reason << "\n";
    return 1;
  }
  std::string source;
  if (!DecompileScript(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), source,
                       reason)) {
    err << "zelk: " << path << ": " << reason << "\n";
    return 1;
  }
  out << source;
  out.flush();
  return 0;
}

}  // namespace zelk

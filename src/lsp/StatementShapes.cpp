// SPDX-License-Identifier: MIT
#include "lsp/StatementShapes.h"

#include <algorithm>
#include <cstring>

#include "language/CommandTable.h"

namespace zelk::lsp {
namespace {

constexpr ArgumentRole O = ArgumentRole::Other;
constexpr ArgumentRole L = ArgumentRole::Label;
constexpr ArgumentRole T = ArgumentRole::Target;
constexpr ArgumentRole A = ArgumentRole::Attenuation;

// The word arguments that name something, by statement; the rest are Other. The labels are
// those that the encoder resolves; the targets are the entities of the help texts (targetname,
// activator, destination).
struct Roles {
  const char* word;
  ArgumentRole roles[4];
};
constexpr Roles kRoles[] = {
    {"goto", {L}},          {"start", {L}},
    {"on_block", {T, L}},   {"on_touch", {T, L}},
    {"on_see", {T, L}},     {"on_pain", {T, L}},
    {"on_use", {T, L}},     {"say", {O, O, A}},
    {"walk", {T}},          {"run", {T}},
    {"look_at", {T}},       {"attack", {T}},
    {"use", {T, T}},        {"action_target", {O, T}},
    {"spawn", {O, T}},      {"run_slave", {T, T}},
    {"target_camera", {T}}, {"rotate_camera", {T}},
    {"rotate_slave", {T}},  {"look_at_slave", {T, T}},
    {"action_slave", {T}},  {"stand_slave", {T}},
    {"say_slave", {T}},
};

bool Valid(int commandIndex) {
  return commandIndex >= 0 && commandIndex < COMMAND_COUNT;
}

const char* KindName(unsigned char kind) {
  switch (kind) {
    case ARG_INTEGER:
      return "int";
    case ARG_STRING:
      return "string";
    case ARG_REAL:
      return "float";
    case ARG_VECTOR:
      return "vector";
    default:
      return "word";
  }
}

// The last blank-separated word of a parameter ("string labelname" gives labelname), with
// only letters, digits and underscores kept.
std::string ParameterName(std::string_view parameter) {
  while (!parameter.empty() && parameter.back() == ' ') parameter.remove_suffix(1);
  const std::size_t blank = parameter.rfind(' ');
  if (blank != std::string_view::npos) parameter.remove_prefix(blank + 1);
  std::string name;
  for (const char c : parameter) {
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_') {
      name += c;
    }
  }
  return name;
}

// True when a type word of a usage line stands for an argument kind.
bool TypeAgrees(std::string_view type, unsigned char kind) {
  switch (kind) {
    case ARG_INTEGER:
      return type == "int";
    case ARG_REAL:
      return type == "float";
    case ARG_STRING:
    case ARG_WORD:
      return type == "string";
    case ARG_VECTOR:
      return type == "vector" || type == "vec3_t";
    default:
      return false;
  }
}

bool IsBlank(char c) {
  return c == ' ';
}

bool IsLanguageWordCharacter(char c) {
  return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '_' || c == '.';
}

}  // namespace

ArgumentRole RoleOf(int commandIndex, int argument) {
  if (!Valid(commandIndex) || argument < 0 || argument >= 4) return O;
  const CommandEntry& entry = Commands()[commandIndex];
  if (argument >= ArgumentCount(entry) || entry.argKinds[argument] != ARG_WORD) return O;
  for (const Roles& r : kRoles) {
    if (std::strcmp(r.word, entry.name) == 0) return r.roles[argument];
  }
  return O;
}

static std::vector<HelpParameter> ReadHelpParameters(int commandIndex);

const std::vector<HelpParameter>& HelpParameters(int commandIndex) {
  // Read once for every entry: inlay hints ask for them on every line.
  static const std::vector<std::vector<HelpParameter>> table = [] {
    std::vector<std::vector<HelpParameter>> all;
    for (int i = 0; i < COMMAND_COUNT; ++i) all.push_back(ReadHelpParameters(i));
    return all;
  }();
  static const std::vector<HelpParameter> none;
  return Valid(commandIndex) ? table[static_cast<std::size_t>(commandIndex)] : none;
}

static std::vector<HelpParameter> ReadHelpParameters(int commandIndex) {
  std::vector<HelpParameter> parameters;
  const CommandEntry& entry = Commands()[commandIndex];
  const int count = ArgumentCount(entry);
  const std::string_view usage = UsageLine(commandIndex);
  // "word(type name, type name);" or "word <type name>".
  std::size_t open = usage.find('(');
  std::size_t close = usage.find(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
    open = usage.find('<');
    close = usage.find('>');
  }
  if (open == std::string_view::npos || close == std::string_view::npos || close <= open) {
    return parameters;
  }
  std::size_t at = open + 1;
  while (at < close) {
    std::size_t comma = usage.find(',', at);
    if (comma == std::string_view::npos || comma > close) comma = close;
    std::size_t start = at;
    while (start < comma && usage[start] == ' ') ++start;
    std::size_t end = comma;
    while (end > start && usage[end - 1] == ' ') --end;
    parameters.push_back({start, end, ParameterName(usage.substr(start, end - start))});
    at = comma + 1;
  }
  bool usable = static_cast<int>(parameters.size()) == count;
  for (std::size_t i = 0; usable && i < parameters.size(); ++i) {
    const HelpParameter& p = parameters[i];
    const std::string_view text = usage.substr(p.start, p.end - p.start);
    const std::size_t blank = text.find(' ');
    const std::string_view type = blank == std::string_view::npos ? "" : text.substr(0, blank);
    usable = !p.name.empty() && (type.empty() || TypeAgrees(type, entry.argKinds[i]));
  }
  if (!usable) parameters.clear();
  return parameters;
}

std::vector<std::string> ArgumentNames(int commandIndex) {
  std::vector<std::string> names;
  if (!Valid(commandIndex)) return names;
  for (const HelpParameter& p : HelpParameters(commandIndex)) names.push_back(p.name);
  if (names.empty()) {
    const CommandEntry& entry = Commands()[commandIndex];
    for (int i = 0; i < ArgumentCount(entry); ++i) names.emplace_back(KindName(entry.argKinds[i]));
  }
  return names;
}

std::vector<ArgumentSpan> ArgumentSpans(const ParsedStatement& parsed, std::string_view line) {
  std::vector<ArgumentSpan> spans;
  if (!Valid(parsed.commandIndex)) return spans;
  const CommandEntry& entry = Commands()[parsed.commandIndex];
  const auto column = [&](std::string_view token) {
    return static_cast<std::size_t>(token.data() - line.data());
  };
  int slot = 1;
  for (int arg = 0; arg < ArgumentCount(entry) && slot < TOKEN_SLOTS; ++arg) {
    const std::string_view token = parsed.Token(slot);
    std::size_t start = column(token);
    std::size_t end = start + token.size();
    switch (entry.argKinds[arg]) {
      case ARG_STRING:
        start -= 1;
        end += 1;
        break;
      case ARG_VECTOR: {
        while (start > 0 && line[start - 1] == ' ') --start;
        if (start > 0) --start;  // the opening mark
        slot += 2;
        const std::string_view last = parsed.Token(std::min(slot, TOKEN_SLOTS - 1));
        end = std::min(line.find('>', column(last) + last.size()), line.size() - 1) + 1;
        break;
      }
      default:
        break;
    }
    spans.push_back({start, end});
    ++slot;
  }
  return spans;
}

std::string StatementSnippet(int commandIndex) {
  if (!Valid(commandIndex)) return {};
  const CommandEntry& entry = Commands()[commandIndex];
  const std::vector<std::string> names = ArgumentNames(commandIndex);
  std::string snippet = entry.name;
  switch (entry.openDelim) {
    case '=':
      snippet += " = ";
      break;
    case 0:
      if (!names.empty()) snippet += ' ';
      break;
    default:
      snippet += entry.openDelim;
      break;
  }
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (i > 0) snippet += ", ";
    const std::string placeholder = "${" + std::to_string(i + 1) + ":" + names[i] + "}";
    switch (entry.argKinds[i]) {
      case ARG_STRING:
        snippet += "\"" + placeholder + "\"";
        break;
      case ARG_VECTOR:
        snippet += "<" + placeholder + ">";
        break;
      default:
        snippet += placeholder;
        break;
    }
  }
  if (entry.closeDelim != 0) snippet += entry.closeDelim;
  if (entry.openDelim != 0) snippet += ';';
  return snippet;
}

bool IsWordCharacter(char c) {
  return IsLanguageWordCharacter(c) || (c >= 'A' && c <= 'Z');
}

bool FindArgumentContext(std::string_view prefix, ArgumentContext& context) {
  std::size_t i = 0;
  while (i < prefix.size() && IsBlank(prefix[i])) ++i;
  const std::size_t wordStart = i;
  while (i < prefix.size() && IsLanguageWordCharacter(prefix[i])) ++i;
  if (i == wordStart || i == prefix.size()) return false;
  const int commandIndex = FindCommand(prefix.substr(wordStart, i - wordStart));
  if (commandIndex < 0) return false;
  const CommandEntry& entry = Commands()[commandIndex];
  const int count = ArgumentCount(entry);

  while (i < prefix.size() && IsBlank(prefix[i])) ++i;
  if (entry.openDelim != 0) {
    if (i == prefix.size() || prefix[i] != entry.openDelim) return false;
    ++i;
  }
  int argument = 0;
  bool inQuotes = false;
  enum { Before, Inside, After } vector = Before;
  for (; i < prefix.size(); ++i) {
    const char c = prefix[i];
    if (inQuotes) {
      inQuotes = c != '"';
      continue;
    }
    if (argument < count && entry.argKinds[argument] == ARG_VECTOR) {
      // The first mark opens the vector, whatever it is; ">" closes it.
      if (vector == Before && !IsBlank(c)) {
        vector = Inside;
        continue;
      }
      if (vector == Inside) {
        if (c == '>') vector = After;
        continue;
      }
    }
    if (c == '"') {
      inQuotes = true;
    } else if (c == ',') {
      ++argument;
      vector = Before;
    } else if (c == ';' || (entry.closeDelim != 0 && c == entry.closeDelim)) {
      return false;
    }
  }
  // Inside a vector, the vector is the argument: its commas count for nothing.
  if (inQuotes || argument >= count) return false;
  std::size_t start = prefix.size();
  while (start > 0 && IsWordCharacter(prefix[start - 1])) --start;
  context = {commandIndex, argument, start};
  return true;
}

}  // namespace zelk::lsp

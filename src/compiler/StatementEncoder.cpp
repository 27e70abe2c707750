#include "compiler/StatementEncoder.h"

#include <strings.h>

#include <cstring>

#include "command/CommandTable.h"
#include "command/Converters.h"
#include "command/StatementParser.h"
#include "console/ZelkDoc.h"

namespace zelk {
namespace {

constexpr std::int32_t CODE_ACTIVATOR = 255;  // ".activator" and ".client"
constexpr std::int32_t CODE_SELF = 1;         // ".self"
constexpr std::int32_t CODE_NONE = -1;        // ".none"

void ClearString(char* field) { std::memset(field, 0, RECORD_STRING_SIZE); }

bool Is(const char* field, const char* word) { return std::strcmp(field, word) == 0; }

// Copies a token into a record string: at most 255 characters and the terminator.
void StoreString(char* field, const std::string& token) {
  const std::size_t length = std::min(token.size(), RECORD_STRING_SIZE - 1);
  std::memcpy(field, token.data(), length);
  field[length] = '\0';
}

// Resolves the label named in a string field into target; prints "<word>: Label %s not found!"
// when there is none.
bool ResolveLabel(CZelkDoc& doc, const char* word, char* field, std::int32_t& target) {
  target = FindLabel(doc, field);
  if (target < 0) {
    doc.PrintFormat("%s: Label %s not found!", word, field);
    return false;
  }
  ClearString(field);
  return true;
}

// The four intercepts other than on_use: activator in String1, label in String2.
bool EncodeIntercept(CZelkDoc& doc, const char* word) {
  InstructionRecord& r = doc.m_record;
  if (Is(r.String1, ".client")) {
    r.Int1 = CODE_ACTIVATOR;
    ClearString(r.String1);
  } else if (Is(r.String1, ".none")) {
    r.Int1 = CODE_NONE;
    ClearString(r.String1);
  } else {
    r.Int1 = 0;
  }
  return ResolveLabel(doc, word, r.String2, r.Int2);
}

bool EncodeOnUse(CZelkDoc& doc) {
  InstructionRecord& r = doc.m_record;
  if (Is(r.String2, ".none")) {
    r.Int1 = CODE_NONE;
    doc.PrintFormat("User %s intercept killed.", r.String1);
  } else {
    r.Int1 = FindLabel(doc, r.String2);
    if (r.Int1 < 0) {
      doc.PrintFormat("on_use: Label %s not found!", r.String2);
      return false;
    }
    if (!AddInterceptUser(doc, r.String1)) {
      doc.PrintFormat("Too many on_use users: %s is the 101st, the limit is 100.", r.String1);
      return false;
    }
    doc.PrintFormat("When used by %s goto %s (ip%d)", r.String1, r.String2, r.Int1);
  }
  ClearString(r.String2);
  return true;
}

// look_at, run and walk: ".activator" as the target.
void EncodeActivatorTarget(InstructionRecord& r) {
  if (Is(r.String1, ".activator")) {
    r.Int1 = CODE_ACTIVATOR;
    ClearString(r.String1);
  }
}

bool EncodeAttenuation(InstructionRecord& r) {
  static constexpr const char* kWords[] = {"attn_none", "attn_norm", "attn_idle", "attn_static"};
  for (std::int32_t code = 0; code < 4; ++code) {
    if (Is(r.String2, kWords[code])) {
      r.Int1 = code;
      ClearString(r.String2);
      return true;
    }
  }
  return false;
}

}  // namespace

bool AddLabel(CZelkDoc& doc, StatementParser& parser) {
  if (!parser.HasToken(0) || parser.Token(0) != "label") return false;
  if (doc.m_labelCount >= LABEL_SLOTS) return false;
  std::string& name = parser.MutableToken(1);
  ExpandNewlines(name);
  LabelEntry& entry = doc.m_labels[doc.m_labelCount++];
  entry.ip = doc.m_instructionCount;
  std::memset(entry.name, 0, sizeof entry.name);
  StoreString(entry.name, name);
  return true;
}

int FindLabel(const CZelkDoc& doc, std::string_view name) {
  for (int i = 0; i < doc.m_labelCount; ++i) {
    const char* label = doc.m_labels[i].name;
    // Most names differ in their first character; only those that do not are compared whole.
    if (label[0] == (name.empty() ? '\0' : name[0]) && name == label) return doc.m_labels[i].ip;
  }
  return -1;
}

bool AddInterceptUser(CZelkDoc& doc, std::string_view name) {
  const std::string user(name.substr(0, 255));
  for (int i = 0; i < doc.m_interceptCount; ++i) {
    if (::strcasecmp(doc.m_interceptUsers[i], user.c_str()) == 0) return true;
  }
  if (doc.m_interceptCount >= INTERCEPT_USER_SLOTS) return false;
  std::strcpy(doc.m_interceptUsers[doc.m_interceptCount++], user.c_str());
  return true;
}

bool EncodeStatement(CZelkDoc& doc, StatementParser& parser) {
  InstructionRecord& r = doc.m_record;
  r = InstructionRecord{};
  r.command = parser.m_commandIndex;
  if (r.command < 0 || r.command >= COMMAND_COUNT) return false;

  const CommandEntry& entry = doc.m_commands[r.command];
  int slot = 1;
  int integers = 0;
  int reals = 0;
  int strings = 0;
  for (int k = 0; k < 7 && entry.argKinds[k] != ARG_END && slot < TOKEN_SLOTS; ++k) {
    switch (entry.argKinds[k]) {
      case ARG_INTEGER:
        if (integers == 2) return false;
        (integers++ == 0 ? r.Int1 : r.Int2) = TextToInt(parser.Token(slot++));
        break;
      case ARG_REAL:
        if (reals == 2) return false;
        (reals++ == 0 ? r.Float1 : r.Float2) = ToFloat(TextToReal(parser.Token(slot++)));
        break;
      case ARG_STRING:
      case ARG_WORD: {
        if (strings == 2) return false;
        std::string& token = parser.MutableToken(slot++);
        ExpandNewlines(token);
        StoreString(strings++ == 0 ? r.String1 : r.String2, token);
        break;
      }
      case ARG_VECTOR:
        if (slot + 2 >= TOKEN_SLOTS) return false;
        for (float& component : r.Vector) component = ToFloat(TextToReal(parser.Token(slot++)));
        break;
      default:
        return false;
    }
  }

  // The rule of the statement word; the command code names the word.
  const char* word = entry.name;
  switch (r.command) {
    case CMD_SAY:
      return EncodeAttenuation(r);
    case CMD_ATTACK:
      if (Is(r.String1, ".activator")) {
        r.Int2 = r.Int1;
        r.Int1 = CODE_ACTIVATOR;
        ClearString(r.String1);
      }
      break;
    case CMD_START:
    case CMD_GOTO:
      return ResolveLabel(doc, word, r.String1, r.Int1);
    case CMD_ON_BLOCK:
    case CMD_ON_TOUCH:
    case CMD_ON_SEE:
    case CMD_ON_PAIN:
      return EncodeIntercept(doc, word);
    case CMD_ON_USE:
      return EncodeOnUse(doc);
    case CMD_LOOK_AT:
    case CMD_RUN:
    case CMD_WALK:
      EncodeActivatorTarget(r);
      break;
    case CMD_ACTION_TARGET:
      if (Is(r.String1, ".activator")) {
        r.Int2 = CODE_ACTIVATOR;
        ClearString(r.String1);
      }
      break;
    case CMD_SPAWN:
      if (Is(r.String2, ".none")) ClearString(r.String2);
      break;
    case CMD_USE:
      if (Is(r.String2, ".self")) {
        r.Int1 = CODE_SELF;
        ClearString(r.String2);
      } else if (Is(r.String2, ".activator")) {
        r.Int1 = CODE_ACTIVATOR;
        ClearString(r.String2);
      } else {
        r.Int1 = 0;
      }
      break;
    default:
      break;
  }
  return true;
}

}  // namespace zelk

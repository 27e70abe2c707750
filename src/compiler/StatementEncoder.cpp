// SPDX-License-Identifier: MIT
#include "compiler/StatementEncoder.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "language/CommandTable.h"
#include "language/Converters.h"
#include "language/StatementParser.h"

namespace zelk {
namespace {

void ClearString(char* field) { std::memset(field, 0, RECORD_STRING_SIZE); }

bool Is(const char* field, std::string_view word) { return field == word; }

// A message formatted from a fixed format, as the console prints it (at most 255 characters).
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char text[256];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

EncodeOutcome Failed(Diagnostic::Kind kind, std::string message) {
  return {false, kind, std::move(message), {}};
}

// Resolves the label named in a string field into target, then clears the field.
EncodeOutcome ResolveLabel(const LabelTable& labels, const char* word, char* field,
                           std::int32_t& target) {
  target = labels.Find(field);
  if (target < 0) {
    return Failed(Diagnostic::Kind::LabelNotFound, Format("%s: Label %s not found!", word, field));
  }
  ClearString(field);
  return {};
}

// The four intercepts other than on_use: activator in String1, label in String2.
EncodeOutcome EncodeIntercept(const LabelTable& labels, const char* word, InstructionRecord& r) {
  if (Is(r.String1, WORD_CLIENT)) {
    r.Int1 = CODE_ACTIVATOR;
    ClearString(r.String1);
  } else if (Is(r.String1, WORD_NONE)) {
    r.Int1 = CODE_NONE;
    ClearString(r.String1);
  } else {
    r.Int1 = 0;
  }
  return ResolveLabel(labels, word, r.String2, r.Int2);
}

EncodeOutcome EncodeOnUse(const LabelTable& labels, InterceptUsers& users, InstructionRecord& r) {
  EncodeOutcome outcome;
  if (Is(r.String2, WORD_NONE)) {
    r.Int1 = CODE_NONE;
    outcome.note = Format("User %s intercept killed.", r.String1);
  } else {
    r.Int1 = labels.Find(r.String2);
    if (r.Int1 < 0) {
      return Failed(Diagnostic::Kind::LabelNotFound,
                    Format("on_use: Label %s not found!", r.String2));
    }
    if (!users.Add(r.String1)) {
      return Failed(Diagnostic::Kind::TooManyUsers,
                    Format("Too many on_use users: %s is the 101st, the limit is 100.", r.String1));
    }
    outcome.note = Format("When used by %s goto %s (ip%d)", r.String1, r.String2, r.Int1);
  }
  ClearString(r.String2);
  return outcome;
}

// look_at, run and walk: ".activator" as the target.
void EncodeActivatorTarget(InstructionRecord& r) {
  if (Is(r.String1, WORD_ACTIVATOR)) {
    r.Int1 = CODE_ACTIVATOR;
    ClearString(r.String1);
  }
}

EncodeOutcome EncodeAttenuation(InstructionRecord& r) {
  const std::int32_t code = AttenuationCode(r.String2);
  if (code < 0) {
    return Failed(Diagnostic::Kind::BadAttenuation,
                  "unknown attenuation word: use attn_none, attn_norm, attn_idle or attn_static");
  }
  r.Int1 = code;
  ClearString(r.String2);
  return {};
}

}  // namespace

EncodeOutcome EncodeStatement(const ParsedStatement& statement, const LabelTable& labels,
                              InterceptUsers& users, InstructionRecord& r) {
  r = InstructionRecord{};
  r.command = statement.commandIndex;
  const auto cannotEncode = [] {
    return Failed(Diagnostic::Kind::CannotEncode, "cannot compile this statement");
  };
  if (r.command < 0 || r.command >= COMMAND_COUNT) return cannotEncode();

  const CommandEntry& entry = Commands()[r.command];
  int slot = 1;
  int integers = 0;
  int reals = 0;
  int strings = 0;
  for (int k = 0; k < 7 && entry.argKinds[k] != ARG_END && slot < TOKEN_SLOTS; ++k) {
    switch (entry.argKinds[k]) {
      case ARG_INTEGER:
        if (integers == 2) return cannotEncode();
        (integers++ == 0 ? r.Int1 : r.Int2) = TextToInt(statement.Token(slot++));
        break;
      case ARG_REAL:
        if (reals == 2) return cannotEncode();
        (reals++ == 0 ? r.Float1 : r.Float2) = ToFloat(TextToReal(statement.Token(slot++)));
        break;
      case ARG_STRING:
      case ARG_WORD: {
        if (strings == 2) return cannotEncode();
        // At most 255 characters; the rest of the field stays zero.
        ExpandNewlines(statement.Token(slot++), strings++ == 0 ? r.String1 : r.String2,
                       RECORD_STRING_SIZE - 1);
        break;
      }
      case ARG_VECTOR:
        if (slot + 2 >= TOKEN_SLOTS) return cannotEncode();
        for (float& component : r.Vector) {
          component = ToFloat(TextToReal(statement.Token(slot++)));
        }
        break;
      default:
        return cannotEncode();
    }
  }

  // The rule of the statement word; the command code names the word.
  const char* word = entry.name;
  switch (r.command) {
    case CMD_SAY:
      return EncodeAttenuation(r);
    case CMD_ATTACK:
      if (Is(r.String1, WORD_ACTIVATOR)) {
        r.Int2 = r.Int1;
        r.Int1 = CODE_ACTIVATOR;
        ClearString(r.String1);
      }
      break;
    case CMD_START:
    case CMD_GOTO:
      return ResolveLabel(labels, word, r.String1, r.Int1);
    case CMD_ON_BLOCK:
    case CMD_ON_TOUCH:
    case CMD_ON_SEE:
    case CMD_ON_PAIN:
      return EncodeIntercept(labels, word, r);
    case CMD_ON_USE:
      return EncodeOnUse(labels, users, r);
    case CMD_LOOK_AT:
    case CMD_RUN:
    case CMD_WALK:
      EncodeActivatorTarget(r);
      break;
    case CMD_ACTION_TARGET:
      if (Is(r.String1, WORD_ACTIVATOR)) {
        r.Int2 = CODE_ACTIVATOR;
        ClearString(r.String1);
      }
      break;
    case CMD_SPAWN:
      if (Is(r.String2, WORD_NONE)) ClearString(r.String2);
      break;
    case CMD_USE:
      if (Is(r.String2, WORD_SELF)) {
        r.Int1 = CODE_SELF;
        ClearString(r.String2);
      } else if (Is(r.String2, WORD_ACTIVATOR)) {
        r.Int1 = CODE_ACTIVATOR;
        ClearString(r.String2);
      } else {
        r.Int1 = 0;
      }
      break;
    default:
      break;
  }
  return {};
}

}  // namespace zelk

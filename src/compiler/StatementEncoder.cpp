// SPDX-License-Identifier: MIT
#include "compiler/StatementEncoder.h"

#include <cstdio>
#include <cstring>

#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "language/CommandTable.h"
#include "language/Converters.h"
#include "language/StatementParser.h"
#include "platform/LineSink.h"

namespace zelk {
namespace {

// The record being encoded, with the texts of its two string fields (views of the fields, which
// are zero after the text), so that the rules below compare them without measuring the fields.
struct Encoding {
  InstructionRecord& r;
  std::string_view string1;
  std::string_view string2;
};

// Empties a string field that holds text (the field is zero after it).
void ClearString(char* field, std::string_view& text) {
  std::memset(field, 0, text.size());
  text = {};
}

EncodeOutcome Failed(Diagnostic::Kind kind, std::string message) {
  return {false, kind, std::move(message), {}};
}

// Resolves the label named in a string field into target, then clears the field.
EncodeOutcome ResolveLabel(const LabelLookup& labels, const char* word, char* field,
                           std::string_view& text, std::int32_t& target) {
  target = labels.Find(text);
  if (target < 0) {
    return Failed(Diagnostic::Kind::LabelNotFound,
                  FormatLine("%s: Label %s not found!", word, field));
  }
  ClearString(field, text);
  return {};
}

// The four intercepts other than on_use: activator in String1, label in String2.
EncodeOutcome EncodeIntercept(const LabelLookup& labels, const char* word, Encoding& e) {
  InstructionRecord& r = e.r;
  if (e.string1 == WORD_CLIENT) {
    r.Int1 = CODE_ACTIVATOR;
    ClearString(r.String1, e.string1);
  } else if (e.string1 == WORD_NONE) {
    r.Int1 = CODE_NONE;
    ClearString(r.String1, e.string1);
  } else {
    r.Int1 = 0;
  }
  return ResolveLabel(labels, word, r.String2, e.string2, r.Int2);
}

EncodeOutcome EncodeOnUse(const LabelLookup& labels, InterceptUsers& users, Encoding& e) {
  InstructionRecord& r = e.r;
  EncodeOutcome outcome;
  if (e.string2 == WORD_NONE) {
    r.Int1 = CODE_NONE;
    outcome.note = FormatLine("User %s intercept killed.", r.String1);
  } else {
    r.Int1 = labels.Find(e.string2);
    if (r.Int1 < 0) {
      return Failed(Diagnostic::Kind::LabelNotFound,
                    FormatLine("on_use: Label %s not found!", r.String2));
    }
    if (!users.Add(e.string1)) {
      return Failed(
          Diagnostic::Kind::TooManyUsers,
          FormatLine("Too many on_use users: %s is the 101st, the limit is 100.", r.String1));
    }
    outcome.note = FormatLine("When used by %s goto %s (ip%d)", r.String1, r.String2, r.Int1);
  }
  ClearString(r.String2, e.string2);
  return outcome;
}

// look_at, run and walk: ".activator" as the target.
void EncodeActivatorTarget(Encoding& e) {
  if (e.string1 == WORD_ACTIVATOR) {
    e.r.Int1 = CODE_ACTIVATOR;
    ClearString(e.r.String1, e.string1);
  }
}

EncodeOutcome EncodeAttenuation(Encoding& e) {
  const std::int32_t code = AttenuationCode(e.string2);
  if (code < 0) {
    return Failed(Diagnostic::Kind::BadAttenuation,
                  "unknown attenuation word: use attn_none, attn_norm, attn_idle or attn_static");
  }
  e.r.Int1 = code;
  ClearString(e.r.String2, e.string2);
  return {};
}

// Fills the fields from the statement's arguments, each kind into its fields in order: integers
// into Int1 and Int2, reals into Float1 and Float2, strings and words into String1 and String2
// (their text only), a vector into Vector. False when the entry has more arguments of a kind than
// a record holds.
bool FillArguments(const ParsedStatement& statement, const CommandEntry& entry, Encoding& e) {
  InstructionRecord& r = e.r;
  int slot = 1;
  int integers = 0;
  int reals = 0;
  int strings = 0;
  for (int k = 0; k < 7 && entry.argKinds[k] != ARG_END && slot < TOKEN_SLOTS; ++k) {
    switch (entry.argKinds[k]) {
      case ARG_INTEGER:
        if (integers == 2) return false;
        (integers++ == 0 ? r.Int1 : r.Int2) = TextToInt(statement.Token(slot++));
        break;
      case ARG_REAL:
        if (reals == 2) return false;
        (reals++ == 0 ? r.Float1 : r.Float2) = ToFloat(TextToReal(statement.Token(slot++)));
        break;
      case ARG_STRING:
      case ARG_WORD: {
        if (strings == 2) return false;
        char* field = strings == 0 ? r.String1 : r.String2;
        std::string_view& text = strings++ == 0 ? e.string1 : e.string2;
        // At most 255 characters, so that the field ends in zero. A parsed line holds no NUL, so
        // the text is all of the field's string.
        text = std::string_view(
            field, ExpandNewlines(statement.Token(slot++), field, RECORD_STRING_SIZE - 1));
        break;
      }
      case ARG_VECTOR:
        if (slot + 2 >= TOKEN_SLOTS) return false;
        for (float& component : r.Vector) {
          component = ToFloat(TextToReal(statement.Token(slot++)));
        }
        break;
      default:
        return false;
    }
  }
  return true;
}

}  // namespace

EncodeOutcome EncodeStatement(const ParsedStatement& statement, const LabelLookup& labels,
                              InterceptUsers& users, InstructionRecord& r) {
  // Every byte of the record is written once (the compiler encodes in place in its output): the
  // numbers are zero until an argument sets them, a string field holds its text and zeros.
  r.command = statement.commandIndex;
  r.Int1 = r.Int2 = 0;
  r.Float1 = r.Float2 = 0;
  r.Vector[0] = r.Vector[1] = r.Vector[2] = 0;
  Encoding e{r, {}, {}};
  const bool filled = r.command >= 0 && r.command < COMMAND_COUNT &&
                      FillArguments(statement, Commands()[r.command], e);
  std::memset(r.String1 + e.string1.size(), 0, RECORD_STRING_SIZE - e.string1.size());
  std::memset(r.String2 + e.string2.size(), 0, RECORD_STRING_SIZE - e.string2.size());
  if (!filled) return Failed(Diagnostic::Kind::CannotEncode, "cannot compile this statement");

  // The rule of the statement word; the command code names the word.
  const char* word = Commands()[r.command].name;
  switch (r.command) {
    case CMD_SAY:
      return EncodeAttenuation(e);
    case CMD_ATTACK:
      if (e.string1 == WORD_ACTIVATOR) {
        r.Int2 = r.Int1;
        r.Int1 = CODE_ACTIVATOR;
        ClearString(r.String1, e.string1);
      }
      break;
    case CMD_START:
    case CMD_GOTO:
      return ResolveLabel(labels, word, r.String1, e.string1, r.Int1);
    case CMD_ON_BLOCK:
    case CMD_ON_TOUCH:
    case CMD_ON_SEE:
    case CMD_ON_PAIN:
      return EncodeIntercept(labels, word, e);
    case CMD_ON_USE:
      return EncodeOnUse(labels, users, e);
    case CMD_LOOK_AT:
    case CMD_RUN:
    case CMD_WALK:
      EncodeActivatorTarget(e);
      break;
    case CMD_ACTION_TARGET:
      if (e.string1 == WORD_ACTIVATOR) {
        r.Int2 = CODE_ACTIVATOR;
        ClearString(r.String1, e.string1);
      }
      break;
    case CMD_SPAWN:
      if (e.string2 == WORD_NONE) ClearString(r.String2, e.string2);
      break;
    case CMD_USE:
      if (e.string2 == WORD_SELF) {
        r.Int1 = CODE_SELF;
        ClearString(r.String2, e.string2);
      } else if (e.string2 == WORD_ACTIVATOR) {
        r.Int1 = CODE_ACTIVATOR;
        ClearString(r.String2, e.string2);
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

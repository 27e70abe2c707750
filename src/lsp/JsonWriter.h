// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace zelk::lsp {

// Writes JSON text straight into a string, for the large answers (hints, tokens, ranges of a
// whole document) where building a tree of values first would cost most of the time. The text is
// what nlohmann::json's dump() writes for the same value when members are written in the order
// of their names: no blanks, strings in UTF-8 with the same escapes.
class JsonWriter {
 public:
  // Room for about the size of the text, and for what the answer's message puts before it.
  explicit JsonWriter(std::size_t expectedSize = 0) { m_text.reserve(expectedSize + kRoomBefore); }
  static constexpr std::size_t kRoomBefore = 64;

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The name of the next member of an object: a name of the protocol, which needs no escapes.
  JsonWriter& Key(std::string_view name);
  // A UTF-8 string; a byte that begins no valid sequence is written as U+FFFD.
  JsonWriter& String(std::string_view text);
  JsonWriter& Integer(std::int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();

  std::string Take() { return std::move(m_text); }

 private:
  void Separate();

  std::string m_text;
  bool m_comma = false;  // a value was written at this level: the next one needs a comma
};

}  // namespace zelk::lsp

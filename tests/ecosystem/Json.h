// SPDX-License-Identifier: MIT
#pragma once

#include <cctype>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A strict reader of the JSON that the tests load (the TextMate grammar): objects, arrays,
// strings with the standard escapes, numbers, true, false, null. Anything else, or trailing
// text, is a parse failure.
namespace zelk::test {

struct JsonValue {
  enum class Type { Null, Bool, Number, String, Array, Object } type = Type::Null;
  bool boolean = false;
  double number = 0;
  std::string string;
  std::vector<JsonValue> array;
  std::map<std::string, JsonValue> object;

  const JsonValue* Find(const std::string& key) const {
    const auto it = object.find(key);
    return it == object.end() ? nullptr : &it->second;
  }
};

class JsonReader {
 public:
  static std::optional<JsonValue> Parse(std::string_view text) {
    JsonReader reader(text);
    JsonValue value;
    if (!reader.Value(value)) return std::nullopt;
    reader.SkipBlanks();
    if (reader.m_pos != text.size()) return std::nullopt;
    return value;
  }

 private:
  explicit JsonReader(std::string_view text) : m_text(text) {}

  void SkipBlanks() {
    while (m_pos < m_text.size() && std::isspace(static_cast<unsigned char>(m_text[m_pos]))) {
      ++m_pos;
    }
  }
  bool Take(char c) {
    SkipBlanks();
    if (m_pos < m_text.size() && m_text[m_pos] == c) {
      ++m_pos;
      return true;
    }
    return false;
  }
  bool Literal(std::string_view word) {
    if (m_text.substr(m_pos, word.size()) != word) return false;
    m_pos += word.size();
    return true;
  }

  bool String(std::string& out) {
    if (!Take('"')) return false;
    while (m_pos < m_text.size()) {
      const char c = m_text[m_pos++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (m_pos >= m_text.size()) return false;
      const char e = m_text[m_pos++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          // Only the ASCII range is needed here.
          if (m_pos + 4 > m_text.size()) return false;
          const unsigned long code = std::stoul(std::string(m_text.substr(m_pos, 4)), nullptr, 16);
          if (code > 0x7F) return false;
          out += static_cast<char>(code);
          m_pos += 4;
          break;
        }
        default:
          return false;
      }
    }
    return false;
  }

  bool Value(JsonValue& v) {
    SkipBlanks();
    if (m_pos >= m_text.size()) return false;
    const char c = m_text[m_pos];
    if (c == '{') {
      ++m_pos;
      v.type = JsonValue::Type::Object;
      if (Take('}')) return true;
      do {
        std::string key;
        JsonValue member;
        if (!String(key) || !Take(':') || !Value(member)) return false;
        if (!v.object.emplace(key, std::move(member)).second) return false;  // duplicate key
      } while (Take(','));
      return Take('}');
    }
    if (c == '[') {
      ++m_pos;
      v.type = JsonValue::Type::Array;
      if (Take(']')) return true;
      do {
        JsonValue element;
        if (!Value(element)) return false;
        v.array.push_back(std::move(element));
      } while (Take(','));
      return Take(']');
    }
    if (c == '"') {
      v.type = JsonValue::Type::String;
      return String(v.string);
    }
    if (Literal("true") || Literal("false")) {
      v.type = JsonValue::Type::Bool;
      v.boolean = m_text[m_pos - 2] == 'u';  // tr(u)e, fal(s)e
      return true;
    }
    if (Literal("null")) return true;
    const std::size_t start = m_pos;
    while (m_pos < m_text.size() && std::strchr("+-0123456789.eE", m_text[m_pos]) != nullptr) {
      ++m_pos;
    }
    if (m_pos == start) return false;
    v.type = JsonValue::Type::Number;
    v.number = std::stod(std::string(m_text.substr(start, m_pos - start)));
    return true;
  }

  std::string_view m_text;
  std::size_t m_pos = 0;
};

}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "lsp/JsonWriter.h"

#include <charconv>

#include "platform/Cp1252.h"

namespace zelk::lsp {

void JsonWriter::Separate() {
  if (m_comma) m_text += ',';
  m_comma = true;
}

JsonWriter& JsonWriter::BeginObject() {
  Separate();
  m_text += '{';
  m_comma = false;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  m_text += '}';
  m_comma = true;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  Separate();
  m_text += '[';
  m_comma = false;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  m_text += ']';
  m_comma = true;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  Separate();
  m_text += '"';
  m_text += name;
  m_text += "\":";
  m_comma = false;
  return *this;
}

namespace {

// True for the bytes that a string holds as they are: ASCII but the controls, '"' and '\\'.
bool Plain(unsigned char c) {
  return c >= 0x20 && c < 0x80 && c != '"' && c != '\\';
}

}  // namespace

JsonWriter& JsonWriter::String(std::string_view text) {
  Separate();
  m_text += '"';
  for (std::size_t i = 0; i < text.size();) {
    // A run of plain bytes is copied at once.
    std::size_t run = i;
    while (run < text.size() && Plain(static_cast<unsigned char>(text[run]))) ++run;
    m_text.append(text, i, run - i);
    i = run;
    if (i == text.size()) break;
    const auto c = static_cast<unsigned char>(text[i]);
    if (c >= 0x80) {
      const std::size_t length = DecodeUtf8(text, i).length;
      if (length == 0) {
        m_text += "\xEF\xBF\xBD";
        ++i;
      } else {
        m_text.append(text, i, length);
        i += length;
      }
      continue;
    }
    ++i;
    switch (c) {
      case '"':
        m_text += "\\\"";
        break;
      case '\\':
        m_text += "\\\\";
        break;
      case '\b':
        m_text += "\\b";
        break;
      case '\f':
        m_text += "\\f";
        break;
      case '\n':
        m_text += "\\n";
        break;
      case '\r':
        m_text += "\\r";
        break;
      case '\t':
        m_text += "\\t";
        break;
      default: {
        static constexpr char kHex[] = "0123456789abcdef";
        const char escape[] = {'\\', 'u', '0', '0', kHex[c >> 4], kHex[c & 0xF]};
        m_text.append(escape, sizeof escape);
        break;
      }
    }
  }
  m_text += '"';
  return *this;
}

JsonWriter& JsonWriter::Integer(std::int64_t value) {
  Separate();
  char digits[24];
  const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
  m_text.append(digits, end);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  Separate();
  m_text += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  Separate();
  m_text += "null";
  return *this;
}

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#include "lsp/MessageReader.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

namespace zelk::lsp {
namespace {

constexpr std::size_t kMaxHeaderLine = 8192;
constexpr std::string_view kLengthHeader = "content-length";

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// A header name is a token: letters, digits and a few marks, no blanks or quotes.
bool IsHeaderName(std::string_view name) {
  if (name.empty()) return false;
  return std::all_of(name.begin(), name.end(), [](char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '-' || c == '_' || c == '.';
  });
}

std::string_view Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// A decimal length; false for anything else, or a value past the largest readable body by far.
bool ParseLength(std::string_view text, std::size_t& length) {
  if (text.empty() || text.size() > 18) return false;
  std::size_t value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<std::size_t>(c - '0');
  }
  length = value;
  return true;
}

}  // namespace

void MessageReader::Feed(std::string_view bytes) {
  Compact();
  m_buffer.append(bytes);
}

void MessageReader::Compact() {
  if (m_pos == 0) return;
  if (m_pos == m_buffer.size() || m_pos >= (std::size_t{1} << 20)) {
    m_buffer.erase(0, m_pos);
    m_pos = 0;
  }
}

bool MessageReader::InsideMessage() const {
  return m_state == State::Body || m_state == State::Skip ||
         (m_state == State::Headers && (m_headerSeen || m_pos < m_buffer.size()));
}

bool MessageReader::Next(Event& event) {
  for (;;) {
    switch (m_state) {
      case State::Headers:
        if (ReadHeaderLine(event)) return true;
        if (m_state == State::Headers) return false;  // waiting for the rest of a line
        break;
      case State::Body:
        if (m_buffer.size() - m_pos < m_length) return false;
        event.kind = Event::Kind::Message;
        event.body.assign(m_buffer, m_pos, m_length);
        event.detail.clear();
        m_pos += m_length;
        m_state = State::Headers;
        Compact();
        return true;
      case State::Skip: {
        const std::size_t taken = std::min(m_buffer.size() - m_pos, m_length);
        m_pos += taken;
        m_length -= taken;
        Compact();
        if (m_length > 0) return false;
        m_state = State::Headers;
        break;
      }
      case State::Resync: {
        // The next Content-Length header, in whatever case it is written.
        const auto it = std::search(
            m_buffer.begin() + static_cast<std::ptrdiff_t>(m_pos), m_buffer.end(),
            kLengthHeader.begin(), kLengthHeader.end(),
            [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
        if (it == m_buffer.end()) {
          // Keep a tail that may be the start of the header name.
          const std::size_t keep = kLengthHeader.size() - 1;
          if (m_buffer.size() - m_pos > keep) m_pos = m_buffer.size() - keep;
          Compact();
          return false;
        }
        m_pos = static_cast<std::size_t>(it - m_buffer.begin());
        m_state = State::Headers;
        m_headerSeen = false;
        m_lengthSeen = false;
        break;
      }
    }
  }
}

// Reads one header line. Returns true with an event when the header block ends in an error;
// otherwise false, having moved on (the state says whether a body follows) or waiting for more.
bool MessageReader::ReadHeaderLine(Event& event) {
  const auto fail = [&](const char* detail) {
    event.kind = Event::Kind::BadHeader;
    event.body.clear();
    event.detail = detail;
    m_state = State::Resync;
    m_headerSeen = false;
    m_lengthSeen = false;
    return true;
  };
  for (;;) {
    const std::size_t newline = m_buffer.find('\n', m_pos);
    if (newline == std::string::npos) {
      if (m_buffer.size() - m_pos > kMaxHeaderLine) {
        m_pos = m_buffer.size();
        return fail("a header line is too long");
      }
      return false;
    }
    const std::size_t lineStart = m_pos;
    std::string_view line(m_buffer.data() + m_pos, newline - m_pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    m_pos = newline + 1;

    if (line.empty()) {
      if (!m_headerSeen) continue;  // blank lines between messages
      if (!m_lengthSeen) return fail("the header has no Content-Length");
      m_headerSeen = false;
      m_lengthSeen = false;
      if (m_length > MAX_MESSAGE_BYTES) {
        event.kind = Event::Kind::TooLarge;
        event.body.clear();
        char detail[96];
        std::snprintf(detail, sizeof detail, "a message of %zu bytes is larger than %zu bytes",
                      m_length, MAX_MESSAGE_BYTES);
        event.detail = detail;
        m_state = State::Skip;
        return true;
      }
      m_state = State::Body;
      return false;
    }

    const std::size_t colon = line.find(':');
    const std::string_view name = line.substr(0, colon);
    if (colon == std::string_view::npos || !IsHeaderName(name)) {
      // Whatever this is, a header may begin further on in it.
      m_pos = lineStart + 1;
      return fail("a line of the header is not a header");
    }
    if (EqualsIgnoringCase(name, kLengthHeader)) {
      std::size_t length = 0;
      if (!ParseLength(Trim(line.substr(colon + 1)), length)) {
        return fail("Content-Length is not a number");
      }
      if (m_lengthSeen && length != m_length) return fail("two different Content-Length values");
      m_length = length;
      m_lengthSeen = true;
    }
    m_headerSeen = true;
  }
}

std::string FrameMessage(std::string_view body) {
  char header[48];
  const int n = std::snprintf(header, sizeof header, "Content-Length: %zu\r\n\r\n", body.size());
  std::string framed(header, static_cast<std::size_t>(n));
  framed.append(body);
  return framed;
}

}  // namespace zelk::lsp

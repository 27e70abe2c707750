// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace zelk::lsp {

// The largest message body that is read; a larger one is skipped unread and answered with an
// error. A document of 100,000 long lines fits many times over.
constexpr std::size_t MAX_MESSAGE_BYTES = std::size_t{64} << 20;

// Cuts the byte stream of the base protocol into message bodies: header lines ended by "\r\n"
// (a bare "\n" is taken too), an empty line, then Content-Length bytes of body. A header block
// that cannot be read (no Content-Length, a length that is not a number, a line that is not a
// header) is reported once, and reading resumes at the next "Content-Length" header in the
// stream.
class MessageReader {
 public:
  struct Event {
    enum class Kind { Message, BadHeader, TooLarge };
    Kind kind = Kind::Message;
    std::string body;    // Message: the body
    std::string detail;  // BadHeader, TooLarge: what was wrong
  };

  void Feed(std::string_view bytes);
  // The next message or framing error, when the bytes fed so far complete one.
  bool Next(Event& event);
  // True when the bytes fed so far end inside a message.
  bool InsideMessage() const;

 private:
  enum class State { Headers, Body, Skip, Resync };

  bool ReadHeaderLine(Event& event);
  void Compact();

  std::string m_buffer;
  std::size_t m_pos = 0;
  State m_state = State::Headers;
  bool m_headerSeen = false;  // a header line of the current block was read
  bool m_lengthSeen = false;  // it held a Content-Length
  std::size_t m_length = 0;   // the body length, or the bytes left to skip
};

// A message body framed for the base protocol.
std::string FrameMessage(std::string_view body);

}  // namespace zelk::lsp

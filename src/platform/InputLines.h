// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "platform/Streams.h"

namespace zelk {

// Reads the lines of an input stream, as std::getline would (the last line need not end in a line
// feed), while staying ready for the stop notice: when it comes the input ends at once, even
// while the reader waits for a terminal or a pipe that has nothing to give.
class InputLines {
 public:
  explicit InputLines(InputStream& in) : m_in(in) {}

  // The next line without its line feed; false at the end of the input, on a read error, or
  // when a stop was asked.
  bool Next(std::string& line);

  // Everything up to the end of the input that Next has not handed out, as it stands: the last
  // line keeps its line feed or its lack of one. False when a stop was asked.
  bool Rest(std::string& bytes);

 private:
  // Reads more into the buffer; false when there is nothing more to read.
  bool Fill();

  InputStream& m_in;
  std::string m_buffer;
  std::size_t m_pos = 0;
  bool m_end = false;
  bool m_stopped = false;
};

}  // namespace zelk

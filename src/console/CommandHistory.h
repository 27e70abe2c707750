// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

// The lines typed at the console, oldest first, to be recalled with Up and Down as a shell does.
// Texts are Windows-1252, as the input line holds them.
//
// Recalling walks back from the newest line; the input that stood at the prompt when the walk
// began is kept and comes back when Down goes past the newest line. Submitting a line ends the
// walk.
class CommandHistory {
 public:
  static constexpr std::size_t LIMIT = 100;

  // A submitted line goes at the end, trailing blanks removed, unless it is empty or the same as
  // the line before it; beyond the limit the oldest line is dropped. Ends a walk.
  void Add(std::string_view line);
  // Up: the line before the one recalled last (the newest when the walk begins with it). input is
  // the input line as it stands, kept when the walk begins. Nothing when there is no older line.
  std::optional<std::string> Older(std::string_view input);
  // Down: the line after the one recalled last, or the input kept when the walk began once the
  // newest line is passed. Nothing when no walk is going on.
  std::optional<std::string> Newer();

  // The lines, oldest first, as the user's settings keep them.
  std::vector<std::string> Lines() const { return {m_lines.begin(), m_lines.end()}; }
  // Replaces the lines with those kept in the settings, through the rules of Add.
  void Assign(const std::vector<std::string>& lines);

 private:
  std::deque<std::string> m_lines;
  // The index of the line recalled last; the number of lines when no walk is going on.
  std::size_t m_recalled = 0;
  std::string m_input;
};

}  // namespace zelk

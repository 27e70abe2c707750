// SPDX-License-Identifier: MIT
#include "console/CommandHistory.h"

namespace zelk {

void CommandHistory::Add(std::string_view line) {
  while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
  if (!line.empty() && (m_lines.empty() || m_lines.back() != line)) {
    m_lines.emplace_back(line);
    if (m_lines.size() > LIMIT) m_lines.pop_front();
  }
  m_recalled = m_lines.size();
  m_input.clear();
}

std::optional<std::string> CommandHistory::Older(std::string_view input) {
  if (m_recalled > m_lines.size()) m_recalled = m_lines.size();
  if (m_recalled == 0) return std::nullopt;
  if (m_recalled == m_lines.size()) m_input.assign(input);
  return m_lines[--m_recalled];
}

std::optional<std::string> CommandHistory::Newer() {
  if (m_recalled >= m_lines.size()) return std::nullopt;
  if (++m_recalled == m_lines.size()) return m_input;
  return m_lines[m_recalled];
}

void CommandHistory::Assign(const std::vector<std::string>& lines) {
  m_lines.clear();
  for (const std::string& line : lines) Add(line);
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/LabelTable.h"

#include <algorithm>
#include <cctype>

namespace zelk {
namespace {

// A name as a 256-byte field holds it: at most 255 characters, none after a NUL.
std::string_view Stored(std::string_view name) {
  return name.substr(0, std::min<std::size_t>(name.find('\0'), 255));
}

}  // namespace

void LabelTable::Clear() {
  m_entries.clear();
  m_firstByName.clear();
}

bool LabelTable::Add(std::string_view name, std::int32_t ip) {
  if (m_entries.size() >= static_cast<std::size_t>(LABEL_SLOTS)) return false;
  m_entries.push_back({ip, std::string(Stored(name))});
  m_firstByName.emplace(m_entries.back().name, ip);  // keeps the first label of a name
  return true;
}

std::int32_t LabelTable::Find(std::string_view name) const {
  const auto found = m_firstByName.find(Stored(name));
  return found != m_firstByName.end() ? found->second : -1;
}

bool InterceptUsers::Add(std::string_view name) {
  // Two names are equal ignoring case exactly when their letters made lower case with the C
  // library's tolower (which strcasecmp uses) are the same.
  std::string folded(Stored(name));
  for (char& c : folded) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (m_folded.count(folded) != 0) return true;
  if (m_folded.size() >= static_cast<std::size_t>(INTERCEPT_USER_SLOTS)) return false;
  m_folded.insert(std::move(folded));
  return true;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/LabelTable.h"

#include <strings.h>

#include <algorithm>

namespace zelk {
namespace {

// A name as a 256-byte field holds it: at most 255 characters, none after a NUL.
std::string_view Stored(std::string_view name) {
  return name.substr(0, std::min<std::size_t>(name.find('\0'), 255));
}

}  // namespace

bool LabelTable::Add(std::string_view name, std::int32_t ip) {
  if (m_entries.size() >= static_cast<std::size_t>(LABEL_SLOTS)) return false;
  m_entries.push_back({ip, std::string(Stored(name))});
  return true;
}

std::int32_t LabelTable::Find(std::string_view name) const {
  name = Stored(name);
  for (const LabelEntry& entry : m_entries) {
    if (entry.name == name) return entry.ip;
  }
  return -1;
}

bool InterceptUsers::Add(std::string_view name) {
  const std::string user(Stored(name));
  for (const std::string& known : m_names) {
    if (::strcasecmp(known.c_str(), user.c_str()) == 0) return true;
  }
  if (m_names.size() >= static_cast<std::size_t>(INTERCEPT_USER_SLOTS)) return false;
  m_names.push_back(user);
  return true;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelk {

constexpr int LABEL_SLOTS = 100;
constexpr int INTERCEPT_USER_SLOTS = 100;

// One label: the index of the record it marks, and its name.
struct LabelEntry {
  std::int32_t ip = 0;
  std::string name;
};

// The labels of a script, in the order of the file: at most 100. Several labels may share a name;
// the first one wins.
class LabelTable {
 public:
  void Clear() { m_entries.clear(); }
  // Adds a label; false, adding nothing, when the table holds 100 already.
  bool Add(std::string_view name, std::int32_t ip);
  // The record index of the first label of that name, or -1.
  std::int32_t Find(std::string_view name) const;
  int Count() const { return static_cast<int>(m_entries.size()); }
  const std::vector<LabelEntry>& Entries() const { return m_entries; }

 private:
  std::vector<LabelEntry> m_entries;
};

// The distinct activators of the on_use intercepts of a script (letter case aside): at most 100.
class InterceptUsers {
 public:
  void Clear() { m_names.clear(); }
  // Adds a user unless one equal to it ignoring case is there; false, adding nothing, when the
  // name is new and the table holds 100 already.
  bool Add(std::string_view name);
  int Count() const { return static_cast<int>(m_names.size()); }

 private:
  std::vector<std::string> m_names;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace zelk {

constexpr int LABEL_SLOTS = 100;
constexpr int INTERCEPT_USER_SLOTS = 100;

// One label: the index of the record it marks, and its name.
struct LabelEntry {
  std::int32_t ip = 0;
  std::string name;
};

// Hashes std::string keys and looks them up by std::string_view without a copy.
struct NameHash {
  using is_transparent = void;
  std::size_t operator()(std::string_view name) const {
    return std::hash<std::string_view>{}(name);
  }
};

// Where the encoder looks labels up.
class LabelLookup {
 public:
  // The record index of the first label of that name, or -1.
  virtual std::int32_t Find(std::string_view name) const = 0;

 protected:
  ~LabelLookup() = default;
};

// The labels of a script, in the order of the file: at most 100. Several labels may share a name;
// the first one wins.
class LabelTable final : public LabelLookup {
 public:
  void Clear();
  // Adds a label; false, adding nothing, when the table holds 100 already.
  bool Add(std::string_view name, std::int32_t ip);
  std::int32_t Find(std::string_view name) const override;
  int Count() const { return static_cast<int>(m_entries.size()); }
  const std::vector<LabelEntry>& Entries() const { return m_entries; }

 private:
  std::vector<LabelEntry> m_entries;
  // The record index of the first label of each name: the compiler looks up a label for every
  // branch and intercept of a script.
  std::unordered_map<std::string, std::int32_t, NameHash, std::equal_to<>> m_firstByName;
};

// The distinct activators of the on_use intercepts of a script (letter case aside): at most 100.
class InterceptUsers {
 public:
  void Clear() { m_folded.clear(); }
  // Adds a user unless one equal to it ignoring case is there; false, adding nothing, when the
  // name is new and the table holds 100 already.
  bool Add(std::string_view name);
  int Count() const { return static_cast<int>(m_folded.size()); }

 private:
  // Each user's name with every letter made lower case, as strcasecmp compares names.
  std::unordered_set<std::string, NameHash, std::equal_to<>> m_folded;
};

}  // namespace zelk

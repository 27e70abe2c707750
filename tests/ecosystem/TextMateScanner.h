// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <map>
#include <optional>
#include <regex>
#include <string>
#include <vector>

#include "ecosystem/Json.h"

// Applies the top-level patterns of a TextMate grammar to one line, the way TextMate editors
// do: at each position the rule whose match starts first wins, the earlier rule on a tie; a
// begin/end rule covers everything up to its end match. The grammar's expressions are compiled
// as ECMAScript (std::regex), so a grammar that uses Oniguruma-only syntax fails to load here.
namespace zelk::test {

class TextMateScanner {
 public:
  // Reads the grammar's patterns (rules, or includes of repository rules). On failure returns
  // nothing and says why in error.
  static std::optional<TextMateScanner> Load(const JsonValue& grammar, std::string& error) {
    TextMateScanner scanner;
    const JsonValue* patterns = grammar.Find("patterns");
    const JsonValue* repository = grammar.Find("repository");
    if (patterns == nullptr || patterns->type != JsonValue::Type::Array) {
      error = "no patterns";
      return std::nullopt;
    }
    for (const JsonValue& pattern : patterns->array) {
      const JsonValue* rule = &pattern;
      if (const JsonValue* include = pattern.Find("include")) {
        const std::string& ref = include->string;
        rule = repository != nullptr && ref.size() > 1 && ref[0] == '#'
                   ? repository->Find(ref.substr(1))
                   : nullptr;
        if (rule == nullptr) {
          error = "unresolved include " + ref;
          return std::nullopt;
        }
      }
      Rule loaded;
      if (!LoadRule(*rule, loaded, error)) return std::nullopt;
      scanner.m_rules.push_back(std::move(loaded));
    }
    return scanner;
  }

  // The scope of every character of the line ("" where no rule applies).
  std::vector<std::string> Scopes(const std::string& line) const {
    using Match = std::match_results<std::string::const_iterator>;
    std::vector<std::string> scopes(line.size());
    std::size_t pos = 0;
    while (pos < line.size()) {
      const Rule* best = nullptr;
      Match bestMatch;
      std::size_t bestStart = line.size() + 1;
      for (const Rule& rule : m_rules) {
        Match m;
        const auto flags =
            pos > 0 ? std::regex_constants::match_prev_avail : std::regex_constants::match_default;
        if (!std::regex_search(line.cbegin() + static_cast<long>(pos), line.cend(), m, rule.first,
                               flags)) {
          continue;
        }
        const std::size_t start = pos + static_cast<std::size_t>(m.position(0));
        if (start < bestStart) {
          best = &rule;
          bestMatch = m;
          bestStart = start;
        }
      }
      if (best == nullptr) break;
      std::size_t end = bestStart + static_cast<std::size_t>(bestMatch.length(0));
      if (best->end) {
        Match m;
        if (std::regex_search(line.cbegin() + static_cast<long>(end), line.cend(), m, *best->end,
                              std::regex_constants::match_prev_avail)) {
          end += static_cast<std::size_t>(m.position(0) + m.length(0));
        } else {
          end = line.size();
        }
      }
      for (std::size_t i = bestStart; i < end; ++i) scopes[i] = best->name;
      for (const auto& [group, scope] : best->captures) {
        if (group >= static_cast<int>(bestMatch.size()) || !bestMatch[group].matched) continue;
        const std::size_t from = pos + static_cast<std::size_t>(bestMatch.position(group));
        for (std::size_t i = 0; i < static_cast<std::size_t>(bestMatch.length(group)); ++i) {
          scopes[from + i] = scope;
        }
      }
      pos = std::max(end, bestStart + 1);
    }
    return scopes;
  }

 private:
  struct Rule {
    std::string name;
    std::regex first;               // "match", or "begin"
    std::optional<std::regex> end;  // "end" of a begin/end rule
    std::map<int, std::string> captures;
  };

  static bool Compile(const std::string& source, std::regex& out, std::string& error) {
    try {
      out = std::regex(source, std::regex::ECMAScript);
      return true;
    } catch (const std::regex_error& e) {
      error = "bad expression " + source + ": " + e.what();
      return false;
    }
  }

  static bool LoadRule(const JsonValue& json, Rule& rule, std::string& error) {
    if (const JsonValue* name = json.Find("name")) rule.name = name->string;
    const JsonValue* match = json.Find("match");
    const JsonValue* begin = json.Find("begin");
    const JsonValue* end = json.Find("end");
    if (match != nullptr) {
      if (!Compile(match->string, rule.first, error)) return false;
    } else if (begin != nullptr && end != nullptr) {
      std::regex endRegex;
      if (!Compile(begin->string, rule.first, error) || !Compile(end->string, endRegex, error)) {
        return false;
      }
      rule.end = std::move(endRegex);
    } else {
      error = "a rule without match or begin/end";
      return false;
    }
    // Inner patterns are not applied, but they must compile.
    if (const JsonValue* inner = json.Find("patterns")) {
      for (const JsonValue& p : inner->array) {
        Rule ignored;
        if (!LoadRule(p, ignored, error)) return false;
      }
    }
    if (const JsonValue* captures = json.Find("captures")) {
      for (const auto& [group, capture] : captures->object) {
        const JsonValue* scope = capture.Find("name");
        if (scope == nullptr) {
          error = "a capture without a name";
          return false;
        }
        rule.captures[std::stoi(group)] = scope->string;
      }
    }
    return true;
  }

  std::vector<Rule> m_rules;
};

}  // namespace zelk::test

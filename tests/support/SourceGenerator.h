// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "language/CommandTable.h"

namespace zelk::test {

// Random well-formed sources of every statement kind, with lines under 200 characters; the same
// seed always gives the same source. The decompiler's round trip and the golden replay of the
// compiled bytes both use them.
class SourceGenerator {
 public:
  explicit SourceGenerator(unsigned seed) : m_random(seed) {}

  std::string Source() {
    const int labels = Pick(0, 6);
    std::vector<std::string> names;
    for (int i = 0; i < labels; ++i) names.push_back(Word());
    std::string source;
    const int statements = Pick(0, 30);
    for (int i = 0; i < statements; ++i) {
      if (!names.empty() && Pick(0, 4) == 0) source += "label@" + Any(names) + ";\n";
      if (Pick(0, 10) == 0) source += "// a comment\n";
      if (Pick(0, 15) == 0) source += "\n";
      source += Statement(names) + (Pick(0, 8) == 0 ? " // note\n" : "\n");
    }
    for (const std::string& name : names) source += "label@" + name + ";\n";
    return source;
  }

 private:
  int Pick(int low, int high) { return std::uniform_int_distribution<int>(low, high)(m_random); }
  template <typename T>
  const T& Any(const std::vector<T>& items) {
    return items[static_cast<std::size_t>(Pick(0, static_cast<int>(items.size()) - 1))];
  }

  std::string Word() {
    static const std::string kChars = "abcdefghijklmnopqrstuvwxyz0123456789-_.";
    std::string word;
    const int length = Pick(1, 12);
    for (int i = 0; i < length; ++i) word += kChars[static_cast<std::size_t>(Pick(0, 38))];
    return word;
  }
  std::string Target() {
    static const std::vector<std::string> kPseudo = {".self", ".activator", ".client", ".none"};
    return Pick(0, 3) == 0 ? Any(kPseudo) : Word();
  }
  std::string Quoted() {
    std::string text;
    const int length = Pick(0, 20);
    for (int i = 0; i < length; ++i) {
      const int kind = Pick(0, 12);
      if (kind == 0) {
        text += "\\n";
      } else if (kind == 1) {
        text += '\\';
      } else if (kind == 2) {
        text += static_cast<char>(Pick(0xA0, 0xFF));
      } else if (kind == 3) {
        text += "//";
      } else {
        text += static_cast<char>(Pick(32, 126));
      }
    }
    std::string clean;
    for (const char c : text) {
      if (c != '"') clean += c;
    }
    return "\"" + clean + "\"";
  }
  std::string Integer() {
    const int kind = Pick(0, 3);
    if (kind == 0) return std::to_string(Pick(-5, 300));
    if (kind == 1) return std::to_string(static_cast<std::int32_t>(m_random()));
    if (kind == 2) return "+" + std::to_string(Pick(0, 99));
    return std::string(Pick(11, 14), '9');  // wraps around
  }
  std::string Real() {
    const int kind = Pick(0, 5);
    if (kind == 0) return std::to_string(Pick(-100, 100));
    if (kind == 1) return "." + std::to_string(Pick(0, 999));
    if (kind == 2) return std::to_string(Pick(0, 99)) + "." + std::to_string(Pick(0, 99999));
    if (kind == 3) return "-0";
    if (kind == 4) return Pick(0, 1) == 0 ? "" : "-";
    return std::to_string(Pick(0, 9)) + "." + std::string(Pick(5, 30), '3');
  }

  std::string Argument(unsigned char kind, const std::string& word,
                       const std::vector<std::string>& labels, int position) {
    const bool labelArg = ((word == "goto" || word == "start") && position == 0) ||
                          ((word.rfind("on_", 0) == 0) && position == 1);
    if (labelArg) {
      if (word == "on_use" && Pick(0, 4) == 0) return ".none";
      return labels.empty() ? "" : Any(labels);
    }
    if (word == "say" && position == 2) {
      static const std::vector<std::string> kAttn = {"attn_none", "attn_norm", "attn_idle",
                                                     "attn_static"};
      return Any(kAttn);
    }
    switch (kind) {
      case ARG_INTEGER:
        return Integer();
      case ARG_REAL:
        return Real();
      case ARG_STRING:
        return Quoted();
      case ARG_VECTOR:
        return "<" + Real() + ", " + Real() + "," + Real() + " >";
      default:
        return Target();
    }
  }

  std::string Statement(const std::vector<std::string>& labels) {
    for (;;) {
      const int index = Pick(0, COMMAND_COUNT - 1);
      const CommandEntry& entry = Commands()[index];
      if (entry.category != CATEGORY_STATEMENT) continue;
      const std::string word = entry.name;
      std::string line = word;
      if (entry.openDelim != 0) line += Pick(0, 3) == 0 ? " ( " : "(";
      bool ok = true;
      for (int k = 0; entry.argKinds[k] != 0; ++k) {
        const std::string arg = Argument(entry.argKinds[k], word, labels, k);
        if (arg.empty() && entry.argKinds[k] == ARG_WORD) ok = false;
        line += (k > 0 ? (Pick(0, 1) == 0 ? ", " : ",") : "") + arg;
      }
      if (!ok) continue;
      if (entry.closeDelim != 0) line += entry.closeDelim;
      if (entry.openDelim != 0) line += Pick(0, 3) == 0 ? " ;" : ";";
      if (line.size() >= 200) continue;
      return line;
    }
  }

  std::mt19937 m_random;
};

}  // namespace zelk::test

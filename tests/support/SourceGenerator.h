// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <set>
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

  // The marks of FlowSource: a statement that no path reaches, a label that no path reaches, a
  // label that no statement names (but the statements before it run on into).
  static constexpr const char* NEVER_RUNS = "// never runs";
  static constexpr const char* NEVER_REACHED = "// never reached";
  static constexpr const char* NEVER_USED = "// never used";

  // A source whose flow is known as it is built: blocks of statements under distinct labels, some
  // of them dead (nothing names them and the block before ends its run), each live one reached by
  // running on into it or by a statement that runs (a goto, start or an intercept). A live
  // block's run ends, if at all, with a goto, stop, return or listen, and what stands after it
  // never runs. Every line the flow leaves unused carries its mark as a comment.
  std::string FlowSource() {
    std::vector<std::string> names;
    std::vector<bool> dead;
    for (int count = Pick(0, 6); static_cast<int>(names.size()) < count;) {
      const std::string name = Word();
      if (name == ".none" || std::find(names.begin(), names.end(), name) != names.end()) continue;
      names.push_back(name);
      dead.push_back(Pick(0, 3) == 0);
    }
    std::vector<std::string> live;
    for (std::size_t i = 0; i < names.size(); ++i) {
      if (!dead[i]) live.push_back(names[i]);
    }
    std::set<std::string> named;  // by any statement
    // By a statement that runs in a block above, or by running on into it: so every live block
    // is reached from the top, block by block.
    std::set<std::string> reachedByRun;
    std::string top;  // statements that the top of the source begins with
    // Block 0 is the top of the source, block b the one under label b - 1.
    std::vector<std::string> blocks(names.size() + 1);
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      const bool blockLive = b == 0 || !dead[b - 1];
      // A live label that nothing above reaches is named by an intercept or a start at the top.
      if (b > 0 && blockLive && reachedByRun.count(names[b - 1]) == 0) {
        static const char* const kNaming[] = {
            "on_use(player, %s);",          "on_see(.client, %s, 1, 512);",
            "on_pain(.none, %s, 0.5, 64);", "on_touch(crate, %s, 2);",
            "on_block(.client, %s, 1);",    "start(%s);"};
        std::string line = kNaming[Pick(0, 5)];
        line.replace(line.find("%s"), 2, names[b - 1]);
        top += line + "\n";
        named.insert(names[b - 1]);
      }
      std::string& text = blocks[b];
      if (b > 0) text += "label@" + names[b - 1] + ";";
      if (!blockLive) text += std::string(" ") + NEVER_REACHED;
      if (b > 0) text += "\n";
      const auto note = [&](bool runs) {
        if (m_named.empty()) return;
        named.insert(m_named);
        if (runs) reachedByRun.insert(m_named);
      };
      const auto add = [&](const std::vector<std::string>& labels, bool enders, bool runs) {
        text += Statement(labels, enders) + (runs ? "\n" : std::string(" ") + NEVER_RUNS + "\n");
        note(runs);
      };
      const int statements = Pick(0, 5);
      for (int i = 0; i < statements; ++i) {
        add(blockLive ? live : names, !blockLive, blockLive);
      }
      if (!blockLive) continue;
      const bool nextLive = b + 1 == blocks.size() || !dead[b];
      if (!nextLive || Pick(0, 2) == 0) {
        text += Ender(live) + "\n";
        note(true);
        for (int i = Pick(0, 2); i > 0; --i) add(names, true, false);
      } else if (b + 1 < blocks.size()) {
        reachedByRun.insert(names[b]);
      }
    }
    std::string source = top;
    for (std::size_t b = 0; b < blocks.size(); ++b) {
      std::string text = blocks[b];
      // A live label that no statement names gets its mark on its line.
      if (b > 0 && !dead[b - 1] && named.count(names[b - 1]) == 0) {
        text.insert(text.find('\n'), std::string(" ") + NEVER_USED);
      }
      source += text;
    }
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
      m_named = labels.empty() ? "" : Any(labels);
      return m_named;
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

  // A statement that ends the straight run: a goto to one of labels, stop, return or listen.
  std::string Ender(const std::vector<std::string>& labels) {
    m_named.clear();
    const int kind = Pick(labels.empty() ? 1 : 0, 3);
    if (kind == 0) {
      m_named = Any(labels);
      return "goto(" + m_named + ");";
    }
    return kind == 1 ? "stop;" : kind == 2 ? "return;" : "listen;";
  }

  // A statement that names one of labels, if it names any (m_named says which); with enders
  // false, none that ends the straight run.
  std::string Statement(const std::vector<std::string>& labels, bool enders = true) {
    for (;;) {
      m_named.clear();
      const int index = Pick(0, COMMAND_COUNT - 1);
      const CommandEntry& entry = Commands()[index];
      if (entry.category != CATEGORY_STATEMENT) continue;
      const std::string word = entry.name;
      if (!enders && (word == "goto" || word == "stop" || word == "return" || word == "listen")) {
        continue;
      }
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
  std::string m_named;  // the label that the last statement names
};

}  // namespace zelk::test

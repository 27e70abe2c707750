// SPDX-License-Identifier: MIT
// The flow of a source (as the check and zelk --graph find it) on arbitrary source bytes.
//
// The flow's blocks, statements and edges refer to each other only within their lists. When the
// source compiles and its flow is known, the statements it marks reached are exactly the records
// that a walk over the compiled file reaches: from record 0, on to the next record unless goto,
// stop, return or listen ends the run, a goto to its target, and start and the intercepts making
// their target reachable. The graph passes a checker of the DOT that the graph writes: valid
// UTF-8, "digraph NAME { ... }" of node, edge and default statements, each ended by ';', quoted
// strings closed and free of control characters, attribute lists of name=value pairs, every
// edge between nodes declared before it, and one box b<i> for each block.

#include <cctype>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "compiler/CompileDriver.h"
#include "compiler/CompiledScript.h"
#include "compiler/FlowGraph.h"
#include "compiler/RecordCodes.h"
#include "compiler/SourceCheck.h"
#include "environment/EnvironmentSettings.h"
#include "environment/SettingCommands.h"
#include "language/CommandTable.h"
#include "platform/LineSink.h"

namespace zelk::fuzz {
namespace {

// The records that the game can reach, walking the compiled file's branch targets.
std::vector<bool> ReachedRecords(const std::string& bytes) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const int count = ReadHeader(data).instructionCount;
  std::vector<bool> reached(static_cast<std::size_t>(count), false);
  std::vector<int> pending;
  if (count > 0) pending.push_back(0);
  while (!pending.empty()) {
    const int at = pending.back();
    pending.pop_back();
    if (at < 0 || at >= count || reached[static_cast<std::size_t>(at)]) continue;
    reached[static_cast<std::size_t>(at)] = true;
    const InstructionRecord r =
        ReadRecord(data + HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(at));
    switch (r.command) {
      case CMD_GOTO:
        pending.push_back(r.Int1);
        continue;
      case CMD_STOP:
      case CMD_RETURN:
      case CMD_LISTEN:
        continue;
      case CMD_START:
        pending.push_back(r.Int1);
        break;
      case CMD_ON_USE:
        if (r.Int1 != CODE_NONE) pending.push_back(r.Int1);
        break;
      case CMD_ON_BLOCK:
      case CMD_ON_TOUCH:
      case CMD_ON_SEE:
      case CMD_ON_PAIN:
        pending.push_back(r.Int2);
        break;
      default:
        break;
    }
    pending.push_back(at + 1);
  }
  return reached;
}

void CheckFlowIndexes(const SourceFlow& flow) {
  const auto blocks = static_cast<int>(flow.blocks.size());
  const auto statements = static_cast<int>(flow.statements.size());
  ZELK_FUZZ_CHECK(blocks >= 1, "a flow without the block at the top");
  for (const FlowBlock& b : flow.blocks) {
    ZELK_FUZZ_CHECK(b.firstStatement >= 0 && b.statementCount >= 0 &&
                        b.firstStatement + b.statementCount <= statements &&
                        b.runCount >= 0 && b.runCount <= b.statementCount &&
                        b.firstDefinition < blocks,
                    "block of line %d: statements %d+%d of %d, run %d", b.labelLine,
                    b.firstStatement, b.statementCount, statements, b.runCount);
  }
  for (const FlowStatement& s : flow.statements) {
    ZELK_FUZZ_CHECK(s.block >= 0 && s.block < blocks, "statement of line %d in block %d",
                    s.line, s.block);
  }
  for (const FlowEdge& e : flow.edges) {
    ZELK_FUZZ_CHECK(e.from >= 0 && e.from < blocks && e.to >= 0 && e.to < blocks,
                    "edge of line %d from %d to %d of %d blocks", e.line, e.from, e.to, blocks);
  }
}

// A reader of the DOT that FlowGraph writes; Fail names the first thing out of place.
class DotChecker {
 public:
  explicit DotChecker(std::string_view dot) : m_dot(dot) {}

  void Check(std::size_t blocks) {
    ZELK_FUZZ_CHECK(IsUtf8(m_dot), "the graph is not UTF-8");
    Word("digraph");
    QuotedString();
    Punctuation('{');
    while (!Peek('}')) Statement();
    Punctuation('}');
    Blanks();
    ZELK_FUZZ_CHECK(m_at == m_dot.size(), "text after the graph at %zu", m_at);
    for (std::size_t b = 0; b < blocks; ++b) {
      ZELK_FUZZ_CHECK(m_nodes.count("b" + std::to_string(b)) == 1, "no box for block %zu", b);
    }
  }

 private:
  // Every lead byte is followed by as many continuation bytes as it announces.
  static bool IsUtf8(std::string_view text) {
    for (std::size_t i = 0; i < text.size();) {
      const auto c = static_cast<unsigned char>(text[i]);
      const std::size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
      if (n == 0 || i + n > text.size()) return false;
      for (std::size_t k = 1; k < n; ++k) {
        if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
      }
      i += n;
    }
    return true;
  }

  void Blanks() {
    while (m_at < m_dot.size() && (m_dot[m_at] == ' ' || m_dot[m_at] == '\n')) ++m_at;
  }
  bool Peek(char c) {
    Blanks();
    ZELK_FUZZ_CHECK(m_at < m_dot.size(), "the graph ends early");
    return m_dot[m_at] == c;
  }
  void Punctuation(char c) {
    ZELK_FUZZ_CHECK(Peek(c), "'%c' expected at %zu", c, m_at);
    ++m_at;
  }
  std::string Identifier() {
    Blanks();
    const std::size_t start = m_at;
    while (m_at < m_dot.size() && (std::isalnum(static_cast<unsigned char>(m_dot[m_at])) != 0 ||
                                   m_dot[m_at] == '_')) {
      ++m_at;
    }
    ZELK_FUZZ_CHECK(m_at > start, "a name expected at %zu", start);
    return std::string(m_dot.substr(start, m_at - start));
  }
  void Word(const char* word) {
    ZELK_FUZZ_CHECK(Identifier() == word, "'%s' expected before %zu", word, m_at);
  }
  void QuotedString() {
    Punctuation('"');
    for (;;) {
      ZELK_FUZZ_CHECK(m_at < m_dot.size(), "a string is not closed");
      const auto c = static_cast<unsigned char>(m_dot[m_at++]);
      ZELK_FUZZ_CHECK(c >= 0x20 && c != 0x7F, "a control character in a string at %zu", m_at);
      if (c == '"') return;
      if (c == '\\') {
        ZELK_FUZZ_CHECK(m_at < m_dot.size(), "a string ends in a backslash");
        ++m_at;
      }
    }
  }
  void Attributes() {
    Punctuation('[');
    for (;;) {
      Identifier();
      Punctuation('=');
      if (Peek('"')) {
        QuotedString();
      } else {
        Identifier();
      }
      if (Peek(']')) break;
      Punctuation(',');
    }
    Punctuation(']');
  }
  void Statement() {
    const std::string first = Identifier();
    if (first == "node" || first == "edge") {
      Attributes();
    } else if (Peek('-')) {
      ++m_at;
      Punctuation('>');
      const std::string second = Identifier();
      ZELK_FUZZ_CHECK(m_nodes.count(first) == 1 && m_nodes.count(second) == 1,
                      "an edge %s -> %s before its nodes", first.c_str(), second.c_str());
      if (Peek('[')) Attributes();
    } else {
      ZELK_FUZZ_CHECK(m_nodes.insert(first).second, "node %s declared twice", first.c_str());
      if (Peek('[')) Attributes();
    }
    Punctuation(';');
  }

  std::string_view m_dot;
  std::size_t m_at = 0;
  std::set<std::string> m_nodes;
};

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  const std::string source(reinterpret_cast<const char*>(data), size);
  EnvironmentSettings scratch;
  const SourceCheck check = CheckSource(
      source,
      [&](const ParsedStatement& s) { return CheckSettingLine(s, scratch, "nested compile"); },
      SourceEncoding::Cp1252);
  const SourceFlow& flow = check.flow;
  CheckFlowIndexes(flow);
  // A name that needs every escape of a DOT string.
  DotChecker(FlowGraph(flow, "fuzz \"flow\" \\ \xc3\xa9")).Check(flow.blocks.size());

  if (!flow.known) return 0;
  NullLineSink out;
  // Settings lines are taken and left undone: they are no records.
  const MemoryCompile compiled =
      CompileInMemory(source, out, [](const ParsedStatement&) { return std::nullopt; });
  if (compiled.result.status != CompileResult::Status::Ok) return 0;
  const std::vector<bool> reached = ReachedRecords(compiled.bytes);
  ZELK_FUZZ_CHECK(reached.size() == flow.statements.size(), "%zu records, %zu statements",
                  reached.size(), flow.statements.size());
  for (std::size_t i = 0; i < reached.size(); ++i) {
    ZELK_FUZZ_CHECK(reached[i] == flow.statements[i].reached,
                    "the statement of line %d is %s, its record is %s", flow.statements[i].line,
                    flow.statements[i].reached ? "reached" : "not reached",
                    reached[i] ? "reached" : "not");
  }
  return 0;
}

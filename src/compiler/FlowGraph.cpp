// SPDX-License-Identifier: MIT
#include "compiler/FlowGraph.h"

#include "platform/Cp1252.h"

namespace zelk {
namespace {

using End = FlowBlock::End;

// The statement texts in the boxes are cut after this many characters.
constexpr std::size_t kTextWidth = 40;

// UTF-8 text for a quoted DOT string: a double quote and a backslash are escaped, control
// characters become '?'.
std::string Escape(std::string_view utf8) {
  std::string escaped;
  for (const char c : utf8) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') escaped += '\\';
    escaped += byte < 0x20 || byte == 0x7F ? '?' : c;
  }
  return escaped;
}

// Windows-1252 text for a quoted DOT string, in UTF-8; the bytes that Windows-1252 leaves
// undefined become '?'.
std::string Quoted(std::string_view cp1252) {
  std::string text(cp1252);
  for (char& c : text) {
    if (IsUndefinedInCp1252(static_cast<unsigned char>(c))) c = '?';
  }
  return Escape(Cp1252ToUtf8(text));
}

std::string Count(int count, const char* one, const char* many) {
  return std::to_string(count) + " " + (count == 1 ? one : many);
}

// The lines of a block's box, each ended by "\n" (DOT's line break).
std::string BoxText(const SourceFlow& flow, const FlowBlock& block) {
  std::string text = block.labelLine == 0 ? std::string("start")
                                          : "label@" + Quoted(block.label) + " (line " +
                                                std::to_string(block.labelLine) + ")";
  text += "\\n";
  if (block.firstDefinition >= 0) {
    text += "defined again: branches go to line " +
            std::to_string(flow.blocks[static_cast<std::size_t>(block.firstDefinition)].labelLine) +
            "\\n";
  }
  if (block.statementCount == 0) return text + "no statements\\n";
  const int firstLine = flow.statements[static_cast<std::size_t>(block.firstStatement)].line;
  text += Count(block.statementCount, "statement", "statements") + " from line " +
          std::to_string(firstLine) + "\\n";
  if (block.reached && block.runCount < block.statementCount) {
    text += Count(block.statementCount - block.runCount, "statement", "statements") +
            " after line " + std::to_string(block.endLine) + " never run\\n";
  }
  const std::string_view first = block.firstText;
  text += first.size() > kTextWidth ? Quoted(first.substr(0, kTextWidth)) + "..." : Quoted(first);
  return text + "\\n";
}

// The end of a block's run, or "" when it runs on or goes to a label.
std::string EndText(const SourceFlow& flow, std::size_t b) {
  const FlowBlock& block = flow.blocks[b];
  const std::string line = " (line " + std::to_string(block.endLine) + ")";
  switch (block.end) {
    case End::Stop:
    case End::Return:
    case End::Listen:
      return EndWord(block.end) + line;
    case End::ScriptEnd:
      return "end of the script";
    case End::Goto:
      for (const FlowEdge& edge : flow.edges) {
        if (edge.kind == FlowEdge::Kind::Goto && edge.line == block.endLine) return "";
      }
      return "goto: no such label" + line;
    case End::RunsOn:
      break;
  }
  return "";
}

const char* const kGrey = "color=gray, fontcolor=gray";

}  // namespace

std::string FlowGraph(const SourceFlow& flow, std::string_view name) {
  std::string dot = "digraph \"" + Escape(name) + "\" {\n";
  dot += "  node [shape=box];\n";
  dot += "  edge [fontsize=10];\n";
  for (std::size_t b = 0; b < flow.blocks.size(); ++b) {
    const FlowBlock& block = flow.blocks[b];
    const std::string id = "b" + std::to_string(b);
    std::string style;
    if (block.firstDefinition >= 0) style += ", style=dashed";
    if (!block.reached) style += std::string(", ") + kGrey;
    dot += "  " + id + " [label=\"" + BoxText(flow, block) + "\"" + style + "];\n";
    const std::string end = EndText(flow, b);
    if (end.empty()) continue;
    const std::string greyed = block.reached ? "" : std::string(", ") + kGrey;
    dot += "  e" + std::to_string(b) + " [label=\"" + end + "\", shape=oval" + greyed + "];\n";
    dot += "  " + id + " -> e" + std::to_string(b) +
           (block.reached ? "" : " [" + std::string(kGrey) + "]") + ";\n";
  }
  for (const FlowEdge& edge : flow.edges) {
    std::string attributes;
    switch (edge.kind) {
      case FlowEdge::Kind::RunsOn:
        break;
      case FlowEdge::Kind::Goto:
        attributes = "label=\"goto\"";
        break;
      case FlowEdge::Kind::Intercept:
        attributes = "style=dashed, label=\"" + Quoted(edge.name) + "\"";
        break;
      case FlowEdge::Kind::Start:
        attributes = "style=dashed, label=\"start\"";
        break;
    }
    if (!edge.taken) attributes += std::string(attributes.empty() ? "" : ", ") + kGrey;
    dot += "  b" + std::to_string(edge.from) + " -> b" + std::to_string(edge.to) +
           (attributes.empty() ? "" : " [" + attributes + "]") + ";\n";
  }
  return dot + "}\n";
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "compiler/SourceFlow.h"

#include <functional>
#include <unordered_map>

#include "compiler/LabelTable.h"
#include "compiler/RecordCodes.h"
#include "language/CommandTable.h"

namespace zelk {
namespace {

using End = FlowBlock::End;

bool IsCategory(int commandIndex, Category category) {
  return commandIndex >= 0 && commandIndex < COMMAND_COUNT &&
         Commands()[commandIndex].category == category;
}

// What a line is to the flow.
enum class LineRole { Other, Label, Statement, Unknown };

LineRole RoleOf(const ParsedStatement& parsed) {
  switch (parsed.result) {
    case ParseResult::Label:
      return LineRole::Label;
    case ParseResult::Statement:
      return LineRole::Statement;
    case ParseResult::NoEol:
      // Every argument was read: the line is what it would be with its ";".
      if (parsed.commandIndex == CMD_LABEL) return LineRole::Label;
      return IsCategory(parsed.commandIndex, CATEGORY_STATEMENT) ? LineRole::Statement
                                                                 : LineRole::Other;
    case ParseResult::BadInstruction:
      return LineRole::Unknown;
    case ParseResult::Usage:
      return parsed.commandIndex == CMD_LABEL || LabelTokenSlot(parsed.commandIndex) != 0
                 ? LineRole::Unknown
                 : LineRole::Other;
    case ParseResult::Environment:
      return LineRole::Other;
  }
  return LineRole::Other;
}

End EndOf(int commandIndex) {
  switch (commandIndex) {
    case CMD_GOTO:
      return End::Goto;
    case CMD_STOP:
      return End::Stop;
    case CMD_RETURN:
      return End::Return;
    case CMD_LISTEN:
      return End::Listen;
    default:
      return End::RunsOn;
  }
}

FlowEdge::Kind EdgeKindOf(int commandIndex) {
  switch (commandIndex) {
    case CMD_GOTO:
      return FlowEdge::Kind::Goto;
    case CMD_START:
      return FlowEdge::Kind::Start;
    default:
      return FlowEdge::Kind::Intercept;
  }
}

class FlowBuilder {
 public:
  SourceFlow Build(const std::vector<FlowLine>& lines) {
    m_flow.blocks.emplace_back();
    std::vector<const FlowLine*> statementLines;
    for (const FlowLine& line : lines) {
      switch (RoleOf(*line.parsed)) {
        case LineRole::Label:
          AddLabel(line);
          break;
        case LineRole::Statement:
          AddStatement(line);
          statementLines.push_back(&line);
          break;
        case LineRole::Unknown:
          m_flow.known = false;
          break;
        case LineRole::Other:
          break;
      }
    }
    for (std::size_t b = 0; b < m_flow.blocks.size(); ++b) EndRun(static_cast<int>(b));
    for (std::size_t s = 0; s < statementLines.size(); ++s) {
      AddLabelEdge(m_flow.statements[s], *statementLines[s]->parsed);
    }
    Reach();
    return std::move(m_flow);
  }

 private:
  void AddLabel(const FlowLine& line) {
    const std::string_view name = line.parsed->Token(1);
    FlowBlock& block = m_flow.blocks.emplace_back();
    const int index = static_cast<int>(m_flow.blocks.size()) - 1;
    block.label = std::string(name);
    block.labelLine = line.number;
    block.labelColumn = static_cast<int>(name.data() - line.text.data());
    block.labelLength = static_cast<int>(name.size());
    block.firstStatement = static_cast<int>(m_flow.statements.size());
    const auto [first, inserted] = m_byName.emplace(block.label, index);
    if (!inserted) block.firstDefinition = first->second;
  }

  void AddStatement(const FlowLine& line) {
    const std::string_view word = line.parsed->Token(0);
    FlowStatement& statement = m_flow.statements.emplace_back();
    statement.line = line.number;
    statement.column = static_cast<int>(word.data() - line.text.data());
    statement.commandIndex = line.parsed->commandIndex;
    statement.block = static_cast<int>(m_flow.blocks.size()) - 1;
    FlowBlock& block = m_flow.blocks.back();
    if (block.statementCount++ == 0) {
      block.firstText = std::string(line.text.substr(statement.column));
    }
  }

  // Where the run of a block ends, and the edge into the next label when it runs on.
  void EndRun(int b) {
    FlowBlock& block = m_flow.blocks[static_cast<std::size_t>(b)];
    block.runCount = block.statementCount;
    block.end = End::RunsOn;
    for (int i = 0; i < block.statementCount; ++i) {
      const FlowStatement& statement =
          m_flow.statements[static_cast<std::size_t>(block.firstStatement + i)];
      const End end = EndOf(statement.commandIndex);
      if (end == End::RunsOn) continue;
      block.runCount = i + 1;
      block.end = end;
      block.endLine = statement.line;
      return;
    }
    if (static_cast<std::size_t>(b) + 1 == m_flow.blocks.size()) {
      block.end = End::ScriptEnd;
      return;
    }
    FlowEdge edge;
    edge.kind = FlowEdge::Kind::RunsOn;
    edge.from = b;
    edge.to = b + 1;
    edge.line = m_flow.blocks[static_cast<std::size_t>(b) + 1].labelLine;
    m_flow.edges.push_back(std::move(edge));
  }

  // The edge of a statement that names a label, if it names one that a label line defines. A
  // statement after the end of its block's run names it all the same, but leads nowhere.
  void AddLabelEdge(const FlowStatement& statement, const ParsedStatement& parsed) {
    const int slot = LabelTokenSlot(parsed.commandIndex);
    if (slot == 0 || !parsed.HasToken(slot)) return;
    const std::string_view name = parsed.Token(slot);
    if (parsed.commandIndex == CMD_ON_USE && name == WORD_NONE) return;
    const auto target = m_byName.find(name);
    if (target == m_byName.end()) return;
    m_flow.blocks[static_cast<std::size_t>(target->second)].named = true;
    const FlowBlock& block = m_flow.blocks[static_cast<std::size_t>(statement.block)];
    const int index = static_cast<int>(&statement - m_flow.statements.data());
    if (index >= block.firstStatement + block.runCount) return;
    FlowEdge edge;
    edge.kind = EdgeKindOf(parsed.commandIndex);
    edge.from = statement.block;
    edge.to = target->second;
    edge.line = statement.line;
    if (edge.kind == FlowEdge::Kind::Intercept) {
      edge.name = std::string(parsed.Token(0)) + " " + std::string(parsed.Token(1));
    }
    m_flow.edges.push_back(std::move(edge));
  }

  void Reach() {
    std::vector<std::vector<int>> leaving(m_flow.blocks.size());
    for (std::size_t e = 0; e < m_flow.edges.size(); ++e) {
      leaving[static_cast<std::size_t>(m_flow.edges[e].from)].push_back(static_cast<int>(e));
    }
    std::vector<int> pending = {0};
    m_flow.blocks[0].reached = true;
    while (!pending.empty()) {
      const int b = pending.back();
      pending.pop_back();
      for (const int e : leaving[static_cast<std::size_t>(b)]) {
        FlowEdge& edge = m_flow.edges[static_cast<std::size_t>(e)];
        edge.taken = true;
        FlowBlock& target = m_flow.blocks[static_cast<std::size_t>(edge.to)];
        if (!target.reached) {
          target.reached = true;
          pending.push_back(edge.to);
        }
      }
    }
    for (const FlowBlock& block : m_flow.blocks) {
      if (!block.reached) continue;
      for (int i = 0; i < block.runCount; ++i) {
        m_flow.statements[static_cast<std::size_t>(block.firstStatement + i)].reached = true;
      }
    }
  }

  SourceFlow m_flow;
  // The block of the first label of each name.
  std::unordered_map<std::string, int, NameHash, std::equal_to<>> m_byName;
};

}  // namespace

SourceFlow AnalyseFlow(const std::vector<FlowLine>& lines) {
  return FlowBuilder().Build(lines);
}

const char* EndWord(FlowBlock::End end) {
  switch (end) {
    case End::Goto:
      return "goto";
    case End::Stop:
      return "stop";
    case End::Return:
      return "return";
    case End::Listen:
      return "listen";
    case End::RunsOn:
    case End::ScriptEnd:
      break;
  }
  return "";
}

int LabelTokenSlot(int commandIndex) {
  switch (commandIndex) {
    case CMD_GOTO:
    case CMD_START:
      return 1;
    case CMD_ON_BLOCK:
    case CMD_ON_USE:
    case CMD_ON_TOUCH:
    case CMD_ON_SEE:
    case CMD_ON_PAIN:
      return 2;
    default:
      return 0;
  }
}

}  // namespace zelk

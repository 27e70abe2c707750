// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "language/StatementParser.h"

namespace zelk {

// The flow of a script, as the game runs its records: from the first statement line by line; a
// goto jumps to its label; a statement that names a label otherwise (start, the intercepts
// on_use, on_see, on_pain, on_touch and on_block) makes that label reachable once it has run; goto,
// stop, return and listen end the straight run. Setting lines and label lines are no statements:
// they act while the source is compiled, wherever they stand.
//
// A block is what runs from a label line (or from the top of the source) up to the next label
// line: the statements of a block that its run reaches are those up to the first goto, stop,
// return or listen; the run then ends there, or runs on into the next label.

// One non-empty line of a source as the compile reads it: its number, its cleaned text and what
// the parser made of it.
struct FlowLine {
  int number = 0;  // 1 for the first line
  std::string_view text;
  const ParsedStatement* parsed = nullptr;
};

struct FlowStatement {
  int line = 0;
  int column = 0;  // where the statement word starts
  int commandIndex = -1;
  int block = 0;
  bool reached = false;
};

struct FlowEdge {
  enum class Kind {
    RunsOn,     // the run of a block goes on into the next label
    Goto,       // goto
    Intercept,  // on_use, on_see, on_pain, on_touch, on_block
    Start,      // start
  };
  Kind kind = Kind::RunsOn;
  int from = 0;  // blocks
  int to = 0;
  int line = 0;        // the statement's line; for RunsOn the line of the label run into
  std::string name;    // for an intercept, its word and activator ("on_see .client")
  bool taken = false;  // the block it leaves is reached
};

struct FlowBlock {
  enum class End {
    RunsOn,  // into the next label
    Goto,    // a goto (to a label that exists or not: see the edges)
    Stop,    // stop, return, listen: the statement that ends the run
    Return,
    Listen,
    ScriptEnd,  // the last block runs past the last statement
  };
  std::string label;    // "" for the block at the top of the source
  int labelLine = 0;    // 0 for the top
  int labelColumn = 0;  // where the name stands in its line
  int labelLength = 0;
  int firstDefinition = -1;  // for a label whose name an earlier label line has: that block
  int firstStatement = 0;    // in SourceFlow::statements
  int statementCount = 0;
  int runCount = 0;  // the statements its run reaches: up to the one that ends it
  End end = End::ScriptEnd;
  int endLine = 0;        // the line of the goto, stop, return or listen that ends the run
  std::string firstText;  // the cleaned text of its first statement
  bool named = false;     // a statement names it (a statement that runs or not)
  bool reached = false;
};

struct SourceFlow {
  std::vector<FlowBlock> blocks;  // the top first, then one for each label line in file order
  std::vector<FlowStatement> statements;  // in file order
  std::vector<FlowEdge> edges;
  // False when a line that might change the flow cannot be read: a word that is no entry of the
  // table, or a branch, an intercept or a label with the wrong punctuation or arguments. What is
  // reached is then not known.
  bool known = true;
};

// The statement word of the end of a run: "goto", "stop", "return" or "listen"; "" for the others.
const char* EndWord(FlowBlock::End end);

// The flow of the non-empty lines of a source. A statement or label line that lacks only its ";"
// counts as what it would be with it. A label that a statement names is the first label line of
// that name, as the compile resolves it.
SourceFlow AnalyseFlow(const std::vector<FlowLine>& lines);

// Where a statement names a label: the token slot of the label argument of the entry, or 0 when
// the entry names none (goto and start in slot 1, the intercepts in slot 2).
int LabelTokenSlot(int commandIndex);

}  // namespace zelk

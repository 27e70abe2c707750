// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "compiler/SourceFlow.h"

namespace zelk {

// The flow of a script as a Graphviz graph (DOT), in UTF-8: a box for each block (the top of the
// source and each label line) with its first line, its statements' count and its first statement;
// a plain edge where its run goes on into the next label, an edge named goto for a goto, a dashed
// edge named by the intercept and its activator (on_see .client) or by start for a statement that
// makes a label reachable; an oval for the end of a run (stop, return, listen, the end of the
// script). What no path reaches is grey; a second label of a name is dashed. name names the graph
// (UTF-8).
std::string FlowGraph(const SourceFlow& flow, std::string_view name);

}  // namespace zelk

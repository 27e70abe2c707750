// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "platform/Streams.h"

namespace zelk {

// zelk --check: checks each source as the compile would, writing nothing, and writes every
// finding on out as "FILE:LINE:COLUMN: error: MESSAGE" ("warning:", "note:"), files in the order
// given; "-" reads standard input (in), named <stdin>. Setting lines are carried out on a copy of
// the settings of zelk.cfg. A file that cannot be read is an error line of its own. Returns 1
// when any error was found, else 0.
int RunCheck(const std::vector<std::string>& files, InputStream& in, std::ostream& out,
             std::ostream& err);

// zelk --graph: writes the flow of one source to out as a Graphviz graph; the errors that
// --check would report go to err. Returns 1 when there is any, or the source cannot be read.
int RunGraph(const std::string& file, InputStream& in, std::ostream& out, std::ostream& err);

}  // namespace zelk

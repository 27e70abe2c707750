// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>

#include "app/CommandLine.h"
#include "platform/Streams.h"

namespace zelk {

constexpr int EXIT_OK = 0;
constexpr int EXIT_COMPILE_FAILED = 1;
constexpr int EXIT_USAGE = 2;

// Runs every mode of the command line but the desktop one and returns the exit status. Batch mode
// types each line at a console without a window: the lines of the file or of the stream in, the
// transcript to out, the failed-compile notice to err.
int RunCommandLine(const CommandLine& line, InputStream& in, std::ostream& out, std::ostream& err);

}  // namespace zelk

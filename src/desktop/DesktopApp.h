// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zelk {

// Runs the desktop console until its window closes, with the file named on the command line as
// its document (empty for none); returns the exit status.
int RunDesktop(int argc, char** argv, const std::string& fileName);

}  // namespace zelk

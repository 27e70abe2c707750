// SPDX-License-Identifier: MIT
#pragma once

#include <iosfwd>
#include <string>

namespace zelk {

// The desktop console is a program of its own, zelk-desktop, so that zelk itself (batch mode,
// the decompiler, the language server) loads no Qt. It stands beside zelk in the build tree and in
// libexec/zelk/ below the installation prefix; both are found relative to zelk, so an installed
// tree can be moved.
constexpr const char* DESKTOP_PROGRAM = "zelk-desktop";

// Where the desktop program is, looked for beside zelkDir and in zelkDir/../libexec/zelk; "" when
// neither holds one.
std::string FindDesktopProgram(const std::string& zelkDir);

// Hands the run over to the desktop program, with the same arguments: on POSIX this process
// becomes it and returns only when that fails; on Windows it starts beside zelk and the call
// returns EXIT_OK at once. A failure returns the exit status after saying why on err.
int RunDesktopProgram(char** argv, std::ostream& err);

}  // namespace zelk

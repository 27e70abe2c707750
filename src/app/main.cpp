// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <iostream>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "app/DesktopLauncher.h"
#include "platform/StopSignals.h"

// zelk: batch mode, the decompiler, help and version here, without Qt; the window is the
// desktop program's.
int main(int argc, char** argv) {
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv);
  if (line.mode == zelk::CommandLine::Mode::Desktop) return zelk::RunDesktopProgram(argv, std::cerr);
  zelk::InstallStopSignals();
  const int status = zelk::RunCommandLine(line, STDIN_FILENO, std::cout, std::cerr);
  // A run ended early by a stop signal has saved its settings; it now ends as the signal says.
  zelk::EndByStopSignal();
  return status;
}

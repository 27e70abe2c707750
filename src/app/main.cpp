// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <cstring>
#include <iostream>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "app/DesktopLauncher.h"
#include "platform/DescriptorOutput.h"
#include "platform/StopSignals.h"

// zelk: batch mode, the decompiler, help and version here, without Qt; the window is the
// desktop program's.
int main(int argc, char** argv) {
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv);
  if (line.mode == zelk::CommandLine::Mode::Desktop) {
    return zelk::RunDesktopProgram(argv, std::cerr);
  }
  zelk::InstallStopSignals();
  zelk::DescriptorOutput standardOutput(STDOUT_FILENO);
  std::ostream out(&standardOutput);
  int status = zelk::RunCommandLine(line, STDIN_FILENO, out, std::cerr);
  // Output that could not be written (a full disk) fails the run and says why.
  out.flush();
  if (standardOutput.Error() != 0) {
    std::cerr << "zelk: cannot write to standard output: " << std::strerror(standardOutput.Error())
              << "\n";
    if (status == zelk::EXIT_OK) status = zelk::EXIT_COMPILE_FAILED;
  }
  // A run ended early by a stop signal has saved its settings; it now ends as the signal says.
  zelk::EndByStopSignal();
  return status;
}

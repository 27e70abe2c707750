// SPDX-License-Identifier: MIT
#include <iostream>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "app/DesktopLauncher.h"
#include "platform/OutputBuffer.h"
#include "platform/StopNotice.h"
#include "platform/Streams.h"

// zelk: batch mode, the decompiler, help and version here, without Qt; the window is the
// desktop program's.
int main(int argc, char** argv) {
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv);
  if (line.mode == zelk::CommandLine::Mode::Desktop) {
    return zelk::RunDesktopProgram(argv, std::cerr);
  }
  zelk::InstallStopNotice();
  const auto standardInput = zelk::StandardInput();
  const auto standardOutput = zelk::StandardOutput();
  zelk::OutputBuffer outputBuffer(*standardOutput);
  std::ostream out(&outputBuffer);
  int status = zelk::RunCommandLine(line, *standardInput, out, std::cerr);
  // Output that could not be written (a full disk) fails the run and says why.
  out.flush();
  if (outputBuffer.Failed()) {
    std::cerr << "zelk: cannot write to standard output: " << outputBuffer.ErrorText() << "\n";
    if (status == zelk::EXIT_OK) status = zelk::EXIT_COMPILE_FAILED;
  }
  // A run ended early by the stop notice has saved its settings; it now ends as the notice says.
  zelk::EndByStopNotice();
  return status;
}

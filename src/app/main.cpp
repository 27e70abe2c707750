// SPDX-License-Identifier: MIT
#include <unistd.h>

#include <iostream>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "platform/StopSignals.h"
#ifdef ZELK_HAVE_DESKTOP
#include "desktop/DesktopApp.h"
#endif

int main(int argc, char** argv) {
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv);
  zelk::InstallStopSignals();
  int status = 0;
#ifdef ZELK_HAVE_DESKTOP
  if (line.mode == zelk::CommandLine::Mode::Desktop) {
    status = zelk::RunDesktop(argc, argv, line.documentName);
  } else
#endif
  {
    status = zelk::RunCommandLine(line, STDIN_FILENO, std::cout, std::cerr);
  }
  // A run ended early by a stop signal has saved its settings; it now ends as the signal says.
  zelk::EndByStopSignal();
  return status;
}

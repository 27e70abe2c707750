// SPDX-License-Identifier: MIT
#include <iostream>
#include <string>
#include <vector>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "app/DesktopLauncher.h"
#include "platform/OutputBuffer.h"
#include "platform/Process.h"
#include "platform/StopNotice.h"
#include "platform/Streams.h"

// zelk: batch mode, the decompiler, help and version here, without Qt; the window is the
// desktop program's.
int main(int argc, char** argv) {
  // The arguments as host texts (on Windows from the wide command line).
  std::vector<std::string> arguments = zelk::RunArguments(argc, argv);
  std::vector<char*> hostArgv;
  for (std::string& argument : arguments) hostArgv.push_back(argument.data());
  hostArgv.push_back(nullptr);
  const int hostArgc = static_cast<int>(arguments.size());

  const auto standardError = zelk::StandardError();
  zelk::OutputBuffer errorBuffer(*standardError);
  std::ostream err(&errorBuffer);
  err << std::unitbuf;
  const zelk::CommandLine line = zelk::ParseCommandLine(hostArgc, hostArgv.data());
  if (line.mode == zelk::CommandLine::Mode::Desktop) {
    return zelk::RunDesktopProgram(hostArgv.data(), err);
  }
  zelk::InstallStopNotice();
  const auto standardInput = zelk::StandardInput();
  const auto standardOutput = zelk::StandardOutput();
  zelk::OutputBuffer outputBuffer(*standardOutput);
  std::ostream out(&outputBuffer);
  int status = zelk::RunCommandLine(line, *standardInput, out, err);
  // Output that could not be written (a full disk) fails the run and says why.
  out.flush();
  if (outputBuffer.Failed()) {
    err << "zelk: cannot write to standard output: " << outputBuffer.ErrorText() << "\n";
    if (status == zelk::EXIT_OK) status = zelk::EXIT_COMPILE_FAILED;
  }
  // A run ended early by the stop notice has saved its settings; it now ends as the notice says.
  err.flush();
  zelk::EndByStopNotice();
  return status;
}

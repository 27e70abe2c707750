// SPDX-License-Identifier: MIT
#include "app/DesktopLauncher.h"

#include <ostream>

#include "app/BatchMode.h"
#include "platform/FileSystem.h"
#include "platform/Process.h"

namespace zelk {

std::string FindDesktopProgram(const std::string& zelkDir) {
  if (zelkDir.empty()) return {};
  const std::string name = ProgramFileName(DESKTOP_PROGRAM);
  for (const std::string& candidate :
       {JoinHostPath(zelkDir, name), JoinHostPath(zelkDir, HostPath("..\\libexec\\zelk\\" + name))}) {
    if (IsRunnable(candidate)) return candidate;
  }
  return {};
}

int RunDesktopProgram(char** argv, std::ostream& err) {
  const std::string program = FindDesktopProgram(ExecutableDirectory());
  if (program.empty()) {
    err << "zelk: the desktop console (" << DESKTOP_PROGRAM
        << ") is not installed with this zelk; use -c or --batch to run the console without a "
           "window\n";
    return EXIT_USAGE;
  }
  // POSIX: the same process goes on as the window; Windows: the window runs beside the console,
  // which returns at once.
  const StartResult result = HandOverTo(program, argv);
  if (result.started) return EXIT_OK;
  err << "zelk: cannot start " << program << ": " << result.reason << "\n";
  return EXIT_USAGE;
}

}  // namespace zelk

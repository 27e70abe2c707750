// SPDX-License-Identifier: MIT
#include "app/DesktopLauncher.h"

#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <ostream>

#include "app/BatchMode.h"
#include "platform/Process.h"

namespace zelk {

std::string FindDesktopProgram(const std::string& zelkDir) {
  if (zelkDir.empty()) return {};
  for (const std::string& candidate :
       {zelkDir + "/" + DESKTOP_PROGRAM, zelkDir + "/../libexec/zelk/" + DESKTOP_PROGRAM}) {
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
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
  // The same process goes on as the window: signals and the exit status reach it directly.
  argv[0] = const_cast<char*>(program.c_str());
  ::execv(program.c_str(), argv);
  err << "zelk: cannot start " << program << ": " << std::strerror(errno) << "\n";
  return EXIT_USAGE;
}

}  // namespace zelk

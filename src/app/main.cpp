#include <iostream>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#ifdef ZELK_HAVE_DESKTOP
#include "app/desktop/DesktopApp.h"
#endif

int main(int argc, char** argv) {
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv);
#ifdef ZELK_HAVE_DESKTOP
  if (line.mode == zelk::CommandLine::Mode::Desktop) return zelk::RunDesktop(argc, argv, line);
#endif
  return zelk::RunCommandLine(line, std::cin, std::cout, std::cerr);
}

// SPDX-License-Identifier: MIT
#include <cstdlib>
#include <iostream>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "desktop/DesktopApp.h"
#include "platform/FileSystem.h"
#include "platform/StopNotice.h"
#include "platform/Streams.h"

// zelk-desktop: the desktop console, which zelk starts when it is run without options or with
// a file name (the desktop entry passes one).
int main(int argc, char** argv) {
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv);
  if (line.mode != zelk::CommandLine::Mode::Desktop) {
    // Only zelk's own options reach here by mistake: zelk answers them itself.
    std::cerr << "zelk-desktop: the options are zelk's; run zelk " << (argc > 1 ? argv[1] : "")
              << "\n";
    return zelk::EXIT_USAGE;
  }
  // Without a display the window cannot open; Qt would abort. A platform chosen by hand (the
  // offscreen one of tests, say) needs none.
  const auto unset = [](const char* name) {
    const char* value = std::getenv(name);
    return value == nullptr || *value == '\0';
  };
  if (unset("DISPLAY") && unset("WAYLAND_DISPLAY") && unset("QT_QPA_PLATFORM")) {
    std::cerr << "zelk: the desktop console needs a display (neither DISPLAY nor WAYLAND_DISPLAY "
                 "is set); use -c or --batch to run the console without a window\n";
    return zelk::EXIT_USAGE;
  }
  // A document that cannot be read is named with the reason on standard error too, for a start
  // from a terminal; the window then shows its message box.
  if (!line.documentName.empty()) {
    std::string reason;
    if (zelk::OpenInputStream(line.documentName, reason) == nullptr) {
      std::cerr << "zelk: " << line.documentName << ": " << reason << "\n";
    }
  }
  zelk::InstallStopNotice();
  const int status = zelk::RunDesktop(argc, argv, line.documentName);
  zelk::EndByStopNotice();
  return status;
}

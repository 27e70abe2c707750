// SPDX-License-Identifier: MIT
#include "desktop/DesktopApp.h"

#include "desktop/ZelkApp.h"

namespace zelk {

int RunDesktop(int argc, char** argv, const std::string& fileName) {
  CZelkApp app(argc, argv);
  if (!app.InitInstance(fileName)) return 1;
  return app.Run();
}

}  // namespace zelk

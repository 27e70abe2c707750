#include "app/desktop/DesktopApp.h"

#include "app/desktop/ZelkApp.h"

namespace zelk {

int RunDesktop(int argc, char** argv, const CommandLine& line) {
  CZelkApp app(argc, argv);
  if (!app.InitInstance(line)) return 1;
  return app.Run();
}

}  // namespace zelk

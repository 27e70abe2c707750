// SPDX-License-Identifier: MIT
#include "win32/WindowsApi.h"

#include <shellapi.h>

#include <string>
#include <vector>

#include "app/BatchMode.h"
#include "app/CommandLine.h"
#include "win32/GdiDrawContext.h"
#include "win32/MainFrame.h"
#include "win32/Win32Text.h"

// zelk-desktop.exe: the console window on Windows, which zelk.exe starts when it is run without
// options or with a file name.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  int argc = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < argc; ++i) arguments.push_back(zelk::Utf8FromWide(wide[i]));
  LocalFree(wide);
  std::vector<char*> argv;
  for (std::string& argument : arguments) argv.push_back(argument.data());
  argv.push_back(nullptr);
  const zelk::CommandLine line = zelk::ParseCommandLine(argc, argv.data());
  if (line.mode != zelk::CommandLine::Mode::Desktop) {
    // Only zelk's own options reach here by mistake: zelk answers them itself.
    const std::wstring text = L"The options are zelk's: run zelk " +
                              zelk::WideFromUtf8(argc > 1 ? arguments[1] : std::string()) +
                              L" in a command prompt.";
    MessageBoxW(nullptr, text.c_str(), L"Zelk", MB_OK | MB_ICONWARNING);
    return zelk::EXIT_USAGE;
  }

  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  // A file named on the command line that cannot be read ends the start-up before anything is
  // created, so nothing is loaded or saved either.
  if (!line.documentName.empty() && !zelk::MainFrame::CheckReadable(nullptr, line.documentName)) {
    return 1;
  }
  zelk::CZelkDoc doc(zelk::ConsoleFontFor(GetDpiForSystem()));
  zelk::RecentFileList recentFiles;
  recentFiles.Load();
  zelk::Win32Platform platform;
  zelk::MainFrame frame(doc, platform, recentFiles);
  if (!frame.Create(instance)) {
    MessageBoxW(nullptr, L"The window could not be created.", L"Zelk", MB_OK | MB_ICONERROR);
    return 1;
  }
  if (!line.documentName.empty() && !frame.OpenDocument(line.documentName)) return 1;
  ShowWindow(frame.Handle(), show == SW_SHOWDEFAULT ? SW_SHOW : show);
  UpdateWindow(frame.Handle());

  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    if (frame.TranslateKeys(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

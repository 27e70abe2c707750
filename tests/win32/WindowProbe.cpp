// SPDX-License-Identifier: MIT
// What the end-to-end run asks of the running window from outside it, as another program:
//   zelk_window_probe row N     the screen position of the console's row N (its first cell's
//                               middle), "x y", once the window is there
//   zelk_window_probe clipboard the clipboard's text, UTF-8
#include "win32/WindowsApi.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "win32/Win32Text.h"

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "row") == 0) {
    HWND console = nullptr;
    for (int i = 0; i < 200 && console == nullptr; ++i) {
      if (HWND frame = FindWindowW(L"ZelkMainFrame", nullptr)) {
        console = FindWindowExW(frame, nullptr, L"ZelkConsoleView", nullptr);
      }
      if (console == nullptr) Sleep(100);
    }
    if (console == nullptr) {
      std::fprintf(stderr, "zelk_window_probe: no Zelk window\n");
      return 1;
    }
    // The console's font is 16 pixels high at 100 % scale, as a first run has it.
    const int lineHeight = MulDiv(16, static_cast<int>(GetDpiForWindow(console)), 96);
    POINT at{4, std::atoi(argv[2]) * lineHeight + lineHeight / 2};
    ClientToScreen(console, &at);
    std::printf("%ld %ld\n", at.x, at.y);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "clipboard") == 0) {
    if (!OpenClipboard(nullptr)) return 1;
    std::wstring text;
    if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
      text = static_cast<const wchar_t*>(GlobalLock(data));
      GlobalUnlock(data);
    }
    CloseClipboard();
    std::printf("%s\n", zelk::Utf8FromWide(text).c_str());
    return 0;
  }
  std::fprintf(stderr, "usage: zelk_window_probe row N | clipboard\n");
  return 2;
}

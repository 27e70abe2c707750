// SPDX-License-Identifier: MIT
#include "platform/StopNotice.h"

#include <windows.h>

#include <atomic>

#include "platform/windows/Wide.h"

// The stop notice of a Windows host: the console's control events (Ctrl+C, Ctrl+Break, closing
// the console window, logging off, shutting down), which come on a thread of their own. A read of
// standard input that waits is cancelled, so the run ends after the line it carries out.
namespace zelk {
namespace {

// The exit status of a console program ended by Ctrl+C, as Windows gives it.
constexpr UINT kControlCExit = 0xC000013AU;

std::atomic<int> g_stop{0};
std::atomic<int> g_readers{0};
HANDLE g_event = nullptr;
HANDLE g_mainThread = nullptr;
bool g_installed = false;

BOOL WINAPI OnControl(DWORD event) {
  if (g_stop.load() != 0) {
    // The second request: no more waiting for the normal end.
    ::ExitProcess(kControlCExit);
  }
  g_stop.store(static_cast<int>(event) + 1);
  ::SetEvent(g_event);
  // A read that waits for input is cancelled until the reader has seen the stop.
  for (int i = 0; i < 400 && g_readers.load() > 0; ++i) {
    ::CancelSynchronousIo(g_mainThread);
    ::Sleep(5);
  }
  if (event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT) {
    // Windows ends the process when this returns: the run ends (and saves) first, in the time
    // Windows grants.
    ::Sleep(INFINITE);
  }
  return TRUE;
}

}  // namespace

namespace windows {

BlockingRead::BlockingRead() { g_readers.fetch_add(1); }
BlockingRead::~BlockingRead() { g_readers.fetch_sub(1); }

}  // namespace windows

void InstallStopNotice() {
  if (g_installed) return;
  g_event = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (g_event == nullptr) return;
  ::DuplicateHandle(::GetCurrentProcess(), ::GetCurrentThread(), ::GetCurrentProcess(),
                    &g_mainThread, 0, FALSE, DUPLICATE_SAME_ACCESS);
  ::SetConsoleCtrlHandler(OnControl, TRUE);
  g_installed = true;
}

void RemoveStopNotice() {
  if (!g_installed) return;
  ::SetConsoleCtrlHandler(OnControl, FALSE);
  ::CloseHandle(g_event);
  if (g_mainThread != nullptr) ::CloseHandle(g_mainThread);
  g_event = g_mainThread = nullptr;
  g_stop.store(0);
  g_installed = false;
}

int StopNotice() { return g_stop.load(); }

std::intptr_t StopNoticeHandle() {
  return g_installed ? reinterpret_cast<std::intptr_t>(g_event) : -1;
}

void AcknowledgeStopNotice() {
  if (g_installed) ::ResetEvent(g_event);
}

void EndByStopNotice() {
  if (g_stop.load() == 0) return;
  ::ExitProcess(kControlCExit);
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "platform/StopNotice.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <iterator>

// The stop notice of a POSIX host: the signals, which write a byte into a pipe.
namespace zelk {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGHUP, SIGINT};

volatile std::sig_atomic_t g_stopSignal = 0;
int g_pipe[2] = {-1, -1};
struct sigaction g_previous[std::size(kSignals)];
bool g_installed = false;

void OnStopSignal(int signal) {
  if (g_stopSignal != 0) {
    // The second request: no more waiting for the normal end.
    std::signal(signal, SIG_DFL);
    std::raise(signal);
    return;
  }
  g_stopSignal = signal;
  const int savedErrno = errno;
  const char byte = 1;
  ssize_t ignored = ::write(g_pipe[1], &byte, 1);
  (void)ignored;
  errno = savedErrno;
}

}  // namespace

void InstallStopNotice() {
  if (g_installed) return;
  if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  g_installed = true;
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a blocking read returns, and the reader looks again
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &action, &g_previous[i]);
    // A signal the program was started to ignore (nohup, a background job) stays ignored.
    if (g_previous[i].sa_handler == SIG_IGN) ::sigaction(kSignals[i], &g_previous[i], nullptr);
  }
}

void RemoveStopNotice() {
  if (!g_installed) return;
  for (std::size_t i = 0; i < std::size(kSignals); ++i) {
    ::sigaction(kSignals[i], &g_previous[i], nullptr);
  }
  ::close(g_pipe[0]);
  ::close(g_pipe[1]);
  g_pipe[0] = g_pipe[1] = -1;
  g_stopSignal = 0;
  g_installed = false;
}

int StopNotice() { return g_stopSignal; }

std::intptr_t StopNoticeHandle() { return g_pipe[0]; }

void AcknowledgeStopNotice() {
  char byte;
  while (g_pipe[0] >= 0 && ::read(g_pipe[0], &byte, 1) > 0) {
  }
}

void EndByStopNotice() {
  const int signal = g_stopSignal;
  if (signal == 0) return;
  RemoveStopNotice();
  std::signal(signal, SIG_DFL);
  std::raise(signal);
}

}  // namespace zelk

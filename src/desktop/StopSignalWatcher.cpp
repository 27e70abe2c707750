// SPDX-License-Identifier: MIT
#include "desktop/StopSignalWatcher.h"

#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>

#include "platform/StopSignals.h"

namespace zelk {

StopSignalWatcher::StopSignalWatcher(QObject* parent) : QObject(parent) {
  if (StopSignalFd() < 0) return;
  m_notifier = new QSocketNotifier(StopSignalFd(), QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &StopSignalWatcher::OnStop);
}

void StopSignalWatcher::OnStop() {
  // The byte of the signal is taken, so the notice comes once.
  char byte;
  while (::read(StopSignalFd(), &byte, 1) > 0) {
  }
  // Modal windows (a dialog, the failed-compile notice) close first, as their Cancel; the main
  // window closes as by exit.
  QApplication::closeAllWindows();
}

}  // namespace zelk

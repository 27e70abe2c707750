// SPDX-License-Identifier: MIT
#include "desktop/StopSignalWatcher.h"

#include <QApplication>
#include <QSocketNotifier>

#include "platform/StopNotice.h"

namespace zelk {

StopSignalWatcher::StopSignalWatcher(QObject* parent) : QObject(parent) {
  if (StopNoticeHandle() < 0) return;
  m_notifier = new QSocketNotifier(StopNoticeHandle(), QSocketNotifier::Read, this);
  connect(m_notifier, &QSocketNotifier::activated, this, &StopSignalWatcher::OnStop);
}

void StopSignalWatcher::OnStop() {
  // Taken off the handle, so the notice comes once.
  AcknowledgeStopNotice();
  // Modal windows (a dialog, the failed-compile notice) close first, as their Cancel; the main
  // window closes as by exit.
  QApplication::closeAllWindows();
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <QObject>

class QSocketNotifier;

namespace zelk {

// Closes every window of the desktop console, as exit does, when a stop signal arrives (the
// desktop session ends, the terminal closes, Ctrl+C): the console saves the options file on its
// way out. The stop signals must be installed (InstallStopNotice) first.
class StopSignalWatcher final : public QObject {
  Q_OBJECT

 public:
  explicit StopSignalWatcher(QObject* parent = nullptr);

 private:
  void OnStop();

  QSocketNotifier* m_notifier = nullptr;
};

}  // namespace zelk

// SPDX-License-Identifier: MIT
// The desktop tests run without a display, on Qt's offscreen platform, with the settings of the
// test run kept apart from the user's and from those of the other test processes: ctest runs
// each test in a process of its own, two at a time, and the same test at two pixel ratios would
// otherwise read and write one settings file at once.
#include <gtest/gtest.h>

#include <QApplication>
#include <QSettings>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "desktop/ZelkApp.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  const QTemporaryDir settingsHome;
  if (!settingsHome.isValid()) return 2;
  QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsHome.path());
  QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, settingsHome.path());
  zelk::CZelkApp::SetSettingsLocation();
  return RUN_ALL_TESTS();
}

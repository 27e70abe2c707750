// SPDX-License-Identifier: MIT
// The desktop tests run without a display, on Qt's offscreen platform, with the settings of the
// test run kept apart from the user's.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

#include "desktop/ZelkApp.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QStandardPaths::setTestModeEnabled(true);
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  zelk::CZelkApp::SetSettingsLocation();
  return RUN_ALL_TESTS();
}

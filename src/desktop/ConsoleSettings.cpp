// SPDX-License-Identifier: MIT
#include "desktop/ConsoleSettings.h"

#include <QSettings>
#include <QStringList>
#include <string>
#include <vector>

#include "desktop/ConsoleWidget.h"
#include "platform/Cp1252.h"

namespace zelk {
namespace {

const QString kGroup = QStringLiteral("Console");
const QString kHistory = QStringLiteral("History");
const QString kFontHeight = QStringLiteral("FontHeight");

}  // namespace

void LoadConsoleSettings(CConsoleWidget& console) {
  QSettings settings;
  settings.beginGroup(kGroup);
  std::vector<std::string> lines;
  for (const QString& line : settings.value(kHistory).toStringList()) {
    lines.push_back(Utf8ToCp1252(line.toStdString()));
  }
  console.Screen().History().Assign(lines);
  bool valid = false;
  const int height = settings.value(kFontHeight).toInt(&valid);
  if (valid && height > 0) console.Screen().SetFontHeight(height);
}

void SaveConsoleSettings(CConsoleWidget& console) {
  QSettings settings;
  settings.beginGroup(kGroup);
  QStringList lines;
  for (const std::string& line : console.Screen().History().Lines()) {
    lines << QString::fromStdString(Cp1252ToUtf8(line));
  }
  settings.setValue(kHistory, lines);
  // The default size is not written, so that the system's font decides it again next time.
  if (console.Screen().FontHeight() == console.Screen().DefaultFontHeight()) {
    settings.remove(kFontHeight);
  } else {
    settings.setValue(kFontHeight, console.Screen().FontHeight());
  }
}

}  // namespace zelk

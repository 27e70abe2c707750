// SPDX-License-Identifier: MIT
#include "desktop/RecentFileList.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>

namespace zelk {
namespace {

const QString kGroup = QStringLiteral("Recent File List");

QString Key(int i) {
  return QStringLiteral("File%1").arg(i + 1);
}

}  // namespace

void RecentFileList::Load() {
  QSettings settings;
  settings.beginGroup(kGroup);
  m_files.clear();
  for (int i = 0; i < SIZE; ++i) {
    const QString name = settings.value(Key(i)).toString();
    if (!name.isEmpty() && !m_files.contains(name)) m_files << name;
  }
}

void RecentFileList::Save() const {
  QSettings settings;
  settings.beginGroup(kGroup);
  for (int i = 0; i < SIZE; ++i) {
    if (i < m_files.size()) {
      settings.setValue(Key(i), m_files[i]);
    } else {
      settings.remove(Key(i));
    }
  }
}

void RecentFileList::Add(const QString& fileName) {
  const QString path = QDir::cleanPath(QFileInfo(fileName).absoluteFilePath());
  m_files.removeAll(path);
  m_files.prepend(path);
  while (m_files.size() > SIZE) m_files.removeLast();
}

void RecentFileList::Remove(const QString& fileName) {
  m_files.removeAll(fileName);
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <QString>
#include <QStringList>

namespace zelk {

// The recent-file list: at most four names, the newest first, kept in the settings of the
// "Local AppWizard-Generated Applications" organisation under the application "Zelk".
class RecentFileList {
 public:
  static constexpr int SIZE = 4;

  // Reads the list from the settings.
  void Load();
  // Writes it back.
  void Save() const;
  // Puts the name at the top (moving it up when it is already listed), dropping the oldest.
  void Add(const QString& fileName);
  void Remove(const QString& fileName);

  const QStringList& Files() const { return m_files; }

 private:
  QStringList m_files;
};

}  // namespace zelk

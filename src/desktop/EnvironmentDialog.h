// SPDX-License-Identifier: MIT
#pragma once

#include <QDialog>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace zelk {

struct EnvironmentSettings;

// The Environment dialog: the settings except deathmatch and video, edited in one modal window.
// OK stores every field (the three directories by the directory rule); Cancel, Esc and the close
// box leave the settings untouched.
class CEnvironmentDialog final : public QDialog {
  Q_OBJECT

 public:
  CEnvironmentDialog(EnvironmentSettings& settings, QWidget* parent = nullptr);

  void accept() override;

 private:
  // Reads the fields into the settings; false (the settings untouched) when a directory has no
  // room for its final backslash.
  bool StoreSettings(QString* message);
  // The edit fields in the order of FormField, the check boxes in the order of FormToggle.
  QLineEdit* Field(int field) const;
  QCheckBox* Toggle(int toggle) const;

  EnvironmentSettings& m_settings;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  QCheckBox* m_god = nullptr;
  QCheckBox* m_noTarget = nullptr;
  QCheckBox* m_cheats = nullptr;
  QCheckBox* m_giveAll = nullptr;
  QCheckBox* m_disconnect = nullptr;
  QCheckBox* m_errorSound = nullptr;
  QLineEdit* m_quake2Dir = nullptr;
  QLineEdit* m_parameters = nullptr;
  QLineEdit* m_game = nullptr;
  QLineEdit* m_map = nullptr;
  QLineEdit* m_saveDir = nullptr;
  QLineEdit* m_loadDir = nullptr;
  QLineEdit* m_editor = nullptr;
};

}  // namespace zelk

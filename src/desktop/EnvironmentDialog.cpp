// SPDX-License-Identifier: MIT
#include "desktop/EnvironmentDialog.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <cstring>
#include <iterator>

#include "environment/EnvironmentForm.h"
#include "platform/Cp1252.h"
#include "desktop/DialogUnits.h"

namespace zelk {
namespace {

QString FromZelk(const std::string& text) {
  return QString::fromStdString(Cp1252ToUtf8(text));
}
std::string ToZelk(const QString& text) {
  return Utf8ToCp1252(text.toStdString());
}

// The typing limit of an edit field stops what the user types or pastes, never a stored value:
// a longer value (the game and map commands store long words) is shown and kept whole. Edits
// may shorten such a text; typing never makes it longer than the limit or than it was.
void SetStoredText(QLineEdit* edit, int limit, const QString& text) {
  edit->setMaxLength(std::max(limit, static_cast<int>(text.size())));
  edit->setText(text);
}

}  // namespace

CEnvironmentDialog::CEnvironmentDialog(EnvironmentSettings& settings, QWidget* parent)
    : QDialog(parent), m_settings(settings) {
  setWindowTitle(QStringLiteral("Environment"));
  setModal(true);
  setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  const DialogUnits du(font());
  setFixedSize(du.Size(279, 160));

  // The controls in template order, which is also the tab order.
  auto button = [&](const char* caption, QRect r) {
    auto* b = new QPushButton(QString::fromLatin1(caption), this);
    b->setGeometry(r);
    return b;
  };
  auto check = [&](const char* caption, QRect r) {
    auto* c = new QCheckBox(QString::fromLatin1(caption), this);
    // Fonts wider than the template's would cut the caption: the box grows to the right.
    r.setWidth(std::max(r.width(), c->sizeHint().width()));
    c->setGeometry(r);
    return c;
  };
  auto edit = [&](int limit, QRect r) {
    auto* e = new QLineEdit(this);
    e->setGeometry(r);
    e->setMaxLength(limit);
    connect(e, &QLineEdit::textEdited, e,
            [e, limit] { e->setMaxLength(std::max(limit, static_cast<int>(e->text().size()))); });
    return e;
  };
  auto label = [&](const char* caption, QRect r) {
    auto* l = new QLabel(QString::fromLatin1(caption), this);
    // Right-aligned: a caption wider than its place grows to the left.
    r.setLeft(std::max(0, std::min(r.left(), r.right() + 1 - l->sizeHint().width())));
    l->setGeometry(r);
    l->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    return l;
  };

  m_ok = button("OK", du.Rect(10, 140, 50, 14));
  m_ok->setDefault(true);
  m_cancel = button("Cancel", du.Rect(220, 140, 50, 14));
  auto* toggles = new QGroupBox(QStringLiteral("Toggles"), this);
  toggles->setGeometry(du.Rect(10, 110, 260, 25));
  m_god = check("&God", du.Rect(15, 120, 25, 10));
  m_noTarget = check("No &Target", du.Rect(55, 120, 45, 10));
  m_cheats = check("&Cheats", du.Rect(120, 120, 30, 10));
  m_giveAll = check("Give &All", du.Rect(170, 120, 35, 10));
  m_disconnect = check("D&isconnect", du.Rect(220, 120, 45, 10));
  m_quake2Dir = edit(FieldLimit(FIELD_QUAKE2_DIR), du.Rect(50, 5, 220, 10));
  label("Quake2 Dir :", du.Rect(5, 5, 40, 10));
  label("Parameters :", du.Rect(5, 20, 40, 10));
  m_parameters = edit(FieldLimit(FIELD_PARAMETERS), du.Rect(50, 20, 220, 10));
  label("Game :", du.Rect(15, 35, 30, 10));
  m_game = edit(FieldLimit(FIELD_GAME), du.Rect(50, 35, 70, 10));
  label("Map :", du.Rect(150, 35, 45, 10));
  m_map = edit(FieldLimit(FIELD_MAP), du.Rect(200, 35, 70, 10));
  label("Save Dir :", du.Rect(15, 50, 30, 10));
  label("Load Dir :", du.Rect(15, 65, 30, 10));
  m_saveDir = edit(FieldLimit(FIELD_SAVE_DIR), du.Rect(50, 50, 220, 10));
  m_loadDir = edit(FieldLimit(FIELD_LOAD_DIR), du.Rect(50, 65, 220, 10));
  label(".SCR Editor:", du.Rect(5, 80, 40, 10));
  m_editor = edit(FieldLimit(FIELD_EDITOR), du.Rect(50, 80, 220, 10));
  m_errorSound = check("&Play compile error sound", du.Rect(40, 95, 95, 10));

  // Each control is named by its template id (1 OK, 2 Cancel, 1000 to 1012), so that it can be
  // found as the template numbers it.
  const std::pair<QWidget*, int> ids[] = {
      {m_ok, 1},          {m_cancel, 2},      {m_god, 1000},       {m_noTarget, 1001},
      {m_cheats, 1002},   {m_giveAll, 1003},  {m_disconnect, 1004}, {m_quake2Dir, 1005},
      {m_parameters, 1006}, {m_game, 1007},   {m_map, 1008},       {m_saveDir, 1009},
      {m_loadDir, 1010},  {m_editor, 1011},   {m_errorSound, 1012}};
  for (const auto& [control, id] : ids) control->setObjectName(QString::number(id));

  // The group box stands behind the check boxes it frames.
  toggles->lower();
  const QWidget* chain[] = {m_ok,      m_cancel,     m_god,       m_noTarget,   m_cheats,
                            m_giveAll, m_disconnect, m_quake2Dir, m_parameters, m_game,
                            m_map,     m_saveDir,    m_loadDir,   m_editor,     m_errorSound};
  for (std::size_t i = 0; i + 1 < std::size(chain); ++i) {
    setTabOrder(const_cast<QWidget*>(chain[i]), const_cast<QWidget*>(chain[i + 1]));
  }
  connect(m_ok, &QPushButton::clicked, this, &CEnvironmentDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &CEnvironmentDialog::reject);

  // Any nonzero flag counts as on.
  const EnvironmentForm form = FormFromSettings(settings);
  for (int i = 0; i < TOGGLE_COUNT; ++i) Toggle(i)->setChecked(form.toggles[i]);
  for (int i = 0; i < FIELD_COUNT; ++i) {
    SetStoredText(Field(i), FieldLimit(static_cast<FormField>(i)), FromZelk(form.texts[i]));
  }
  m_ok->setFocus();
}

QLineEdit* CEnvironmentDialog::Field(int field) const {
  QLineEdit* const fields[FIELD_COUNT] = {m_quake2Dir, m_parameters, m_game,  m_map,
                                          m_saveDir,   m_loadDir,    m_editor};
  return fields[field];
}

QCheckBox* CEnvironmentDialog::Toggle(int toggle) const {
  QCheckBox* const toggles[TOGGLE_COUNT] = {m_god,     m_noTarget,   m_cheats,
                                            m_giveAll, m_disconnect, m_errorSound};
  return toggles[toggle];
}

bool CEnvironmentDialog::StoreSettings(QString* message) {
  EnvironmentForm form;
  for (int i = 0; i < TOGGLE_COUNT; ++i) form.toggles[i] = Toggle(i)->isChecked();
  for (int i = 0; i < FIELD_COUNT; ++i) form.texts[i] = ToZelk(Field(i)->text());
  FormField refused = FIELD_COUNT;
  std::string text;
  if (StoreForm(form, m_settings, refused, text)) return true;
  *message = QString::fromStdString(text);
  Field(refused)->setFocus();
  Field(refused)->selectAll();
  return false;
}

void CEnvironmentDialog::accept() {
  QString message;
  if (!StoreSettings(&message)) {
    QMessageBox::warning(this, QStringLiteral("Environment"), message);
    return;  // the dialog stays open
  }
  QDialog::accept();
}

}  // namespace zelk

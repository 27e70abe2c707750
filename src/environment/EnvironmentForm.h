// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <string>

#include "environment/EnvironmentSettings.h"

namespace zelk {

// The Environment dialog's fields, free of any window: what each window's dialog shows and what
// its OK stores. Both windows fill their controls from FormFromSettings and hand what the user
// left in them to StoreForm.
enum FormField : int {
  FIELD_QUAKE2_DIR,
  FIELD_PARAMETERS,
  FIELD_GAME,
  FIELD_MAP,
  FIELD_SAVE_DIR,
  FIELD_LOAD_DIR,
  FIELD_EDITOR,
  FIELD_COUNT,
};
enum FormToggle : int {
  TOGGLE_GOD,
  TOGGLE_NO_TARGET,
  TOGGLE_CHEATS,
  TOGGLE_GIVE_ALL,
  TOGGLE_DISCONNECT,
  TOGGLE_ERROR_SOUND,
  TOGGLE_COUNT,
};

struct EnvironmentForm {
  std::array<std::string, FIELD_COUNT> texts;  // Windows-1252
  std::array<bool, TOGGLE_COUNT> toggles{};
};

// The typing limit of each field: 32 for the game and the map, 255 for the rest.
int FieldLimit(FormField field);
// The caption that names a field in a message ("Quake2 Dir").
const char* FieldCaption(FormField field);

// The form as the settings fill it; any nonzero flag shows checked.
EnvironmentForm FormFromSettings(const EnvironmentSettings& settings);

// OK: stores every field and toggle (1 checked, 0 not), the directory rule applied to the three
// directories. A directory of 255 characters without a final backslash has no room for it: then
// nothing is stored, refused names that field and the text says why; false.
bool StoreForm(const EnvironmentForm& form, EnvironmentSettings& settings, FormField& refused,
               std::string& message);

}  // namespace zelk

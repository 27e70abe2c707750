// SPDX-License-Identifier: MIT
#include "environment/EnvironmentForm.h"

namespace zelk {

int FieldLimit(FormField field) {
  return field == FIELD_GAME || field == FIELD_MAP ? 32 : 255;
}

const char* FieldCaption(FormField field) {
  static constexpr const char* kCaptions[FIELD_COUNT] = {
      "Quake2 Dir", "Parameters", "Game", "Map", "Save Dir", "Load Dir", ".SCR Editor"};
  return kCaptions[field];
}

namespace {

// The settings each field and toggle stands for.
struct Bindings {
  std::array<std::string*, FIELD_COUNT> texts;
  std::array<std::int32_t*, TOGGLE_COUNT> toggles;
};

Bindings Bind(EnvironmentSettings& s) {
  return {{&s.quake2Dir, &s.parameters, &s.gameName, &s.mapName, &s.saveDir, &s.loadDir,
           &s.editorCommand},
          {&s.godOn, &s.noTargetOn, &s.cheatsOn, &s.giveAllOn, &s.disconnectOn, &s.errorSoundOn}};
}

bool IsDirectory(int field) {
  return field == FIELD_QUAKE2_DIR || field == FIELD_SAVE_DIR || field == FIELD_LOAD_DIR;
}

}  // namespace

EnvironmentForm FormFromSettings(const EnvironmentSettings& settings) {
  const Bindings bound = Bind(const_cast<EnvironmentSettings&>(settings));
  EnvironmentForm form;
  for (int i = 0; i < FIELD_COUNT; ++i) form.texts[i] = *bound.texts[i];
  for (int i = 0; i < TOGGLE_COUNT; ++i) form.toggles[i] = *bound.toggles[i] != 0;
  return form;
}

bool StoreForm(const EnvironmentForm& form, EnvironmentSettings& settings, FormField& refused,
               std::string& message) {
  // Every text is checked before anything is stored, so a refusal changes nothing.
  std::array<std::string, FIELD_COUNT> texts;
  for (int i = 0; i < FIELD_COUNT; ++i) {
    SetText(texts[i], form.texts[i]);
    if (IsDirectory(i) && !ApplyDirectoryRule(texts[i])) {
      refused = static_cast<FormField>(i);
      message = std::string(FieldCaption(refused)) +
                " has 255 characters and no room for the backslash that must end it.\n"
                "Shorten it, or end it with a backslash.";
      return false;
    }
  }
  const Bindings bound = Bind(settings);
  for (int i = 0; i < FIELD_COUNT; ++i) *bound.texts[i] = texts[i];
  for (int i = 0; i < TOGGLE_COUNT; ++i) *bound.toggles[i] = form.toggles[i] ? 1 : 0;
  return true;
}

}  // namespace zelk

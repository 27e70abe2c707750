#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace zelk {

constexpr std::size_t TEXT_SIZE = 256;  // 255 characters and a terminating zero
using SettingText = char[TEXT_SIZE];

// The environment settings. The field order is the byte order of the options file and may not be
// rearranged (the map comes before the game, cheats before god). Flags hold 0 or 1 when Zelk sets
// them; any nonzero value counts as on.
struct EnvironmentSettings {
  std::int32_t spare = 0;
  SettingText quake2Dir = {};
  SettingText parameters = {};
  SettingText mapName = {};
  SettingText gameName = {};
  std::int32_t cheatsOn = 0;
  std::int32_t godOn = 0;
  std::int32_t noTargetOn = 0;
  std::int32_t giveAllOn = 0;
  std::int32_t deathmatchValue = 0;
  std::int32_t disconnectOn = 0;
  std::int32_t videoMode = 0;
  SettingText saveDir = {};
  SettingText loadDir = {};
  SettingText editorCommand = {};
  std::int32_t errorSoundOn = 0;
};

constexpr std::size_t OPTIONS_IMAGE_SIZE = 1828;

// The settings as the options file holds them: 1828 bytes, little-endian, no gaps.
void WriteSettingsImage(const EnvironmentSettings& settings, unsigned char* image);
// Replaces the leading size bytes of the settings' image by the given bytes (at most 1828; the
// rest of the record keeps its values). A text field that holds no zero byte within its 256 bytes
// is cut to 255 characters.
void ReadSettingsImage(const unsigned char* image, std::size_t size, EnvironmentSettings& settings);

// Stores value in a text field: at most 255 characters, the rest of the field zero.
void SetText(SettingText& field, std::string_view value);

// The directory rule: a value that does not end in a backslash gets one. Returns false, leaving
// the field unchanged, when the field has no room left for it (255 characters already).
bool ApplyDirectoryRule(SettingText& field);

}  // namespace zelk

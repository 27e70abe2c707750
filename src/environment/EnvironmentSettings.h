// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace zelk {

// The most characters a setting's text holds: its field in the options file is 256 bytes with the
// terminating zero.
constexpr std::size_t TEXT_LIMIT = 255;

// The environment settings. Texts are Windows-1252 and hold at most 255 characters. The field
// order is the byte order of the options file (the map comes before the game, cheats before
// god). Flags hold 0 or 1 when Zelk sets them; any nonzero value counts as on.
struct EnvironmentSettings {
  std::int32_t spare = 0;
  std::string quake2Dir;
  std::string parameters;
  std::string mapName;
  std::string gameName;
  std::int32_t cheatsOn = 0;
  std::int32_t godOn = 0;
  std::int32_t noTargetOn = 0;
  std::int32_t giveAllOn = 0;
  std::int32_t deathmatchValue = 0;
  std::int32_t disconnectOn = 0;
  std::int32_t videoMode = 0;
  std::string saveDir;
  std::string loadDir;
  std::string editorCommand;
  std::int32_t errorSoundOn = 0;

  bool operator==(const EnvironmentSettings&) const = default;
};

constexpr std::size_t OPTIONS_IMAGE_SIZE = 1828;

// The options file as it was read. A text field of a file (one written by the Windows program, say)
// may hold bytes after its terminator; while the setting still holds the text that was read, they
// are written back as they were.
struct OptionsImage {
  std::array<unsigned char, OPTIONS_IMAGE_SIZE> bytes{};
  bool read = false;
};

// The settings as the options file holds them: 1828 bytes, little-endian, each text in a field of
// 256 bytes that is zero after the text (or as it was read, see OptionsImage).
void WriteSettingsImage(const EnvironmentSettings& settings, unsigned char* image,
                        const OptionsImage& asRead = {});
// Replaces the leading size bytes of the settings' image by the given bytes (at most 1828; the
// rest of the record keeps its values) and returns the image as read. A text field that holds no
// zero byte within its 256 bytes is cut to 255 characters.
OptionsImage ReadSettingsImage(const unsigned char* image, std::size_t size,
                               EnvironmentSettings& settings);

// Stores value in a text setting: the text before any NUL, at most 255 characters.
void SetText(std::string& field, std::string_view value);

// The directory rule: a value that does not end in a backslash gets one. Returns false, leaving
// the value unchanged, when it has no room left for it (255 characters already).
bool ApplyDirectoryRule(std::string& field);

}  // namespace zelk

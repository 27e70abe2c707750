#include "environment/EnvironmentSettings.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"

namespace zelk {
namespace {

// Visits every field in file order with its offset, so that writing and reading the image can
// never disagree about the layout.
template <typename Settings, typename IntVisitor, typename TextVisitor>
void VisitFields(Settings& s, IntVisitor onInt, TextVisitor onText) {
  onInt(0, s.spare);
  onText(4, s.quake2Dir);
  onText(260, s.parameters);
  onText(516, s.mapName);
  onText(772, s.gameName);
  onInt(1028, s.cheatsOn);
  onInt(1032, s.godOn);
  onInt(1036, s.noTargetOn);
  onInt(1040, s.giveAllOn);
  onInt(1044, s.deathmatchValue);
  onInt(1048, s.disconnectOn);
  onInt(1052, s.videoMode);
  onText(1056, s.saveDir);
  onText(1312, s.loadDir);
  onText(1568, s.editorCommand);
  onInt(1824, s.errorSoundOn);
}

}  // namespace

void WriteSettingsImage(const EnvironmentSettings& settings, unsigned char* image) {
  VisitFields(
      settings, [&](std::size_t offset, std::int32_t value) { PutInt32(image + offset, value); },
      [&](std::size_t offset, const SettingText& text) {
        std::memcpy(image + offset, text, TEXT_SIZE);
      });
}

void ReadSettingsImage(const unsigned char* data, std::size_t size,
                       EnvironmentSettings& settings) {
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(settings, image);
  std::memcpy(image, data, std::min(size, OPTIONS_IMAGE_SIZE));
  VisitFields(
      settings, [&](std::size_t offset, std::int32_t& value) { value = GetInt32(image + offset); },
      [&](std::size_t offset, SettingText& text) {
        std::memcpy(text, image + offset, TEXT_SIZE);
        text[TEXT_SIZE - 1] = '\0';
      });
}

void SetText(SettingText& field, std::string_view value) {
  const std::size_t length = std::min(value.size(), TEXT_SIZE - 1);
  std::memset(field, 0, TEXT_SIZE);
  std::memcpy(field, value.data(), length);
}

bool ApplyDirectoryRule(SettingText& field) {
  const std::size_t length = ::strnlen(field, TEXT_SIZE - 1);
  if (length > 0 && field[length - 1] == '\\') return true;
  if (length >= TEXT_SIZE - 1) return false;
  field[length] = '\\';
  field[length + 1] = '\0';
  return true;
}

}  // namespace zelk

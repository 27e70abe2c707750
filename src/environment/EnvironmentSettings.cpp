// SPDX-License-Identifier: MIT
#include "environment/EnvironmentSettings.h"

#include <algorithm>
#include <cstring>

#include "platform/LittleEndian.h"

namespace zelk {
namespace {

constexpr std::size_t kFieldSize = TEXT_LIMIT + 1;

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

std::string_view FieldText(const unsigned char* field) {
  const char* text = reinterpret_cast<const char*>(field);
  return {text, ::strnlen(text, TEXT_LIMIT)};
}

}  // namespace

void WriteSettingsImage(const EnvironmentSettings& settings, unsigned char* image,
                        const OptionsImage& asRead) {
  VisitFields(
      settings, [&](std::size_t offset, std::int32_t value) { PutInt32(image + offset, value); },
      [&](std::size_t offset, const std::string& text) {
        if (asRead.read && FieldText(asRead.bytes.data() + offset) == text) {
          std::memcpy(image + offset, asRead.bytes.data() + offset, kFieldSize);
          return;
        }
        std::memset(image + offset, 0, kFieldSize);
        std::memcpy(image + offset, text.data(), std::min(text.size(), TEXT_LIMIT));
      });
}

OptionsImage ReadSettingsImage(const unsigned char* data, std::size_t size,
                               EnvironmentSettings& settings) {
  OptionsImage image;
  WriteSettingsImage(settings, image.bytes.data());
  std::memcpy(image.bytes.data(), data, std::min(size, OPTIONS_IMAGE_SIZE));
  image.read = true;
  VisitFields(
      settings,
      [&](std::size_t offset, std::int32_t& value) { value = GetInt32(image.bytes.data() + offset); },
      [&](std::size_t offset, std::string& text) {
        // A field without a terminator is cut to 255 characters: its last byte becomes one.
        image.bytes[offset + TEXT_LIMIT] = 0;
        text.assign(FieldText(image.bytes.data() + offset));
      });
  return image;
}

void SetText(std::string& field, std::string_view value) {
  field.assign(value.substr(0, std::min(value.find('\0'), TEXT_LIMIT)));
}

bool ApplyDirectoryRule(std::string& field) {
  if (!field.empty() && field.back() == '\\') return true;
  if (field.size() >= TEXT_LIMIT) return false;
  field += '\\';
  return true;
}

}  // namespace zelk

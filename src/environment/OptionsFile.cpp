// SPDX-License-Identifier: MIT
#include "environment/OptionsFile.h"

#include "environment/EnvironmentSettings.h"
#include "platform/FileSystem.h"

namespace zelk {
namespace {

constexpr const char* kOptionsFileName = "zelk.cfg";

bool WriteImage(OutputFile& file, const unsigned char* image) {
  const bool written = file.Write(reinterpret_cast<const char*>(image), OPTIONS_IMAGE_SIZE);
  const bool closed = file.Close();
  return written && closed;
}

}  // namespace

std::string OptionsFileName(FileSystem& files, const std::string& startDir) {
  std::string name = files.FindIgnoringCase(startDir, kOptionsFileName);
  return name.empty() ? kOptionsFileName : name;
}

bool OptionsFileExists(FileSystem& files, const std::string& startDir) {
  return !files.FindIgnoringCase(startDir, kOptionsFileName).empty();
}

OptionsImage LoadOptions(FileSystem& files, const std::string& startDir,
                         EnvironmentSettings& settings) {
  const std::string name = files.FindIgnoringCase(startDir, kOptionsFileName);
  if (name.empty()) return {};
  auto file = files.OpenRead(JoinHostPath(startDir, name));
  if (!file) return {};
  unsigned char image[OPTIONS_IMAGE_SIZE];
  std::size_t size = 0;
  while (size < OPTIONS_IMAGE_SIZE) {
    const long long n =
        file->Read(reinterpret_cast<char*>(image) + size, OPTIONS_IMAGE_SIZE - size);
    if (n <= 0) break;
    size += static_cast<std::size_t>(n);
  }
  file->Close();
  return ReadSettingsImage(image, size, settings);
}

bool SaveOptions(FileSystem& files, const std::string& startDir,
                 const EnvironmentSettings& settings, const OptionsImage& asRead) {
  const std::string target = JoinHostPath(startDir, OptionsFileName(files, startDir));
  if (files.IsReadOnly(target)) return false;
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(settings, image, asRead);

  // Written beside the file and renamed over it, a failed save leaves the old file whole.
  const std::string temporary = target + ".new";
  if (auto file = files.Create(temporary)) {
    if (!WriteImage(*file, image) || !files.Rename(temporary, target)) {
      files.Remove(temporary);
      return false;
    }
    return true;
  }
  // A folder in which the user may write the options file but not create files (a shared folder
  // with a prepared options file): the file is written in place.
  auto file = files.Create(target);
  return file && WriteImage(*file, image);
}

std::string FinalSaveFailedText(FileSystem& files, const std::string& startDir) {
  return "zelk: cannot save the options file " +
         JoinHostPath(startDir, OptionsFileName(files, startDir)) +
         "; the settings changed in this run are lost\n";
}

}  // namespace zelk

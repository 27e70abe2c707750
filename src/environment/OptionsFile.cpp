// SPDX-License-Identifier: MIT
#include "environment/OptionsFile.h"

#include <cstring>

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

// Reads up to size bytes of a file; the count read, or -1 when it cannot be opened or read.
long long ReadStart(FileSystem& files, const std::string& path, unsigned char* bytes,
                    std::size_t size) {
  auto file = files.OpenRead(path);
  if (!file) return -1;
  std::size_t have = 0;
  while (have < size) {
    const long long n = file->Read(reinterpret_cast<char*>(bytes) + have, size - have);
    if (n < 0) return -1;
    if (n == 0) break;
    have += static_cast<std::size_t>(n);
  }
  file->Close();
  return static_cast<long long>(have);
}

// True when the file holds exactly the image, so that saving it again would change nothing.
bool HoldsImage(FileSystem& files, const std::string& path, const unsigned char* image) {
  unsigned char held[OPTIONS_IMAGE_SIZE + 1];
  return ReadStart(files, path, held, sizeof held) == OPTIONS_IMAGE_SIZE &&
         std::memcmp(held, image, OPTIONS_IMAGE_SIZE) == 0;
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
  unsigned char image[OPTIONS_IMAGE_SIZE];
  const long long size = ReadStart(files, JoinHostPath(startDir, name), image, sizeof image);
  if (size < 0) return {};
  return ReadSettingsImage(image, static_cast<std::size_t>(size), settings);
}

bool SaveOptions(FileSystem& files, const std::string& startDir,
                 const EnvironmentSettings& settings, const OptionsImage& asRead, SaveMode mode) {
  const std::string target = JoinHostPath(startDir, OptionsFileName(files, startDir));
  unsigned char image[OPTIONS_IMAGE_SIZE];
  WriteSettingsImage(settings, image, asRead);
  // Compared with the file as it is now, not as it was read at the start: another run may have
  // written it since.
  if (mode == SaveMode::WhenChanged && HoldsImage(files, target, image)) return true;
  if (files.IsReadOnly(target)) return false;

  // Written beside the file under a name of its own and renamed over it: a failed save leaves
  // the old file whole, and runs that save at the same time never take each other's file.
  std::string temporary;
  if (auto file = files.CreateTemporary(target, temporary)) {
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

// SPDX-License-Identifier: MIT
#pragma once

#include <string>

#include "environment/EnvironmentSettings.h"

namespace zelk {

class FileSystem;

// The options file, zelk.cfg in the start-up directory (a host path): the settings' 1828-byte
// image. An existing file whose name equals zelk.cfg ignoring case (the Windows program's
// Zelk.CFG) is the one read and written.

// Loads the options file into the settings and returns it as read (for the next save). A missing
// file leaves them as they are; a short file replaces only the leading bytes it holds.
OptionsImage LoadOptions(FileSystem& files, const std::string& startDir,
                         EnvironmentSettings& settings);

// When a save writes: always (the menu's Save Options), or only when the file does not already
// hold the settings' image byte for byte (the end of a run: a build that runs Zelk for every
// scene with the same settings then writes nothing).
enum class SaveMode { WhenChanged, Always };

// Saves the settings. The image is written to a temporary file of its own beside the options
// file and then renamed over it, so that a failed save never leaves a truncated or empty options
// file behind; where no temporary file can be created there, the options file is written in
// place. Returns false when anything failed; a read-only options file is not replaced.
bool SaveOptions(FileSystem& files, const std::string& startDir,
                 const EnvironmentSettings& settings, const OptionsImage& asRead = {},
                 SaveMode mode = SaveMode::WhenChanged);

// The options file's name in the start-up directory: the existing one, or zelk.cfg.
std::string OptionsFileName(FileSystem& files, const std::string& startDir);

// Whether the start-up directory holds an options file (under any letter case).
bool OptionsFileExists(FileSystem& files, const std::string& startDir);

// What the program writes to its error stream when the save at the end of the run failed.
std::string FinalSaveFailedText(FileSystem& files, const std::string& startDir);

}  // namespace zelk

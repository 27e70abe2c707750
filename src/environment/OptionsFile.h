#pragma once

#include <string>

namespace zelk {

class CZelkView;

// The options file, zelk.cfg in the start-up directory: the settings' 1828-byte image.

// Loads the options file into the settings. A missing file leaves them as they are; a short file
// replaces only the leading bytes it holds.
void LoadOptions(CZelkView& view);

// Saves the settings. The image is written to a temporary file beside the options file and then
// renamed over it, so that a failed save never leaves a truncated or empty options file behind;
// where no temporary file can be created there, the options file is written in place. Returns
// false when anything failed; a read-only options file is not replaced.
bool SaveOptions(CZelkView& view);

// What the program writes to its error stream when the save at the end of the run failed.
std::string FinalSaveFailedText(CZelkView& view);

// The Save Options command: saves and says where, or that it could not.
void OnSaveOptions(CZelkView& view);

// The options file of the start-up directory, as a host path.
std::string OptionsFilePath(CZelkView& view);

// The options file of the start-up directory, as messages show it ("<dir>\zelk.cfg").
std::string OptionsFileText(CZelkView& view);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <optional>
#include <string>

namespace zelk {

// Synchronous sound playback through libcanberra. Each call returns when the sound has ended, or
// at the latest a little after the time the sound lasts, so that a sound system that never
// reports the end cannot hang the program. Both return false when nothing could be played (no
// sound system, no device, an unreadable file, an unknown event): the caller then falls back.

// How long a wave file plays, from its header (nullopt when it is no readable wave file).
std::optional<std::chrono::milliseconds> WaveDuration(const std::string& hostPath);

bool PlayWaveFileSync(const std::string& hostPath);
// A sound of the desktop's sound theme, e.g. "dialog-error".
bool PlaySoundEventSync(const char* eventId);

}  // namespace zelk

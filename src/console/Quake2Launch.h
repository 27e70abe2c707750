// SPDX-License-Identifier: MIT
#pragma once

#include <string>

namespace zelk {

class CZelkView;
struct EnvironmentSettings;

// The program path and parameter text of a Quake2 launch, as Zelk texts.
struct Quake2CommandLine {
  std::string program;
  std::string parameters;
};

// "<quake2Dir>quake2.exe", and the parameters followed by +set game "<game>", +map <map> and
// +disconnect, each piece only when its setting is set.
Quake2CommandLine BuildQuake2CommandLine(const EnvironmentSettings& settings);

// Echoes the command line and starts Quake2 without waiting for it.
void LaunchQuake2(CZelkView& view);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace zelk {

class LineSink;
struct EnvironmentSettings;
struct ParsedStatement;

// What an environment command did, and what it leaves to its caller: the text colour belongs to
// the console and a compile to the compiler.
struct SettingOutcome {
  enum class Kind {
    Applied,  // the setting changed and its confirmation line is printed
    Refused,  // nothing changed; refusal says why, for the caller to print
    SetColor,  // sv_color: the console's text colour becomes color
    Compile,   // compile: the source named name is to be compiled
  };
  Kind kind = Kind::Applied;
  std::string refusal;
  std::int32_t color = 0;
  std::string name;
};

// Carries out the environment command of a well-formed line (word in token slot 0, value in slot
// 1) on the settings and prints its confirmation line.
SettingOutcome ApplySetting(const ParsedStatement& statement, EnvironmentSettings& settings,
                            LineSink& out);

// A setting line of a source that is checked rather than compiled: carries it out on settings
// that nothing else sees (a copy), printing nowhere, and returns why the compile would refuse it,
// or nothing. A compile line is refused with compileRefusal (a compile inside a compile).
std::optional<std::string> CheckSettingLine(const ParsedStatement& statement,
                                            EnvironmentSettings& scratch,
                                            const char* compileRefusal);

// The 14-line status listing of the settings.
void ShowStatus(const EnvironmentSettings& settings, LineSink& out);

}  // namespace zelk

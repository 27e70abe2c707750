// SPDX-License-Identifier: MIT
#include "environment/SettingCommands.h"

#include <string_view>

#include "environment/EnvironmentSettings.h"
#include "language/Converters.h"
#include "language/StatementParser.h"
#include "platform/LineSink.h"

namespace zelk {
namespace {

SettingOutcome Refused(std::string why) {
  SettingOutcome outcome;
  outcome.kind = SettingOutcome::Kind::Refused;
  outcome.refusal = std::move(why);
  return outcome;
}

// Stores a directory value; the directory rule gives it its final backslash. A value with no room
// left for the backslash is refused and the setting stays as it was.
bool SetDirectory(std::string& field, std::string_view value) {
  std::string candidate;
  SetText(candidate, value);
  if (!ApplyDirectoryRule(candidate)) return false;
  field = std::move(candidate);
  return true;
}

void Toggle(LineSink& out, std::int32_t& flag, const char* onLine, const char* offLine) {
  flag = flag != 0 ? 0 : 1;
  out.PrintLine(flag != 0 ? onLine : offLine);
}

const char* OnOff(std::int32_t flag) { return flag != 0 ? "ON" : "OFF"; }

}  // namespace

SettingOutcome ApplySetting(const ParsedStatement& statement, EnvironmentSettings& s,
                            LineSink& out) {
  const std::string_view word = statement.Token(0);
  const std::string_view value = statement.Token(1);
  const auto tooLong = [] {
    return Refused("Directory too long: no room for its final backslash. Nothing was changed.");
  };

  if (word == "sv_quake2_dir") {
    if (!SetDirectory(s.quake2Dir, value)) return tooLong();
    out.PrintFormat("Quake2 directory is now: %s", s.quake2Dir.c_str());
  } else if (word == "sv_save_dir") {
    if (!SetDirectory(s.saveDir, value)) return tooLong();
    out.PrintFormat("Saving directory is now: %s", s.saveDir.c_str());
  } else if (word == "sv_load_dir") {
    if (!SetDirectory(s.loadDir, value)) return tooLong();
    out.PrintFormat("Loading directory is now: %s", s.loadDir.c_str());
  } else if (word == "sv_params") {
    SetText(s.parameters, value);
    out.PrintFormat("Parameters are %s", s.parameters.c_str());
  } else if (word == "map") {
    SetText(s.mapName, value);
    out.PrintFormat("Map set to %s", s.mapName.c_str());
  } else if (word == "game") {
    SetText(s.gameName, value);
    out.PrintFormat("Game set to %s", s.gameName.c_str());
  } else if (word == "sv_editor") {
    SetText(s.editorCommand, value);
    out.PrintFormat(".SCR editor is now: %s", s.editorCommand.c_str());
  } else if (word == "deathmatch") {
    s.deathmatchValue = TextToInt(value);
    out.PrintFormat("Deathmatch set to %d", s.deathmatchValue);
  } else if (word == "video") {
    s.videoMode = TextToInt(value);
    out.PrintFormat("Video set to %d", s.videoMode);
  } else if (word == "cheats") {
    Toggle(out, s.cheatsOn, "Cheats mode on", "Cheats mode off");
  } else if (word == "god") {
    Toggle(out, s.godOn, "God mode on", "God mode off");
  } else if (word == "notarget") {
    Toggle(out, s.noTargetOn, "No Target on", "No Target off");
  } else if (word == "give_all") {
    Toggle(out, s.giveAllOn, "Give All on", "Give All off");
  } else if (word == "disconnect") {
    Toggle(out, s.disconnectOn, "Disconnect on", "Disconnect off");
  } else if (word == "sv_color") {
    SettingOutcome outcome;
    outcome.kind = SettingOutcome::Kind::SetColor;
    outcome.color = TextToInt(value);
    return outcome;
  } else if (word == "compile") {
    SettingOutcome outcome;
    outcome.kind = SettingOutcome::Kind::Compile;
    outcome.name = std::string(value);
    return outcome;
  }
  return {};
}

std::optional<std::string> CheckSettingLine(const ParsedStatement& statement,
                                            EnvironmentSettings& scratch,
                                            const char* compileRefusal) {
  NullLineSink nowhere;
  SettingOutcome outcome = ApplySetting(statement, scratch, nowhere);
  switch (outcome.kind) {
    case SettingOutcome::Kind::Refused:
      return std::move(outcome.refusal);
    case SettingOutcome::Kind::Compile:
      return std::string(compileRefusal);
    case SettingOutcome::Kind::Applied:
    case SettingOutcome::Kind::SetColor:
      break;
  }
  return std::nullopt;
}

void ShowStatus(const EnvironmentSettings& s, LineSink& out) {
  out.PrintFormat(" -> Quake Dir: %s", s.quake2Dir.c_str());
  out.PrintFormat(" -> Quake Parameters: %s", s.parameters.c_str());
  out.PrintFormat(" -> Quake Game: %s", s.gameName.c_str());
  out.PrintFormat(" -> Quake Map: %s", s.mapName.c_str());
  if (s.deathmatchValue != 0) {
    out.PrintFormat(" -> Deathmatch: %d", s.deathmatchValue);
  } else {
    out.PrintLine(" -> Deathmatch: OFF");
  }
  out.PrintFormat(" -> Video: %d", s.videoMode);
  out.PrintFormat(" -> Save Dir: %s", s.saveDir.c_str());
  out.PrintFormat(" -> Load Dir: %s", s.loadDir.c_str());
  out.PrintFormat(" -> .SCR Editor: %s", s.editorCommand.c_str());
  out.PrintFormat(" -> God Mode: %s", OnOff(s.godOn));
  out.PrintFormat(" -> Cheats: %s", OnOff(s.cheatsOn));
  out.PrintFormat(" -> No Target: %s", OnOff(s.noTargetOn));
  out.PrintFormat(" -> All Items: %s", OnOff(s.giveAllOn));
  out.PrintFormat(" -> Disconnect: %s", OnOff(s.disconnectOn));
}

}  // namespace zelk

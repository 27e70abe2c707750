#include "environment/SettingCommands.h"

#include <algorithm>
#include <string_view>

#include "command/Converters.h"
#include "compiler/CompileDriver.h"
#include "console/ZelkView.h"

namespace zelk {
namespace {

// Stores a directory value; the directory rule gives it its final backslash. A value with no room
// left for the backslash is refused and the setting stays as it was.
bool SetDirectory(CZelkDoc& doc, SettingText& field, const std::string& value) {
  SettingText candidate;
  SetText(candidate, value);
  if (!ApplyDirectoryRule(candidate)) {
    doc.PrintLine("Directory too long: no room for its final backslash. Nothing was changed.");
    return false;
  }
  std::copy(std::begin(candidate), std::end(candidate), std::begin(field));
  return true;
}

void Toggle(CZelkDoc& doc, std::int32_t& flag, const char* onLine, const char* offLine) {
  flag = flag != 0 ? 0 : 1;
  doc.PrintLine(flag != 0 ? onLine : offLine);
}

const char* OnOff(std::int32_t flag) { return flag != 0 ? "ON" : "OFF"; }

}  // namespace

bool ApplySetting(CZelkView& view) {
  CZelkDoc& doc = view.m_doc;
  EnvironmentSettings& s = doc.m_settings;
  const std::string_view word = view.m_parser.Token(0);
  const std::string& value = view.m_parser.Token(1);

  if (word == "sv_quake2_dir") {
    if (!SetDirectory(doc, s.quake2Dir, value)) return false;
    doc.PrintFormat("Quake2 directory is now: %s", s.quake2Dir);
  } else if (word == "sv_save_dir") {
    if (!SetDirectory(doc, s.saveDir, value)) return false;
    doc.PrintFormat("Saving directory is now: %s", s.saveDir);
  } else if (word == "sv_load_dir") {
    if (!SetDirectory(doc, s.loadDir, value)) return false;
    doc.PrintFormat("Loading directory is now: %s", s.loadDir);
  } else if (word == "sv_params") {
    SetText(s.parameters, value);
    doc.PrintFormat("Parameters are %s", s.parameters);
  } else if (word == "map") {
    SetText(s.mapName, value);
    doc.PrintFormat("Map set to %s", s.mapName);
  } else if (word == "game") {
    SetText(s.gameName, value);
    doc.PrintFormat("Game set to %s", s.gameName);
  } else if (word == "deathmatch") {
    s.deathmatchValue = TextToInt(value);
    doc.PrintFormat("Deathmatch set to %d", s.deathmatchValue);
  } else if (word == "video") {
    s.videoMode = TextToInt(value);
    doc.PrintFormat("Video set to %d", s.videoMode);
  } else if (word == "sv_editor") {
    SetText(s.editorCommand, value);
    doc.PrintFormat(".SCR editor is now: %s", s.editorCommand);
  } else if (word == "cheats") {
    Toggle(doc, s.cheatsOn, "Cheats mode on", "Cheats mode off");
  } else if (word == "god") {
    Toggle(doc, s.godOn, "God mode on", "God mode off");
  } else if (word == "notarget") {
    Toggle(doc, s.noTargetOn, "No Target on", "No Target off");
  } else if (word == "give_all") {
    Toggle(doc, s.giveAllOn, "Give All on", "Give All off");
  } else if (word == "disconnect") {
    Toggle(doc, s.disconnectOn, "Disconnect on", "Disconnect off");
  } else if (word == "sv_color") {
    doc.m_colorIntensity = TextToInt(value);  // shown at the next repaint; no line is written
  } else if (word == "compile") {
    return RunCompileCommand(view, value);
  }
  return true;
}

void ShowStatus(CZelkDoc& doc) {
  const EnvironmentSettings& s = doc.m_settings;
  doc.PrintFormat(" -> Quake Dir: %s", s.quake2Dir);
  doc.PrintFormat(" -> Quake Parameters: %s", s.parameters);
  doc.PrintFormat(" -> Quake Game: %s", s.gameName);
  doc.PrintFormat(" -> Quake Map: %s", s.mapName);
  if (s.deathmatchValue != 0) {
    doc.PrintFormat(" -> Deathmatch: %d", s.deathmatchValue);
  } else {
    doc.PrintLine(" -> Deathmatch: OFF");
  }
  doc.PrintFormat(" -> Video: %d", s.videoMode);
  doc.PrintFormat(" -> Save Dir: %s", s.saveDir);
  doc.PrintFormat(" -> Load Dir: %s", s.loadDir);
  doc.PrintFormat(" -> .SCR Editor: %s", s.editorCommand);
  doc.PrintFormat(" -> God Mode: %s", OnOff(s.godOn));
  doc.PrintFormat(" -> Cheats: %s", OnOff(s.cheatsOn));
  doc.PrintFormat(" -> No Target: %s", OnOff(s.noTargetOn));
  doc.PrintFormat(" -> All Items: %s", OnOff(s.giveAllOn));
  doc.PrintFormat(" -> Disconnect: %s", OnOff(s.disconnectOn));
}

}  // namespace zelk

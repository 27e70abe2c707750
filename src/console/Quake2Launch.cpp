// SPDX-License-Identifier: MIT
#include "console/Quake2Launch.h"

#include "console/ConsoleCommands.h"
#include "console/Platform.h"
#include "console/ZelkView.h"
#include "environment/EnvironmentSettings.h"

namespace zelk {

Quake2CommandLine BuildQuake2CommandLine(const EnvironmentSettings& s) {
  Quake2CommandLine line;
  line.program = s.quake2Dir + "quake2.exe";
  line.parameters = s.parameters;
  if (!s.gameName.empty()) line.parameters += " +set game \"" + s.gameName + "\"";
  if (!s.mapName.empty()) line.parameters += " +map " + s.mapName;
  if (s.disconnectOn != 0) line.parameters += " +disconnect";
  return line;
}

void LaunchQuake2(CZelkView& view) {
  const EnvironmentSettings& s = view.Doc().Settings();
  const Quake2CommandLine line = BuildQuake2CommandLine(s);
  view.Doc().PrintFormat(" -> %s %s", line.program.c_str(), line.parameters.c_str());

  FileSystem& files = view.Host().Files();
  std::string program = HostPath(line.program);
  // The Linux ports of Quake2 ship the program as "quake2" (on Windows the program file is
  // quake2.exe itself).
  if (!files.Exists(program)) {
    const std::string port = HostPath(s.quake2Dir + ProgramFileName("quake2"));
    if (files.Exists(port)) program = port;
  }
  // A bare name is looked for in the current directory first, then along PATH.
  if (program.find_first_of("/\\") == std::string::npos && files.Exists(program)) {
    program = "./" + program;
  }
  // The game gets the parameter text as the host passes it.
  StartProgramOrSay(view, {program, line.parameters, {}, HostPath(s.quake2Dir)});
}

}  // namespace zelk

#include "command/Quake2Launch.h"

#include "command/ConsoleCommands.h"
#include "console/ZelkView.h"
#include "platform/Cp1252.h"
#include "platform/Platform.h"

namespace zelk {

Quake2CommandLine BuildQuake2CommandLine(const EnvironmentSettings& s) {
  Quake2CommandLine line;
  line.program = std::string(s.quake2Dir) + "quake2.exe";
  line.parameters = s.parameters;
  if (s.gameName[0] != '\0') line.parameters += std::string(" +set game \"") + s.gameName + "\"";
  if (s.mapName[0] != '\0') line.parameters += std::string(" +map ") + s.mapName;
  if (s.disconnectOn != 0) line.parameters += " +disconnect";
  return line;
}

void LaunchQuake2(CZelkView& view) {
  const EnvironmentSettings& s = view.m_doc.m_settings;
  const Quake2CommandLine line = BuildQuake2CommandLine(s);
  view.m_doc.PrintFormat(" -> %s %s", line.program.c_str(), line.parameters.c_str());

  FileSystem& files = view.m_platform.Files();
  std::string program = HostPath(line.program);
  // The Linux ports of Quake2 ship the program as "quake2".
  if (!files.Exists(program)) {
    const std::string port = HostPath(std::string(s.quake2Dir) + "quake2");
    if (files.Exists(port)) program = port;
  }
  // A bare name is looked for in the current directory first, then along PATH.
  if (program.find('/') == std::string::npos && files.Exists(program)) program = "./" + program;
  // Split before the conversion to UTF-8 or after it alike: only blanks and tabs separate.
  std::vector<std::string> arguments = SplitCommand(line.parameters);
  for (std::string& argument : arguments) argument = Cp1252ToUtf8(argument);
  StartProgramOrSay(view, program, arguments, HostPath(s.quake2Dir));
}

}  // namespace zelk

#pragma once

#include <string>
#include <vector>

#include "platform/Platform.h"

namespace zelk {

// Starts program with the arguments in workingDir (the current directory when empty), detached:
// the new process is not our child and is never waited for. A program name without '/' is
// looked up in PATH; a relative path is taken from the current directory, before the new process
// changes into its working directory. Reports why the program could not be started (a failed
// look-up, change of directory or exec), with the system's text for the error.
StartResult StartDetachedProcess(const std::string& program,
                                 const std::vector<std::string>& arguments,
                                 const std::string& workingDir);

// The full path of an executable found in PATH ("" when none).
std::string FindInPath(const std::string& program);

}  // namespace zelk

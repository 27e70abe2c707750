#pragma once

#include <string>
#include <vector>

namespace zelk {

// Starts program (looked up in PATH when it holds no '/') with the arguments, in workingDir (the
// current directory when empty), detached: the new process is not our child and is never waited
// for. Returns false when the program could not be started.
bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingDir);

// The full path of an executable found in PATH ("" when none).
std::string FindInPath(const std::string& program);

}  // namespace zelk

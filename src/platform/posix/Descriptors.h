// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// What the POSIX twins share: file descriptors.
namespace zelk {

// Opens a file or a pipe for reading and returns its descriptor; -1 with the system's text for
// the error in reason (a directory is refused: "Is a directory").
int OpenForReading(const std::string& hostPath, std::string& reason);

}  // namespace zelk

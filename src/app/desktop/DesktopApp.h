#pragma once

namespace zelk {

struct CommandLine;

// Runs the desktop console until its window closes; returns the exit status.
int RunDesktop(int argc, char** argv, const CommandLine& line);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

namespace zelk {

// SIGTERM, SIGHUP and SIGINT (logging out of the desktop, closing the terminal, Ctrl+C) ask the
// program to end the normal way, so that the options file is saved at the end of the run as after
// exit; a second one ends the program at once.
//
// Installs the handlers (once; later calls do nothing). Blocking reads are not restarted after a
// stop signal, and the descriptor of StopSignalFd becomes readable, so that a wait for input or an
// event loop can notice the stop.
void InstallStopSignals();
// Puts the handlers back as they were before InstallStopSignals and forgets a stop.
void RemoveStopSignals();
// The signal that asked for the stop, or 0.
int StopSignal();
// The read end of the pipe that a stop signal writes one byte to; -1 when not installed.
int StopSignalFd();
// Ends the program by the stop signal, as if it had not been caught, so that a shell or a build
// tool sees how the run ended. Does nothing when no stop was asked.
void EndByStopSignal();

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>

namespace zelk {

// The stop notice: the host asks the program to end the normal way, so that the options file is
// saved at the end of the run as after exit; a second notice ends the program at once. On POSIX
// it is SIGTERM, SIGHUP or SIGINT (logging out of the desktop, closing the terminal, Ctrl+C); on
// Windows Ctrl+C, Ctrl+Break, closing the console window, logging off or shutting down.
//
// Installs the notice (once; later calls do nothing). A wait for input on the streams of
// Streams.h ends when the notice comes, and StopNoticeHandle becomes signalled, so that an event
// loop can notice the stop.
void InstallStopNotice();
// Puts the host's handling back as it was before InstallStopNotice and forgets a stop.
void RemoveStopNotice();
// What asked for the stop, in the host's terms (POSIX: the signal number; Windows: the console
// control event plus one), or 0 when nothing did.
int StopNotice();
// What an event loop waits on for the notice (POSIX: a descriptor that becomes readable; Windows:
// an event handle); -1 when not installed.
std::intptr_t StopNoticeHandle();
// Takes the notice off StopNoticeHandle, so that an event loop sees it once.
void AcknowledgeStopNotice();
// Ends the program as the stop notice would have without being handled, so that a shell or a
// build tool sees how the run ended. Does nothing when no stop was asked.
void EndByStopNotice();

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// What the Windows twins share: texts between UTF-8 (the host texts of Zelk) and UTF-16 (every
// call is the wide one, never the ANSI one, whose code page changes from machine to machine), and
// the system's words for an error.
namespace zelk::windows {

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);

// The system's text for an error code (FormatMessageW), without its closing full stop and line end.
std::string SystemErrorText(DWORD code);

// The errno value that stands for a Windows error code of the file calls, so that the file layer
// speaks of a missing file or a refused write in the same words on both hosts.
int ErrnoOf(DWORD code);

// A host path as the file calls take it: made full by GetFullPathNameW (which takes '/', relative
// parts and "..") and, when it is longer than the classic limit of 260 characters, put into the
// "\\?\" form that lifts the limit.
std::wstring FilePath(const std::string& hostPath);

// While one lives, the thread waits in a read that the stop notice cancels (CancelSynchronousIo);
// the reader looks at StopNotice after the read returns.
class BlockingRead {
 public:
  BlockingRead();
  ~BlockingRead();
  BlockingRead(const BlockingRead&) = delete;
  BlockingRead& operator=(const BlockingRead&) = delete;
};

}  // namespace zelk::windows

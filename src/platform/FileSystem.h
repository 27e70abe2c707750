// SPDX-License-Identifier: MIT
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

// The file layer. Zelk builds its paths as texts in its own form (Windows-1252 bytes, backslash
// separators, e.g. "c:\scripts\intro.scr"); HostPath turns such a text into the path the host
// file system uses. Every file the core reads or writes goes through FileSystem, so that tests can
// watch or fail any operation.
namespace zelk {

// Zelk path text to host path: the bytes become UTF-8 and the separators the host's (POSIX: every
// backslash becomes '/'; Windows: every '/' becomes a backslash).
std::string HostPath(std::string_view zelkPath);
// Host path to a Zelk text: UTF-8 to Windows-1252; separators are kept as they are.
std::string ZelkPathText(std::string_view hostPath);

class InputFile {
 public:
  virtual ~InputFile() = default;
  // Reads up to size bytes; returns the count, 0 at the end of the file, -1 on an error.
  virtual long long Read(char* buffer, std::size_t size) = 0;
  virtual bool Close() = 0;
};

class OutputFile {
 public:
  virtual ~OutputFile() = default;
  // Writes all size bytes or reports failure.
  virtual bool Write(const char* data, std::size_t size) = 0;
  virtual bool Seek(std::uint64_t offset) = 0;
  // Closing can report a failed write that the system had deferred.
  virtual bool Close() = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // nullptr when the file cannot be opened.
  virtual std::unique_ptr<InputFile> OpenRead(const std::string& hostPath) = 0;
  // Creates the file, or empties an existing one; nullptr when that fails.
  virtual std::unique_ptr<OutputFile> Create(const std::string& hostPath) = 0;
  // Creates a new file whose name is hostPath followed by a suffix of the host's choosing, only
  // where no file of that name exists (so that two programs never share it), and gives its path
  // in createdPath; nullptr when none can be created.
  virtual std::unique_ptr<OutputFile> CreateTemporary(const std::string& hostPath,
                                                      std::string& createdPath) = 0;
  // Moves from over to, replacing to atomically.
  virtual bool Rename(const std::string& from, const std::string& to) = 0;
  virtual bool Remove(const std::string& hostPath) = 0;
  virtual bool Exists(const std::string& hostPath) = 0;
  // True when the path names an existing file that is marked read-only (no write permission bit
  // at all), which Zelk honours even for a user who could write it anyway.
  virtual bool IsReadOnly(const std::string& hostPath) = 0;
  // The name of an entry of directory dir that equals name ignoring ASCII letter case ("" when
  // there is none). An exact match is preferred.
  virtual std::string FindIgnoringCase(const std::string& hostDir, const std::string& name) = 0;
};

// The real file system of the host (posix/Files.cpp, windows/Files.cpp).
std::unique_ptr<FileSystem> MakeHostFileSystem();

// Reads a whole file into bytes; false with the system's text for the error in reason (a
// directory is not a file to read: "Is a directory").
bool ReadWholeFile(const std::string& hostPath, std::string& bytes, std::string& reason);

// Why the file cannot be written, in the system's words ("Permission denied", "Is a directory"),
// found out without changing anything: the file a folder or marked read-only, the file or its
// folder not writable. When nothing of that stands in the way, the text of lastError (the errno
// value that the failed write left, 0 for none).
std::string WriteFailureReason(const std::string& hostPath, int lastError);

// Joins a host directory and a file name with one separator of the host's.
std::string JoinHostPath(const std::string& dir, const std::string& name);

// True when a host path names the same file whatever the current directory is.
bool IsAbsoluteHostPath(std::string_view hostPath);

// The host path of a file:// address, given its host part and its path, both percent-decoded
// (UTF-8): "" and "/home/me/intro.scr" on POSIX; "" and "/c:/scripts/intro.scr", or a server's
// name and the path of a share, on Windows. "" when it names no file of this host.
std::string HostPathOfFileUrl(std::string_view host, std::string_view path);

}  // namespace zelk

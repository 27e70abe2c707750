// SPDX-License-Identifier: MIT
#include <windows.h>

#include <cerrno>
#include <cstring>
#include <random>

#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/HostPath.h"
#include "platform/windows/Wide.h"

// The files of a Windows host: paths are UTF-8 texts with backslashes, opened with the wide calls
// (the "\\?\" form for long ones). Errors are told in the C runtime's words, as on POSIX.
namespace zelk {

using windows::ErrnoOf;
using windows::FilePath;

std::string HostPath(std::string_view zelkPath) {
  return HostPathOf(zelkPath, PathStyle::Windows);
}

std::string ZelkPathText(std::string_view hostPath) { return Utf8ToCp1252(hostPath); }

std::string JoinHostPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '\\' || dir.back() == '/') return dir + name;
  return dir + "\\" + name;
}

bool IsAbsoluteHostPath(std::string_view hostPath) {
  const auto separator = [](char c) { return c == '\\' || c == '/'; };
  if (hostPath.size() >= 2 && separator(hostPath[0]) && separator(hostPath[1])) return true;
  return hostPath.size() >= 3 && ((hostPath[0] | 0x20) >= 'a' && (hostPath[0] | 0x20) <= 'z') &&
         hostPath[1] == ':' && separator(hostPath[2]);
}

std::string HostPathOfFileUrl(std::string_view host, std::string_view path) {
  std::string hostPath;
  if (!host.empty() && host != "localhost") {
    hostPath = "\\\\" + std::string(host);  // a share of another machine: \\server\share
    hostPath += path;
  } else {
    // "/c:/scripts/intro.scr": the drive comes first.
    if (path.size() >= 3 && path[0] == '/' && path[2] == ':') path.remove_prefix(1);
    hostPath = path;
  }
  for (char& c : hostPath) {
    if (c == '/') c = '\\';
  }
  return IsAbsoluteHostPath(hostPath) ? hostPath : std::string();
}

namespace {

// The attributes of a path, or INVALID_FILE_ATTRIBUTES (errno set).
DWORD Attributes(const std::string& hostPath) {
  const DWORD attributes = ::GetFileAttributesW(FilePath(hostPath).c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) errno = ErrnoOf(::GetLastError());
  return attributes;
}

bool IsDirectory(DWORD attributes) {
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Opens for reading, sharing with every other reader and writer (as the C runtime does); a
// directory is refused.
HANDLE OpenReadHandle(const std::string& hostPath) {
  if (IsDirectory(Attributes(hostPath))) {
    errno = EISDIR;
    return INVALID_HANDLE_VALUE;
  }
  const HANDLE file = ::CreateFileW(FilePath(hostPath).c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) errno = ErrnoOf(::GetLastError());
  return file;
}

class WindowsInputFile final : public InputFile {
 public:
  explicit WindowsInputFile(HANDLE file) : m_file(file) {}
  ~WindowsInputFile() override { Close(); }

  long long Read(char* buffer, std::size_t size) override {
    DWORD n = 0;
    const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    if (!::ReadFile(m_file, buffer, want, &n, nullptr)) {
      errno = ErrnoOf(::GetLastError());
      return -1;
    }
    return n;
  }

  bool Close() override {
    if (m_file == INVALID_HANDLE_VALUE) return true;
    const bool closed = ::CloseHandle(m_file) != 0;
    m_file = INVALID_HANDLE_VALUE;
    return closed;
  }

 private:
  HANDLE m_file;
};

class WindowsOutputFile final : public OutputFile {
 public:
  explicit WindowsOutputFile(HANDLE file) : m_file(file) {}
  ~WindowsOutputFile() override { Close(); }

  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      DWORD n = 0;
      const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      if (!::WriteFile(m_file, data, want, &n, nullptr) || n == 0) {
        errno = ErrnoOf(::GetLastError());
        return false;
      }
      data += n;
      size -= n;
    }
    return true;
  }

  bool Seek(std::uint64_t offset) override {
    LARGE_INTEGER to;
    to.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(m_file, to, nullptr, FILE_BEGIN) != 0;
  }

  bool Close() override {
    if (m_file == INVALID_HANDLE_VALUE) return true;
    // The data reach the file before the name is given to it (the options file's replace).
    const bool flushed = ::FlushFileBuffers(m_file) != 0;
    const bool closed = ::CloseHandle(m_file) != 0;
    m_file = INVALID_HANDLE_VALUE;
    return flushed && closed;
  }

 private:
  HANDLE m_file;
};

HANDLE CreateWriteHandle(const std::string& hostPath, DWORD disposition) {
  const HANDLE file = ::CreateFileW(FilePath(hostPath).c_str(), GENERIC_WRITE, FILE_SHARE_READ,
                                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) errno = ErrnoOf(::GetLastError());
  return file;
}

class WindowsFileSystem final : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenRead(const std::string& hostPath) override {
    const HANDLE file = OpenReadHandle(hostPath);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsInputFile>(file);
  }

  std::unique_ptr<OutputFile> Create(const std::string& hostPath) override {
    if (IsReadOnly(hostPath)) {
      errno = EACCES;
      return nullptr;
    }
    const HANDLE file = CreateWriteHandle(hostPath, CREATE_ALWAYS);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    return std::make_unique<WindowsOutputFile>(file);
  }

  std::unique_ptr<OutputFile> CreateTemporary(const std::string& hostPath,
                                              std::string& createdPath) override {
    static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device entropy;
    std::minstd_rand pick(entropy());
    for (int attempt = 0; attempt < 100; ++attempt) {
      std::string path = hostPath + ".";
      for (int i = 0; i < 8; ++i) path += kLetters[pick() % (sizeof kLetters - 1)];
      const HANDLE file = CreateWriteHandle(path, CREATE_NEW);
      if (file != INVALID_HANDLE_VALUE) {
        createdPath = std::move(path);
        return std::make_unique<WindowsOutputFile>(file);
      }
      if (errno != EEXIST) return nullptr;
    }
    return nullptr;
  }

  bool Rename(const std::string& from, const std::string& to) override {
    // Replaces the file at once; another run that holds it open for reading (a sharing violation)
    // is waited for a little.
    const std::wstring source = FilePath(from);
    const std::wstring target = FilePath(to);
    for (int attempt = 0;; ++attempt) {
      if (::MoveFileExW(source.c_str(), target.c_str(),
                        MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        return true;
      }
      const DWORD error = ::GetLastError();
      if ((error != ERROR_SHARING_VIOLATION && error != ERROR_ACCESS_DENIED &&
           error != ERROR_LOCK_VIOLATION) ||
          attempt == 20) {
        errno = ErrnoOf(error);
        return false;
      }
      ::Sleep(50);
    }
  }

  bool Remove(const std::string& hostPath) override {
    if (::DeleteFileW(FilePath(hostPath).c_str())) return true;
    errno = ErrnoOf(::GetLastError());
    return false;
  }

  bool Exists(const std::string& hostPath) override {
    return Attributes(hostPath) != INVALID_FILE_ATTRIBUTES;
  }

  bool IsReadOnly(const std::string& hostPath) override {
    const DWORD attributes = Attributes(hostPath);
    return attributes != INVALID_FILE_ATTRIBUTES && !IsDirectory(attributes) &&
           (attributes & FILE_ATTRIBUTE_READONLY) != 0;
  }

  // Names do not distinguish letter case here: the file system finds the file itself.
  std::string FindIgnoringCase(const std::string& hostDir, const std::string& name) override {
    return Exists(JoinHostPath(hostDir, name)) ? name : std::string();
  }
};

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<WindowsFileSystem>(); }

bool ReadWholeFile(const std::string& hostPath, std::string& bytes, std::string& reason) {
  const HANDLE file = OpenReadHandle(hostPath);
  if (file == INVALID_HANDLE_VALUE) {
    reason = std::strerror(errno);
    return false;
  }
  WindowsInputFile input(file);
  bytes.clear();
  char chunk[1 << 16];
  for (;;) {
    const long long n = input.Read(chunk, sizeof chunk);
    if (n < 0) reason = std::strerror(errno);
    if (n <= 0) return n == 0;
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string WriteFailureReason(const std::string& hostPath, int lastError) {
  const DWORD attributes = Attributes(hostPath);
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (IsDirectory(attributes)) return std::strerror(EISDIR);
    if ((attributes & FILE_ATTRIBUTE_READONLY) != 0) return "the file is marked read-only";
    // Opened for writing, neither created nor emptied, the file is left as it was.
    const HANDLE file = CreateWriteHandle(hostPath, OPEN_EXISTING);
    if (file == INVALID_HANDLE_VALUE) return std::strerror(errno);
    ::CloseHandle(file);
  } else if (errno != ENOENT) {
    return std::strerror(errno);
  }
  return lastError != 0 ? std::strerror(lastError) : "the cause is not known";
}

}  // namespace zelk

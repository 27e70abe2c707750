// SPDX-License-Identifier: MIT
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <random>
#include <strings.h>

#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/HostPath.h"
#include "platform/posix/Descriptors.h"

// The files of a POSIX host: paths are UTF-8 with '/' between their parts.
namespace zelk {

std::string HostPath(std::string_view zelkPath) { return HostPathOf(zelkPath, PathStyle::Posix); }

std::string ZelkPathText(std::string_view hostPath) { return Utf8ToCp1252(hostPath); }

int OpenForReading(const std::string& hostPath, std::string& reason) {
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    reason = std::strerror(errno);
    return -1;
  }
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    reason = std::strerror(EISDIR);
    return -1;
  }
  return fd;
}

bool ReadWholeFile(const std::string& hostPath, std::string& bytes, std::string& reason) {
  const int fd = OpenForReading(hostPath, reason);
  if (fd < 0) return false;
  bytes.clear();
  char chunk[1 << 16];
  for (;;) {
    const ssize_t n = ::read(fd, chunk, sizeof chunk);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) reason = std::strerror(errno);
    if (n <= 0) {
      ::close(fd);
      return n == 0;
    }
    bytes.append(chunk, static_cast<std::size_t>(n));
  }
}

std::string WriteFailureReason(const std::string& hostPath, int lastError) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) == 0) {
    if (S_ISDIR(st.st_mode)) return std::strerror(EISDIR);
    if (S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0) return "the file is marked read-only";
    // Opened for writing, neither created nor emptied, the file is left as it was.
    const int fd = ::open(hostPath.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) return std::strerror(errno);
    ::close(fd);
  } else if (errno != ENOENT) {
    return std::strerror(errno);
  } else {
    // A file yet to be made: its folder must take it.
    const std::size_t slash = hostPath.rfind('/');
    const std::string dir = slash == std::string::npos ? "."
                            : slash == 0               ? "/"
                                                       : hostPath.substr(0, slash);
    if (::access(dir.c_str(), W_OK) != 0) return std::strerror(errno);
  }
  return lastError != 0 ? std::strerror(lastError) : "the cause is not known";
}

std::string JoinHostPath(const std::string& dir, const std::string& name) {
  if (dir.empty()) return name;
  if (dir.back() == '/') return dir + name;
  return dir + "/" + name;
}

bool IsAbsoluteHostPath(std::string_view hostPath) {
  return !hostPath.empty() && hostPath.front() == '/';
}

std::string HostPathOfFileUrl(std::string_view host, std::string_view path) {
  if (!(host.empty() || host == "localhost") || path.empty() || path.front() != '/') return {};
  return std::string(path);
}

namespace {

class PosixInputFile final : public InputFile {
 public:
  explicit PosixInputFile(int fd) : m_fd(fd) {}
  ~PosixInputFile() override { Close(); }

  long long Read(char* buffer, std::size_t size) override {
    for (;;) {
      const ssize_t n = ::read(m_fd, buffer, size);
      if (n >= 0) return n;
      if (errno != EINTR) return -1;
    }
  }

  bool Close() override {
    if (m_fd < 0) return true;
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0;
  }

 private:
  int m_fd;
};

class PosixOutputFile final : public OutputFile {
 public:
  explicit PosixOutputFile(int fd) : m_fd(fd) {}
  ~PosixOutputFile() override { Close(); }

  bool Write(const char* data, std::size_t size) override {
    while (size > 0) {
      const ssize_t n = ::write(m_fd, data, size);
      if (n < 0) {
        if (errno == EINTR) continue;
        return false;
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return true;
  }

  bool Seek(std::uint64_t offset) override {
    return ::lseek(m_fd, static_cast<off_t>(offset), SEEK_SET) == static_cast<off_t>(offset);
  }

  bool Close() override {
    if (m_fd < 0) return true;
    const int rc = ::close(m_fd);
    m_fd = -1;
    return rc == 0;
  }

 private:
  int m_fd;
};

class PosixFileSystem final : public FileSystem {
 public:
  std::unique_ptr<InputFile> OpenRead(const std::string& hostPath) override;
  std::unique_ptr<OutputFile> Create(const std::string& hostPath) override;
  std::unique_ptr<OutputFile> CreateTemporary(const std::string& hostPath,
                                              std::string& createdPath) override;
  bool Rename(const std::string& from, const std::string& to) override;
  bool Remove(const std::string& hostPath) override;
  bool Exists(const std::string& hostPath) override;
  bool IsReadOnly(const std::string& hostPath) override;
  std::string FindIgnoringCase(const std::string& hostDir, const std::string& name) override;
};

std::unique_ptr<InputFile> PosixFileSystem::OpenRead(const std::string& hostPath) {
  const int fd = ::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat st {};
  // A directory opens for reading on POSIX but is not a file.
  if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixInputFile>(fd);
}

std::unique_ptr<OutputFile> PosixFileSystem::Create(const std::string& hostPath) {
  if (IsReadOnly(hostPath)) return nullptr;
  const int fd = ::open(hostPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixOutputFile>(fd);
}

std::unique_ptr<OutputFile> PosixFileSystem::CreateTemporary(const std::string& hostPath,
                                                             std::string& createdPath) {
  // As mkstemp, but with the permissions that Create gives (the umask's), since the file takes
  // the place of one the user reads and edits.
  static constexpr char kLetters[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  std::random_device entropy;
  std::minstd_rand pick(entropy());
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string path = hostPath + ".";
    for (int i = 0; i < 8; ++i) path += kLetters[pick() % (sizeof kLetters - 1)];
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      createdPath = std::move(path);
      return std::make_unique<PosixOutputFile>(fd);
    }
    if (errno != EEXIST) return nullptr;
  }
  return nullptr;
}

bool PosixFileSystem::Rename(const std::string& from, const std::string& to) {
  return std::rename(from.c_str(), to.c_str()) == 0;
}

bool PosixFileSystem::Remove(const std::string& hostPath) {
  return ::unlink(hostPath.c_str()) == 0;
}

bool PosixFileSystem::Exists(const std::string& hostPath) {
  struct stat st {};
  return ::stat(hostPath.c_str(), &st) == 0;
}

bool PosixFileSystem::IsReadOnly(const std::string& hostPath) {
  struct stat st {};
  if (::stat(hostPath.c_str(), &st) != 0) return false;
  return S_ISREG(st.st_mode) && (st.st_mode & 0222) == 0;
}

std::string PosixFileSystem::FindIgnoringCase(const std::string& hostDir, const std::string& name) {
  const std::string exact = JoinHostPath(hostDir, name);
  struct stat st {};
  if (::stat(exact.c_str(), &st) == 0) return name;
  DIR* dir = ::opendir(hostDir.empty() ? "." : hostDir.c_str());
  if (dir == nullptr) return {};
  std::string found;
  while (const dirent* entry = ::readdir(dir)) {
    if (::strcasecmp(entry->d_name, name.c_str()) == 0) {
      found = entry->d_name;
      break;
    }
  }
  ::closedir(dir);
  return found;
}

}  // namespace

std::unique_ptr<FileSystem> MakeHostFileSystem() { return std::make_unique<PosixFileSystem>(); }

}  // namespace zelk

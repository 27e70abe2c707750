// SPDX-License-Identifier: MIT
#include "platform/Streams.h"

#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/StopNotice.h"
#include "platform/posix/Descriptors.h"

// The streams of a POSIX host: descriptors, read with poll so that a stop signal ends a wait.
namespace zelk {
namespace {

class DescriptorInput final : public InputStream {
 public:
  // owned: the descriptor is closed with the stream.
  DescriptorInput(int fd, bool owned) : m_fd(fd), m_owned(owned) {}
  ~DescriptorInput() override {
    if (m_owned) ::close(m_fd);
  }
  DescriptorInput(const DescriptorInput&) = delete;
  DescriptorInput& operator=(const DescriptorInput&) = delete;

  long long Read(char* buffer, std::size_t size) override {
    for (;;) {
      if (StopNotice() != 0) return READ_STOPPED;
      const int stopFd = static_cast<int>(StopNoticeHandle());
      pollfd fds[2] = {{m_fd, POLLIN, 0}, {stopFd, POLLIN, 0}};
      if (::poll(fds, stopFd >= 0 ? 2 : 1, -1) < 0) {
        if (errno == EINTR) continue;
        return READ_FAILED;
      }
      if (stopFd >= 0 && (fds[1].revents & POLLIN) != 0) return READ_STOPPED;
      const ssize_t n = ::read(m_fd, buffer, size);
      if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
      return n < 0 ? READ_FAILED : n;
    }
  }

 private:
  int m_fd;
  bool m_owned;
};

class DescriptorOutput final : public OutputStream {
 public:
  explicit DescriptorOutput(int fd) : m_fd(fd) {}

  bool Write(const char* data, std::size_t size) override {
    while (size > 0 && m_error == 0) {
      const ssize_t n = ::write(m_fd, data, size);
      if (n < 0) {
        if (errno != EINTR) m_error = errno;
        continue;
      }
      if (n == 0) {
        m_error = EIO;  // a write that takes nothing would never end
        continue;
      }
      data += n;
      size -= static_cast<std::size_t>(n);
    }
    return m_error == 0;
  }

  std::string ErrorText() const override { return std::strerror(m_error); }

 private:
  int m_fd;
  int m_error = 0;
};

}  // namespace

std::unique_ptr<InputStream> StandardInput() {
  return std::make_unique<DescriptorInput>(STDIN_FILENO, false);
}

std::unique_ptr<OutputStream> StandardOutput() {
  return std::make_unique<DescriptorOutput>(STDOUT_FILENO);
}

std::unique_ptr<OutputStream> StandardError() {
  return std::make_unique<DescriptorOutput>(STDERR_FILENO);
}

std::unique_ptr<InputStream> OpenInputStream(const std::string& hostPath, std::string& reason) {
  const int fd = OpenForReading(hostPath, reason);
  if (fd < 0) return nullptr;
  return std::make_unique<DescriptorInput>(fd, true);
}

ClosedPipeWritesFail::ClosedPipeWritesFail() { m_previous = std::signal(SIGPIPE, SIG_IGN); }
ClosedPipeWritesFail::~ClosedPipeWritesFail() { std::signal(SIGPIPE, m_previous); }

}  // namespace zelk

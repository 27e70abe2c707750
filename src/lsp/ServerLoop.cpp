// SPDX-License-Identifier: MIT
#include <poll.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <memory>
#include <ostream>

#include "lsp/LanguageServer.h"
#include "lsp/MessageReader.h"
#include "platform/StopSignals.h"

namespace zelk::lsp {
namespace {

// While the server runs, a client that goes away does not end the process by SIGPIPE: the
// failed write ends the server instead.
class IgnoredBrokenPipe {
 public:
  IgnoredBrokenPipe() { m_previous = std::signal(SIGPIPE, SIG_IGN); }
  ~IgnoredBrokenPipe() { std::signal(SIGPIPE, m_previous); }
  IgnoredBrokenPipe(const IgnoredBrokenPipe&) = delete;
  IgnoredBrokenPipe& operator=(const IgnoredBrokenPipe&) = delete;

 private:
  void (*m_previous)(int) = SIG_DFL;
};

}  // namespace

int RunLanguageServer(int in, std::ostream& out) {
  const IgnoredBrokenPipe ignored;
  bool broken = false;
  LanguageServer server([&](const std::string& body) {
    if (broken) return;
    out << FrameMessage(body);
    out.flush();
    broken = !out;
  });
  MessageReader reader;
  MessageReader::Event event;
  const int stopFd = StopSignalFd();
  constexpr std::size_t kChunk = 1 << 16;
  const std::unique_ptr<char[]> chunk(new char[kChunk]);
  while (!server.Exited() && !broken && StopSignal() == 0) {
    pollfd fds[2] = {{in, POLLIN, 0}, {stopFd, POLLIN, 0}};
    if (::poll(fds, stopFd >= 0 ? 2 : 1, -1) < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (stopFd >= 0 && (fds[1].revents & POLLIN) != 0) break;
    const ssize_t n = ::read(in, chunk.get(), kChunk);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0) break;
    reader.Feed(std::string_view(chunk.get(), static_cast<std::size_t>(n)));
    while (!server.Exited() && reader.Next(event)) {
      if (event.kind == MessageReader::Event::Kind::Message) {
        server.HandleMessage(event.body);
      } else {
        server.HandleUnreadable(event.detail);
      }
    }
  }
  return server.ExitStatus();
}

}  // namespace zelk::lsp

#include "platform/PosixProcess.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

namespace zelk {

std::string FindInPath(const std::string& program) {
  if (program.empty()) return {};
  if (program.find('/') != std::string::npos) return program;
  const char* path = std::getenv("PATH");
  std::string dirs = path != nullptr ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    const std::size_t end = std::min(dirs.find(':', start), dirs.size());
    // An empty entry of PATH means the current directory.
    std::string candidate = end == start ? std::string(1, '.') : dirs.substr(start, end - start);
    candidate += '/';
    candidate += program;
    if (::access(candidate.c_str(), X_OK) == 0) return candidate;
    start = end + 1;
  }
  return {};
}

bool StartDetachedProcess(const std::string& program, const std::vector<std::string>& arguments,
                          const std::string& workingDir) {
  if (program.empty()) return false;
  // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
  std::vector<std::string> argStrings;
  argStrings.push_back(program);
  argStrings.insert(argStrings.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  const std::string resolved = FindInPath(program);
  if (resolved.empty()) return false;

  // The grandchild reports a failed chdir or exec through a pipe that closes on a good exec.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  const pid_t child = ::fork();
  if (child < 0) {
    ::close(report[0]);
    ::close(report[1]);
    return false;
  }
  if (child == 0) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    ::close(report[0]);
    int error = 0;
    if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0) {
      error = errno;
    } else {
      ::execv(resolved.c_str(), argv.data());
      error = errno;
    }
    ssize_t ignored = ::write(report[1], &error, sizeof error);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int error = 0;
  ssize_t n;
  do {
    n = ::read(report[0], &error, sizeof error);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  return WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "platform/Process.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "platform/Cp1252.h"
#include "platform/FileSystem.h"

// Programs on a POSIX host: started by fork and exec, with their arguments split from the
// parameter text.
namespace zelk {

std::string ReadCurrentDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

std::string ExecutableDirectory() {
  std::vector<char> buffer(4096);
  for (;;) {
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < buffer.size()) {
      const std::string path(buffer.data(), static_cast<std::size_t>(n));
      return path.substr(0, path.rfind('/'));
    }
    if (buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

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

CommandText SplitProgramFromCommand(const std::string& command) {
  CommandText text;
  std::size_t pos = 0;
  if (!NextCommandArgument(command, pos, text.program)) return {};
  text.parameters = command.substr(pos);
  return text;
}

std::vector<std::string> RunArguments(int argc, char** argv) { return {argv, argv + argc}; }

bool IsRunnable(const std::string& hostPath) { return ::access(hostPath.c_str(), X_OK) == 0; }

std::string ProgramFileName(const std::string& name) { return name; }

StartResult StartDetachedProcess(const ProgramStart& start) {
  const std::string& program = start.program;
  const std::string& workingDir = start.workingDir;
  if (program.empty()) return StartResult::Failed(std::strerror(ENOENT));
  // Everything the child needs is prepared before fork: after it only async-signal-safe calls.
  // The parameter text is split on the settings' own bytes; each argument reaches the program
  // in UTF-8.
  std::vector<std::string> argStrings;
  argStrings.push_back(program);
  for (const std::string& argument : SplitCommand(start.parameters)) {
    argStrings.push_back(Cp1252ToUtf8(argument));
  }
  argStrings.insert(argStrings.end(), start.arguments.begin(), start.arguments.end());
  std::vector<char*> argv;
  for (std::string& arg : argStrings) argv.push_back(arg.data());
  argv.push_back(nullptr);
  std::string resolved = FindInPath(program);
  if (resolved.empty()) return StartResult::Failed(std::strerror(ENOENT));
  // The child changes its directory before the exec: a relative path must not follow it there.
  if (resolved.front() != '/') resolved = JoinHostPath(ReadCurrentDirectory(), resolved);
  // A missing program is the first thing to name, before its working directory.
  if (::access(resolved.c_str(), X_OK) != 0) return StartResult::Failed(std::strerror(errno));

  // The grandchild reports a failed chdir or exec through a pipe that closes on a good exec.
  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return StartResult::Failed(std::strerror(errno));
  const pid_t child = ::fork();
  if (child < 0) {
    const int error = errno;
    ::close(report[0]);
    ::close(report[1]);
    return StartResult::Failed(std::strerror(error));
  }
  if (child == 0) {
    ::setsid();
    const pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    ::close(report[0]);
    // What failed: 0 the change of directory, 1 the exec; then the error number.
    int failure[2] = {0, 0};
    if (!workingDir.empty() && ::chdir(workingDir.c_str()) != 0) {
      failure[1] = errno;
    } else {
      ::execv(resolved.c_str(), argv.data());
      failure[0] = 1;
      failure[1] = errno;
    }
    ssize_t ignored = ::write(report[1], failure, sizeof failure);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  int status = 0;
  while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
  }
  int failure[2] = {1, EIO};
  ssize_t n;
  do {
    n = ::read(report[0], failure, sizeof failure);
  } while (n < 0 && errno == EINTR);
  ::close(report[0]);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    return StartResult::Failed(std::strerror(EAGAIN));  // the intermediate process could not fork
  }
  if (n == 0) return {};
  const std::string reason = std::strerror(failure[1]);
  if (failure[0] == 0) return StartResult::Failed("cannot enter " + workingDir + ": " + reason);
  return StartResult::Failed(reason);
}

StartResult OpenWebPage(const std::string& url) {
  // xdg-open, the desktop's opener of addresses; the address arrives as one argument.
  StartResult result = StartDetachedProcess({"xdg-open", {}, {url}, {}});
  if (!result.started) result.reason = NO_PAGE_OPENER_REASON;
  return result;
}

StartResult HandOverTo(const std::string& program, char** argv) {
  // The same process goes on as the program: signals and the exit status reach it directly.
  argv[0] = const_cast<char*>(program.c_str());
  ::execv(program.c_str(), argv);
  return StartResult::Failed(std::strerror(errno));
}

}  // namespace zelk

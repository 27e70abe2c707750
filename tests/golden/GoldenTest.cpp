// SPDX-License-Identifier: MIT
// Golden-file replay: every case under cases/ runs the zelk binary once in a fresh start-up
// directory and compares its standard output, standard error, exit status and every file left in
// the directory with the recorded bytes. The compiled bytes of the generated sources of the
// decompiler's round trip are compared by their FNV-1a hashes with generated.fnv1a.
//
// With ZELK_GOLDEN_RECORD=1 in the environment the same runs write the expected outputs instead
// (record.sh).
#include <gtest/gtest.h>
#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "support/SourceGenerator.h"

namespace zelk::test {
namespace {

namespace fs = std::filesystem;

const fs::path kGoldenDir = ZELK_GOLDEN_DIR;
constexpr int kReportedDifferences = 10;

bool Recording() {
  const char* value = std::getenv("ZELK_GOLDEN_RECORD");
  return value != nullptr && std::strcmp(value, "1") == 0;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << bytes;
  ASSERT_TRUE(out.flush()) << "cannot write " << path;
}

// Every file under dir by its relative path, with its bytes; no files when dir does not exist.
std::map<std::string, std::string> Snapshot(const fs::path& dir) {
  std::map<std::string, std::string> files;
  if (!fs::is_directory(dir)) return files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(dir)) {
    if (entry.is_directory()) continue;
    const std::string name = entry.path().lexically_relative(dir).generic_string();
    files[name] = entry.is_regular_file() ? ReadFile(entry.path()) : "(not a regular file)";
  }
  return files;
}

struct RunResult {
  std::string out;
  std::string err;
  std::string status;  // "0\n", or how the run ended otherwise
};

// A scratch tree for one run: run/ is the start-up directory, home/ the home directory, and bin/
// the only directory on PATH, holding a stand-in xdg-open that exits at once, so that `home`
// behaves alike on every machine.
class Sandbox {
 public:
  Sandbox() {
#ifdef _WIN32
    for (unsigned n = ::GetCurrentProcessId() * 1000u;; ++n) {
      m_root = fs::temp_directory_path() / ("zelk-golden-" + std::to_string(n));
      if (fs::create_directory(m_root)) break;
    }
#else
    std::string pattern = (fs::temp_directory_path() / "zelk-golden-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    m_root = pattern;
#endif
    fs::create_directories(Dir());
    fs::create_directories(m_root / "home");
    WriteFile(m_root / "bin" / "xdg-open", "#!/bin/sh\nexit 0\n");
    fs::permissions(m_root / "bin" / "xdg-open", fs::perms::owner_all);
  }
  ~Sandbox() {
    std::error_code ignored;
    fs::remove_all(m_root, ignored);
  }
  Sandbox(const Sandbox&) = delete;
  Sandbox& operator=(const Sandbox&) = delete;

  fs::path Dir() const { return m_root / "run"; }

  // Runs zelk with args in Dir(), input as its standard input, and a controlled environment.
  RunResult Zelk(const std::vector<std::string>& args, const std::string& input) const {
    WriteFile(m_root / "stdin", input);
#ifdef _WIN32
    return ZelkOnWindows(args);
#else
    std::vector<std::string> env = {"PATH=" + (m_root / "bin").string(),
                                    "HOME=" + (m_root / "home").string(), "LC_ALL=C"};
    for (const char* name : {"ASAN_OPTIONS", "UBSAN_OPTIONS", "LSAN_OPTIONS"}) {
      if (const char* value = std::getenv(name)) env.push_back(std::string(name) + "=" + value);
    }
    std::vector<std::string> argStrings = {ZELK_BINARY};
    argStrings.insert(argStrings.end(), args.begin(), args.end());
    std::vector<char*> argv;
    std::vector<char*> envp;
    for (std::string& arg : argStrings) argv.push_back(arg.data());
    for (std::string& entry : env) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const std::string dir = Dir().string();
    const std::string in = (m_root / "stdin").string();
    const std::string out = (m_root / "stdout").string();
    const std::string err = (m_root / "stderr").string();

    const pid_t child = ::fork();
    if (child == 0) {
      const int inFd = ::open(in.c_str(), O_RDONLY);
      const int outFd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      const int errFd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
      if (inFd < 0 || outFd < 0 || errFd < 0 || ::dup2(inFd, 0) < 0 || ::dup2(outFd, 1) < 0 ||
          ::dup2(errFd, 2) < 0 || ::chdir(dir.c_str()) != 0) {
        ::_exit(126);
      }
      ::execve(argv[0], argv.data(), envp.data());
      ::_exit(127);
    }
    RunResult run;
    if (child < 0) {
      run.status = "fork failed\n";
      return run;
    }
    // A run that hangs fails its case instead of holding up the whole suite.
    int raw = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (::waitpid(child, &raw, WNOHANG) == 0) {
      if (std::chrono::steady_clock::now() > deadline) {
        ::kill(child, SIGKILL);
        ::waitpid(child, &raw, 0);
        break;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    run.status = WIFEXITED(raw)     ? std::to_string(WEXITSTATUS(raw)) + "\n"
                 : WIFSIGNALED(raw) ? "killed by signal " + std::to_string(WTERMSIG(raw)) + "\n"
                                    : "unknown end\n";
    // A message that names a file by its full path names the start-up directory, which differs
    // from run to run; --version names the version.
    run.out = Placeholder(ReadFile(out));
    run.err = Placeholder(ReadFile(err));
    return run;
#endif
  }

 private:
#ifdef _WIN32
  // The arguments quoted by the rules of CommandLineToArgvW; the files inherited as the standard
  // handles.
  RunResult ZelkOnWindows(const std::vector<std::string>& args) const {
    const auto quote = [](const std::string& arg) {
      if (!arg.empty() && arg.find_first_of(" \t\"") == std::string::npos) return arg;
      std::string quoted = "\"";
      std::size_t backslashes = 0;
      for (const char c : arg) {
        if (c == '\\') {
          ++backslashes;
          continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
      }
      return quoted.append(backslashes * 2, '\\') + "\"";
    };
    std::string line = quote(ZELK_BINARY);
    for (const std::string& arg : args) line += " " + quote(arg);
    const auto wide = [](const std::string& utf8) {
      std::wstring text(utf8.size(), L'\0');
      text.resize(static_cast<std::size_t>(::MultiByteToWideChar(
          CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(),
          static_cast<int>(text.size()))));
      return text;
    };
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const auto open = [&](const char* name, bool write) {
      return ::CreateFileW((m_root / name).wstring().c_str(), write ? GENERIC_WRITE : GENERIC_READ,
                           FILE_SHARE_READ, &inherit, write ? CREATE_ALWAYS : OPEN_EXISTING, 0,
                           nullptr);
    };
    const HANDLE in = open("stdin", false);
    const HANDLE out = open("stdout", true);
    const HANDLE err = open("stderr", true);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = in;
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    std::wstring commandLine = wide(line);
    RunResult run;
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                          Dir().wstring().c_str(), &startup, &process)) {
      run.status = "cannot start\n";
    } else {
      DWORD status = 0;
      if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0) {
        ::TerminateProcess(process.hProcess, 9);
      }
      ::GetExitCodeProcess(process.hProcess, &status);
      ::CloseHandle(process.hThread);
      ::CloseHandle(process.hProcess);
      run.status = std::to_string(status) + "\n";
    }
    for (const HANDLE handle : {in, out, err}) ::CloseHandle(handle);
    run.out = Placeholder(ReadFile(m_root / "stdout"));
    run.err = Placeholder(ReadFile(m_root / "stderr"));
    return run;
  }
#endif

  // The start-up directory and the program's version stand as $STARTDIR and $VERSION.
  std::string Placeholder(std::string text) const {
    const std::pair<std::string, std::string> words[] = {{Dir().string(), "$STARTDIR"},
                                                         {"zelk " ZELK_VERSION, "zelk $VERSION"}};
    for (const auto& [word, placeholder] : words) {
      for (std::size_t at = 0; (at = text.find(word, at)) != std::string::npos;) {
        text.replace(at, word.size(), placeholder);
      }
    }
    return text;
  }

  fs::path m_root;
};

// One line of text for a failure message: control characters as \xNN, at most 300 characters.
std::string Visible(const std::string& line) {
  std::string text;
  for (const char c : line.substr(0, 300)) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 32 || byte == 127) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      text += escaped;
    } else {
      text += c;
    }
  }
  return line.size() > 300 ? text + "..." : text;
}

// Where two byte strings first differ: the first differing lines of a text (up to three from
// each), or the first differing byte offset of binary data. Empty when they are equal.
std::string Difference(const std::string& expected, const std::string& actual) {
  if (expected == actual) return {};
  const std::size_t at = static_cast<std::size_t>(
      std::mismatch(
          expected.begin(),
          expected.begin() + static_cast<std::ptrdiff_t>(std::min(expected.size(), actual.size())),
          actual.begin())
          .first -
      expected.begin());
  std::ostringstream text;
  if (expected.find('\0') != std::string::npos || actual.find('\0') != std::string::npos) {
    auto byteAt = [at](const std::string& bytes) {
      if (at >= bytes.size()) return std::string("the end");
      char hex[8];
      std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned char>(bytes[at]));
      return std::string(hex);
    };
    text << "first difference at byte offset " << at << ": expected " << byteAt(expected)
         << ", actual " << byteAt(actual) << " (sizes " << expected.size() << " and "
         << actual.size() << ")";
    return text.str();
  }
  const std::size_t lineStart = at == 0 ? 0 : expected.rfind('\n', at - 1) + 1;
  const long lineNumber =
      std::count(expected.begin(), expected.begin() + static_cast<std::ptrdiff_t>(lineStart),
                 '\n') +
      1;
  text << "first difference at line " << lineNumber << ":";
  for (const auto& [label, bytes] :
       {std::pair{"expected", &expected}, std::pair{"actual  ", &actual}}) {
    std::istringstream rest(bytes->substr(lineStart));
    std::string line;
    for (int i = 0; i < 3 && std::getline(rest, line); ++i)
      text << "\n  " << label << " | " << Visible(line);
    if (lineStart >= bytes->size()) text << "\n  " << label << " | (end of output)";
  }
  return text.str();
}

// Compares two sets of named contents; fails with the first few differences.
void ExpectSame(const std::map<std::string, std::string>& expected,
                const std::map<std::string, std::string>& actual,
                std::string (*describe)(const std::string&, const std::string&)) {
  std::set<std::string> names;
  for (const auto& entry : expected) names.insert(entry.first);
  for (const auto& entry : actual) names.insert(entry.first);
  int reported = 0;
  for (const std::string& name : names) {
    const auto want = expected.find(name);
    const auto got = actual.find(name);
    std::string problem;
    if (want == expected.end()) {
      problem = "left by the run but not recorded";
    } else if (got == actual.end()) {
      problem = "recorded but not left by the run";
    } else {
      problem = describe(want->second, got->second);
    }
    if (problem.empty()) continue;
    if (++reported > kReportedDifferences) {
      ADD_FAILURE() << "and more differences";
      return;
    }
    ADD_FAILURE() << name << ": " << problem;
  }
}

std::vector<std::string> ReadArguments(const fs::path& path) {
  std::vector<std::string> args;
  std::istringstream lines(ReadFile(path));
  for (std::string line; std::getline(lines, line);) args.push_back(line);
  return args;
}

std::vector<std::string> CaseNames() {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(kGoldenDir / "cases")) {
    if (entry.is_directory()) names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

class Golden : public testing::TestWithParam<std::string> {};

TEST_P(Golden, Replay) {
#ifdef _WIN32
  // Where Windows words it otherwise: a failed start says why in the system's text
  // (FormatMessageW), the stand-in game is a shell script, and home opens the language
  // reference, which the Windows build does not carry yet.
  static const std::set<std::string> kHostWorded = {
      "console-home", "console-quake2-words", "options-full-file-with-odd-values",
      "quake2-all-settings-empty", "quake2-directory-without-game", "quake2-stand-in-game",
      "setting-long-values", "setting-percent-in-values"};
  if (kHostWorded.count(GetParam()) != 0) GTEST_SKIP() << "worded by the host";
#endif
  const fs::path dir = kGoldenDir / "cases" / GetParam();
  Sandbox box;
  if (fs::exists(dir / "setup")) fs::copy(dir / "setup", box.Dir(), fs::copy_options::recursive);
  const RunResult run = box.Zelk(ReadArguments(dir / "args"), ReadFile(dir / "stdin"));
  std::map<std::string, std::string> outputs = {
      {"stdout", run.out}, {"stderr", run.err}, {"status", run.status}};
  for (const auto& [name, bytes] : Snapshot(box.Dir())) outputs["files/" + name] = bytes;

  const fs::path expected = dir / "expected";
  if (Recording()) {
    fs::remove_all(expected);
    for (const auto& [name, bytes] : outputs) WriteFile(expected / name, bytes);
    return;
  }
  ASSERT_TRUE(fs::exists(expected)) << "not recorded yet: run tests/golden/record.sh BUILD_DIR";
  std::map<std::string, std::string> recorded = Snapshot(expected);
#ifdef _WIN32
  // Standard error names files by their host paths for editors and build tools, which on Windows
  // take backslashes; the recording has the POSIX host's slashes. Both sides are compared with
  // one separator.
  for (auto* side : {&recorded, &outputs}) {
    auto& err = (*side)["stderr"];
    std::replace(err.begin(), err.end(), '\\', '/');
  }
#endif
  ExpectSame(recorded, outputs, Difference);
}

INSTANTIATE_TEST_SUITE_P(Cases, Golden, testing::ValuesIn(CaseNames()),
                         [](const testing::TestParamInfo<std::string>& info) {
                           std::string name = info.param;
                           for (char& c : name) {
                             if (!std::isalnum(static_cast<unsigned char>(c))) c = '_';
                           }
                           return name;
                         });

std::string Fnv1a(const std::string& bytes) {
  std::uint64_t hash = 14695981039346656037ull;
  for (const char c : bytes) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ull;
  }
  char text[17];
  std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
  return text;
}

std::string HashDifference(const std::string& expected, const std::string& actual) {
  return expected == actual ? std::string() : "recorded " + expected + ", now " + actual;
}

// The 300 generated sources of the decompiler's round trip, compiled in one batch run.
TEST(Generated, CompiledBytesOfTheRoundTripSources) {
  Sandbox box;
  fs::create_directories(box.Dir() / "out");
  std::string input = "sv_load_dir = \"src\";\nsv_save_dir = \"out\";\n";
  for (unsigned seed = 1; seed <= 300; ++seed) {
    char name[16];
    std::snprintf(name, sizeof name, "g%03u", seed);
    WriteFile(box.Dir() / "src" / (std::string(name) + ".scr"), SourceGenerator(seed).Source());
    input += std::string("compile ") + name + "\n";
  }
  const RunResult run = box.Zelk({"--batch"}, input);
  std::map<std::string, std::string> hashes = {
      {"stdout", Fnv1a(run.out)},
      {"stderr", Fnv1a(run.err)},
      {"status", run.status.substr(0, run.status.find('\n'))}};
  for (const auto& [name, bytes] : Snapshot(box.Dir())) hashes["files/" + name] = Fnv1a(bytes);

  const fs::path list = kGoldenDir / "generated.fnv1a";
  if (Recording()) {
    std::string text =
        "# The batch run that compiles the generated sources: its exit status and the 64-bit\n"
        "# FNV-1a hashes of its output and of every file it leaves. Written by record.sh.\n";
    for (const auto& [name, hash] : hashes) text += name + " " + hash + "\n";
    WriteFile(list, text);
    return;
  }
  std::map<std::string, std::string> recorded;
  std::istringstream lines(ReadFile(list));
  for (std::string line; std::getline(lines, line);) {
    const std::size_t blank = line.find(' ');
    if (line.empty() || line[0] == '#' || blank == std::string::npos) continue;
    recorded[line.substr(0, blank)] = line.substr(blank + 1);
  }
  // The sources are listed too: a differing source means that the generator changed, not the
  // compiler.
  ExpectSame(recorded, hashes, HashDifference);
}

}  // namespace
}  // namespace zelk::test

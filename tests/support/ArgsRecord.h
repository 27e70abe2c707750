// SPDX-License-Identifier: MIT
#pragma once

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#endif

namespace zelk::test {

// What the stand-in program (ArgsRecorder) received.
struct ArgsRecord {
  std::string workingDir;
  std::vector<std::string> arguments;
};

// Points the stand-in at the record file (the started program inherits the environment).
inline void RecordArgumentsTo(const std::string& path) {
#ifdef _WIN32
  // The C runtime's copy for getenv, the process's for the programs it starts.
  ::_putenv_s("ZELK_ARGS_RECORD", path.c_str());
  ::SetEnvironmentVariableA("ZELK_ARGS_RECORD", path.c_str());
#else
  ::setenv("ZELK_ARGS_RECORD", path.c_str(), 1);
#endif
}

// Waits for the started program to write its record. The wait only bounds a start that never
// happens; the started program is not timed. The record appears whole, but on Windows (and Wine)
// a file that has just been renamed into place can refuse a reader for a moment, so a record that
// cannot be read yet is read again until the wait ends.
inline std::optional<ArgsRecord> WaitForRecord(const std::string& path,
                                               const std::function<void()>& pump = {}) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  for (;;) {
    if (std::filesystem::exists(path)) {
      std::ifstream in(path, std::ios::binary);
      const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      std::vector<std::string> parts;
      std::size_t start = 0;
      for (std::size_t zero; (zero = bytes.find('\0', start)) != std::string::npos; start = zero + 1) {
        parts.push_back(bytes.substr(start, zero - start));
      }
      if (!parts.empty()) return ArgsRecord{parts.front(), {parts.begin() + 1, parts.end()}};
    }
    if (std::chrono::steady_clock::now() > deadline) return std::nullopt;
    if (pump) pump();
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
}

// Puts the stand-in program into dir under the given name.
inline void InstallStandIn(const std::string& dir, const std::string& name) {
  std::filesystem::copy_file(ZELK_ARGS_RECORDER, dir + "/" + name,
                             std::filesystem::copy_options::overwrite_existing);
}

}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#ifndef _WIN32
#include <stdlib.h>
#endif

namespace zelk::test {

// A fresh directory for one test, removed with everything in it afterwards.
class TempDir {
 public:
  TempDir() {
#ifdef _WIN32
    // A name nobody else holds: create_directory fails on one that exists.
    std::random_device entropy;
    for (;;) {
      const std::filesystem::path path =
          std::filesystem::temp_directory_path() / ("zelk-test-" + std::to_string(entropy()));
      if (std::filesystem::create_directory(path)) {
        m_path = path.string();
        break;
      }
    }
#else
    std::string pattern = (std::filesystem::temp_directory_path() / "zelk-test-XXXXXX").string();
    m_path = ::mkdtemp(pattern.data());
#endif
  }
  ~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return m_path; }
  std::string File(const std::string& name) const { return m_path + "/" + name; }

  void Write(const std::string& name, const std::string& bytes) const {
    std::ofstream(File(name), std::ios::binary) << bytes;
  }
  std::string Read(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }
  bool Exists(const std::string& name) const { return std::filesystem::exists(File(name)); }

 private:
  std::string m_path;
};

}  // namespace zelk::test

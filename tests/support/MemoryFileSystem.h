// SPDX-License-Identifier: MIT
#pragma once

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace zelk::test {

// Paths in either separator name the same file: tests write '/', a Windows host '\\'.
struct SamePath {
  static char Separated(char c) { return c == '\\' ? '/' : c; }
  bool operator()(const std::string& a, const std::string& b) const {
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                        [](char x, char y) { return Separated(x) < Separated(y); });
  }
  bool Equal(const std::string& a, const std::string& b) const { return !(*this)(a, b) && !(*this)(b, a); }
};

// A file system in memory, for tests and fuzzers: no disk, no clean-up, and every file can be
// looked at afterwards. Paths are host paths ('/' separators). A directory exists when a file
// lies in it or when it was added with AddDirectory; directories marked read-only refuse to
// create, rename into and remove files, as a write-protected directory does for a normal user,
// while a file already in them can still be rewritten.
class MemoryFileSystem : public FileSystem {
 public:
  using Bytes = std::vector<char>;

  void Put(const std::string& path, const std::string& bytes) {
    auto copy = std::make_shared<Bytes>(bytes.size());
    if (!bytes.empty()) std::memcpy(copy->data(), bytes.data(), bytes.size());
    m_files[path] = std::move(copy);
  }
  bool Has(const std::string& path) const { return m_files.count(path) != 0; }
  std::string Get(const std::string& path) const {
    const auto it = m_files.find(path);
    return it == m_files.end() ? std::string()
                               : std::string(it->second->data(), it->second->size());
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (const auto& [path, bytes] : m_files) paths.push_back(path);
    return paths;
  }
  void SetReadOnlyFile(const std::string& path, bool readOnly = true) {
    Flag(m_readOnlyFiles, path, readOnly);
  }
  void AddDirectory(const std::string& path) { m_directories.insert(path); }
  // Back to an empty file system: no file, no directory, nothing read-only.
  void Clear() { *this = MemoryFileSystem(); }
  void SetReadOnlyDirectory(const std::string& path, bool readOnly = true) {
    AddDirectory(path);
    Flag(m_readOnlyDirectories, path, readOnly);
  }

  std::unique_ptr<InputFile> OpenRead(const std::string& hostPath) override {
    const auto it = m_files.find(hostPath);
    if (it == m_files.end()) return nullptr;
    return std::make_unique<Reader>(it->second);
  }

  std::unique_ptr<OutputFile> Create(const std::string& hostPath) override {
    // A new file needs a writable directory; an existing one only needs to be writable itself.
    if (IsDirectory(hostPath) || m_readOnlyFiles.count(hostPath) != 0 ||
        (!Has(hostPath) && !DirectoryWritable(hostPath))) {
      return nullptr;
    }
    auto& bytes = m_files[hostPath];
    if (!bytes) bytes = std::make_shared<Bytes>();
    bytes->clear();
    return std::make_unique<Writer>(bytes);
  }

  std::unique_ptr<OutputFile> CreateTemporary(const std::string& hostPath,
                                              std::string& createdPath) override {
    std::string path;
    do {
      path = hostPath + ".tmp" + std::to_string(++m_temporaries);
    } while (Has(path));
    auto file = Create(path);
    if (file) createdPath = path;
    return file;
  }

  bool Rename(const std::string& from, const std::string& to) override {
    const auto it = m_files.find(from);
    if (it == m_files.end() || IsDirectory(to) || !DirectoryWritable(from) ||
        !DirectoryWritable(to)) {
      return false;
    }
    auto bytes = it->second;
    m_files.erase(it);
    m_files[to] = bytes;
    return true;
  }

  bool Remove(const std::string& hostPath) override {
    if (!DirectoryWritable(hostPath)) return false;
    return m_files.erase(hostPath) != 0;
  }

  bool Exists(const std::string& hostPath) override {
    return m_files.count(hostPath) != 0 || IsDirectory(hostPath);
  }

  bool IsReadOnly(const std::string& hostPath) override {
    return m_files.count(hostPath) != 0 && m_readOnlyFiles.count(hostPath) != 0;
  }

  std::string FindIgnoringCase(const std::string& hostDir, const std::string& name) override {
    if (m_files.count(JoinHostPath(hostDir, name)) != 0) return name;
    const std::string dir = hostDir.empty() ? std::string(".") : hostDir;
    for (const auto& [path, bytes] : m_files) {
      if (!SamePath{}.Equal(Parent(path), dir)) continue;
      const std::string entry = path.substr(path.find_last_of("/\\") + 1);
      if (EqualIgnoringCase(entry, name)) return entry;
    }
    return {};
  }

 private:
  class Reader final : public InputFile {
   public:
    explicit Reader(std::shared_ptr<Bytes> bytes) : m_bytes(std::move(bytes)) {}
    long long Read(char* buffer, std::size_t size) override {
      const std::size_t n = std::min(size, m_bytes->size() - m_pos);
      if (n > 0) std::memcpy(buffer, m_bytes->data() + m_pos, n);
      m_pos += n;
      return static_cast<long long>(n);
    }
    bool Close() override { return true; }

   private:
    std::shared_ptr<Bytes> m_bytes;
    std::size_t m_pos = 0;
  };

  class Writer final : public OutputFile {
   public:
    explicit Writer(std::shared_ptr<Bytes> bytes) : m_bytes(std::move(bytes)) {}
    bool Write(const char* data, std::size_t size) override {
      if (m_bytes->size() < m_pos + size) m_bytes->resize(m_pos + size);
      if (size > 0) std::memcpy(m_bytes->data() + m_pos, data, size);
      m_pos += size;
      return true;
    }
    bool Seek(std::uint64_t offset) override {
      m_pos = static_cast<std::size_t>(offset);
      return true;
    }
    bool Close() override { return true; }

   private:
    std::shared_ptr<Bytes> m_bytes;
    std::size_t m_pos = 0;
  };

  static void Flag(std::set<std::string, SamePath>& set, const std::string& path, bool on) {
    if (on) {
      set.insert(path);
    } else {
      set.erase(path);
    }
  }
  static std::string Parent(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
  }
  static bool EqualIgnoringCase(const std::string& a, const std::string& b) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
  }
  bool IsDirectory(const std::string& path) const {
    if (m_directories.count(path) != 0) return true;
    const std::string prefix = path + "/";
    const auto it = m_files.lower_bound(prefix);
    return it != m_files.end() && it->first.size() >= prefix.size() &&
           SamePath{}.Equal(it->first.substr(0, prefix.size()), prefix);
  }
  // A file can be made in a directory unless the directory is read-only, or the "directory"
  // is in fact a file.
  bool DirectoryWritable(const std::string& path) const {
    const std::string parent = Parent(path);
    return m_readOnlyDirectories.count(parent) == 0 && m_files.count(parent) == 0;
  }

  std::map<std::string, std::shared_ptr<Bytes>, SamePath> m_files;
  std::set<std::string, SamePath> m_directories;
  std::set<std::string, SamePath> m_readOnlyFiles;
  std::set<std::string, SamePath> m_readOnlyDirectories;
  int m_temporaries = 0;
};

}  // namespace zelk::test

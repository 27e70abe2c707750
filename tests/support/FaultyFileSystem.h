// SPDX-License-Identifier: MIT
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace zelk::test {

// Wraps a file system and fails the N-th operation (counted from 1 over open, create, read,
// write, seek, close, rename and remove; look-ups such as Exists are not counted). A failed
// write first writes half of its bytes, as a disk that fills up does. With failAt 0 nothing
// fails, and the operations are only counted, so a test can learn how many there are.
class FaultyFileSystem : public FileSystem {
 public:
  enum class Op { Open, Create, Read, Write, Seek, Close, Rename, Remove };

  explicit FaultyFileSystem(FileSystem& inner, int failAt = 0) : m_inner(inner), m_failAt(failAt) {}

  // Every operation so far, in order, and whether one was failed.
  const std::vector<Op>& Operations() const { return m_ops; }
  int Count() const { return static_cast<int>(m_ops.size()); }
  bool Injected() const { return m_injected; }
  Op FailedOp() const { return m_failedOp; }
  const std::string& FailedPath() const { return m_failedPath; }

  std::unique_ptr<InputFile> OpenRead(const std::string& hostPath) override {
    if (Fail(Op::Open, hostPath)) return nullptr;
    auto file = m_inner.OpenRead(hostPath);
    if (!file) return nullptr;
    return std::make_unique<Input>(*this, std::move(file), hostPath);
  }
  std::unique_ptr<OutputFile> Create(const std::string& hostPath) override {
    if (Fail(Op::Create, hostPath)) return nullptr;
    auto file = m_inner.Create(hostPath);
    if (!file) return nullptr;
    return std::make_unique<Output>(*this, std::move(file), hostPath);
  }
  std::unique_ptr<OutputFile> CreateTemporary(const std::string& hostPath,
                                              std::string& createdPath) override {
    if (Fail(Op::Create, hostPath)) return nullptr;
    auto file = m_inner.CreateTemporary(hostPath, createdPath);
    if (!file) return nullptr;
    return std::make_unique<Output>(*this, std::move(file), createdPath);
  }
  bool Rename(const std::string& from, const std::string& to) override {
    return !Fail(Op::Rename, from) && m_inner.Rename(from, to);
  }
  bool Remove(const std::string& hostPath) override {
    return !Fail(Op::Remove, hostPath) && m_inner.Remove(hostPath);
  }
  bool Exists(const std::string& hostPath) override { return m_inner.Exists(hostPath); }
  bool IsReadOnly(const std::string& hostPath) override { return m_inner.IsReadOnly(hostPath); }
  std::string FindIgnoringCase(const std::string& hostDir, const std::string& name) override {
    return m_inner.FindIgnoringCase(hostDir, name);
  }

 private:
  class Input final : public InputFile {
   public:
    Input(FaultyFileSystem& fs, std::unique_ptr<InputFile> file, std::string path)
        : m_fs(fs), m_file(std::move(file)), m_path(std::move(path)) {}
    ~Input() override {
      if (!m_closed) m_file->Close();  // a file dropped without Close is closed, uncounted
    }
    long long Read(char* buffer, std::size_t size) override {
      if (m_fs.Fail(Op::Read, m_path)) return -1;
      return m_file->Read(buffer, size);
    }
    bool Close() override {
      m_closed = true;
      const bool closed = m_file->Close();
      return !m_fs.Fail(Op::Close, m_path) && closed;
    }

   private:
    FaultyFileSystem& m_fs;
    std::unique_ptr<InputFile> m_file;
    std::string m_path;
    bool m_closed = false;
  };

  class Output final : public OutputFile {
   public:
    Output(FaultyFileSystem& fs, std::unique_ptr<OutputFile> file, std::string path)
        : m_fs(fs), m_file(std::move(file)), m_path(std::move(path)) {}
    ~Output() override {
      if (!m_closed) m_file->Close();
    }
    bool Write(const char* data, std::size_t size) override {
      if (m_fs.Fail(Op::Write, m_path)) {
        m_file->Write(data, size / 2);
        return false;
      }
      return m_file->Write(data, size);
    }
    bool Seek(std::uint64_t offset) override {
      return !m_fs.Fail(Op::Seek, m_path) && m_file->Seek(offset);
    }
    bool Close() override {
      m_closed = true;
      const bool closed = m_file->Close();
      return !m_fs.Fail(Op::Close, m_path) && closed;
    }

   private:
    FaultyFileSystem& m_fs;
    std::unique_ptr<OutputFile> m_file;
    std::string m_path;
    bool m_closed = false;
  };

  bool Fail(Op op, const std::string& path) {
    m_ops.push_back(op);
    if (m_failAt <= 0 || Count() != m_failAt) return false;
    m_injected = true;
    m_failedOp = op;
    m_failedPath = path;
    return true;
  }

  FileSystem& m_inner;
  int m_failAt;
  std::vector<Op> m_ops;
  bool m_injected = false;
  Op m_failedOp = Op::Open;
  std::string m_failedPath;
};

inline const char* OpName(FaultyFileSystem::Op op) {
  switch (op) {
    case FaultyFileSystem::Op::Open:
      return "open";
    case FaultyFileSystem::Op::Create:
      return "create";
    case FaultyFileSystem::Op::Read:
      return "read";
    case FaultyFileSystem::Op::Write:
      return "write";
    case FaultyFileSystem::Op::Seek:
      return "seek";
    case FaultyFileSystem::Op::Close:
      return "close";
    case FaultyFileSystem::Op::Rename:
      return "rename";
    case FaultyFileSystem::Op::Remove:
      return "remove";
  }
  return "?";
}

}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "platform/Streams.h"

#include <windows.h>

#include <cerrno>
#include <cstring>

#include "platform/StopNotice.h"
#include "platform/windows/Wide.h"

// The streams of a Windows host: handles, read and written as bytes (no translation of line
// ends), except a console, which takes and gives UTF-16 so that every character shows whatever
// its code page.
namespace zelk {
namespace {

using windows::BlockingRead;
using windows::ErrnoOf;

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return handle != nullptr && handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode);
}

class HandleInput final : public InputStream {
 public:
  HandleInput(HANDLE handle, bool owned)
      : m_handle(handle), m_owned(owned), m_console(IsConsole(handle)) {}
  ~HandleInput() override {
    if (m_owned) ::CloseHandle(m_handle);
  }
  HandleInput(const HandleInput&) = delete;
  HandleInput& operator=(const HandleInput&) = delete;

  long long Read(char* buffer, std::size_t size) override {
    if (m_console) return ReadConsole(buffer, size);
    const BlockingRead blocking;
    if (StopNotice() != 0) return READ_STOPPED;
    DWORD n = 0;
    const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
    const bool read = ::ReadFile(m_handle, buffer, want, &n, nullptr) != 0;
    if (StopNotice() != 0) return READ_STOPPED;
    if (!read) {
      const DWORD error = ::GetLastError();
      // The writer of a pipe closed it: the end of the input.
      return error == ERROR_BROKEN_PIPE ? READ_END : READ_FAILED;
    }
    return n;
  }

 private:
  // What was typed, as UTF-8; Ctrl+Z at the start of a line ends the input, as the C runtime has it.
  long long ReadConsole(char* buffer, std::size_t size) {
    while (m_pending.empty()) {
      if (m_end) return READ_END;
      const BlockingRead blocking;
      if (StopNotice() != 0) return READ_STOPPED;
      wchar_t wide[4096];
      DWORD n = 0;
      const bool read = ::ReadConsoleW(m_handle, wide, 4096, &n, nullptr) != 0;
      if (StopNotice() != 0) return READ_STOPPED;
      if (!read) return READ_FAILED;
      std::wstring text = m_halfPair + std::wstring(wide, n);
      m_halfPair.clear();
      // A character outside the basic plane may come in two reads.
      if (!text.empty() && text.back() >= 0xD800 && text.back() <= 0xDBFF) {
        m_halfPair = text.back();
        text.pop_back();
      }
      const std::size_t eof = text.find(L'\x1A');
      if (eof != std::wstring::npos) {
        text.resize(eof);
        m_end = true;
      }
      m_pending = windows::Narrow(text);
      if (n == 0 && m_pending.empty() && !m_end) m_end = true;
    }
    const std::size_t n = std::min(size, m_pending.size());
    std::memcpy(buffer, m_pending.data(), n);
    m_pending.erase(0, n);
    return static_cast<long long>(n);
  }

  HANDLE m_handle;
  bool m_owned;
  bool m_console;
  bool m_end = false;
  std::string m_pending;
  std::wstring m_halfPair;
};

class HandleOutput final : public OutputStream {
 public:
  explicit HandleOutput(HANDLE handle) : m_handle(handle), m_console(IsConsole(handle)) {}

  bool Write(const char* data, std::size_t size) override {
    if (m_error != 0) return false;
    if (m_console) return WriteConsole(data, size);
    while (size > 0) {
      DWORD n = 0;
      const DWORD want = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
      if (!::WriteFile(m_handle, data, want, &n, nullptr) || n == 0) {
        m_error = ErrnoOf(::GetLastError());
        return false;
      }
      data += n;
      size -= n;
    }
    return true;
  }

  std::string ErrorText() const override { return std::strerror(m_error); }

 private:
  // UTF-8 to UTF-16; a character cut at the end of the buffer waits for the rest.
  bool WriteConsole(const char* data, std::size_t size) {
    m_partial.append(data, size);
    std::size_t whole = m_partial.size();
    std::size_t lead = whole;
    while (lead > 0 && lead + 4 > whole &&
           (static_cast<unsigned char>(m_partial[lead - 1]) & 0xC0) == 0x80) {
      --lead;
    }
    if (lead > 0) {
      const unsigned char first = static_cast<unsigned char>(m_partial[lead - 1]);
      const std::size_t length = first >= 0xF0 ? 4 : first >= 0xE0 ? 3 : first >= 0xC0 ? 2 : 1;
      if (length > 1 && lead - 1 + length > whole) whole = lead - 1;
    }
    const std::wstring wide = windows::Widen(std::string_view(m_partial).substr(0, whole));
    m_partial.erase(0, whole);
    const wchar_t* text = wide.data();
    std::size_t left = wide.size();
    while (left > 0) {
      DWORD n = 0;
      const DWORD want = left > 8192 ? 8192 : static_cast<DWORD>(left);
      if (!::WriteConsoleW(m_handle, text, want, &n, nullptr) || n == 0) {
        m_error = ErrnoOf(::GetLastError());
        return false;
      }
      text += n;
      left -= n;
    }
    return true;
  }

  HANDLE m_handle;
  bool m_console;
  int m_error = 0;
  std::string m_partial;
};

}  // namespace

std::unique_ptr<InputStream> StandardInput() {
  return std::make_unique<HandleInput>(::GetStdHandle(STD_INPUT_HANDLE), false);
}

std::unique_ptr<OutputStream> StandardOutput() {
  return std::make_unique<HandleOutput>(::GetStdHandle(STD_OUTPUT_HANDLE));
}

std::unique_ptr<OutputStream> StandardError() {
  return std::make_unique<HandleOutput>(::GetStdHandle(STD_ERROR_HANDLE));
}

std::unique_ptr<InputStream> OpenInputStream(const std::string& hostPath, std::string& reason) {
  const std::wstring path = windows::FilePath(hostPath);
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
    reason = std::strerror(EISDIR);
    return nullptr;
  }
  const HANDLE handle =
      ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    reason = std::strerror(ErrnoOf(::GetLastError()));
    return nullptr;
  }
  return std::make_unique<HandleInput>(handle, true);
}

// A write to a pipe whose reader has gone fails with ERROR_NO_DATA here; nothing ends the process.
ClosedPipeWritesFail::ClosedPipeWritesFail() = default;
ClosedPipeWritesFail::~ClosedPipeWritesFail() = default;

}  // namespace zelk

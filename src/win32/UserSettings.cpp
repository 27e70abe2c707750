// SPDX-License-Identifier: MIT
#include "win32/UserSettings.h"

#include "win32/WindowsApi.h"

#include <algorithm>

#include "console/ConsoleScreen.h"
#include "platform/Cp1252.h"
#include "win32/Win32Text.h"

namespace zelk {
namespace {

// A key below the settings' key, opened (or created) for the call and closed after it.
class SettingsKey {
 public:
  SettingsKey(const wchar_t* subKey, bool write) {
    const std::wstring path = std::wstring(SETTINGS_KEY) + L"\\" + subKey;
    const LSTATUS status =
        write ? RegCreateKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0,
                                KEY_READ | KEY_WRITE, nullptr, &m_key, nullptr)
              : RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &m_key);
    if (status != ERROR_SUCCESS) m_key = nullptr;
  }
  ~SettingsKey() {
    if (m_key != nullptr) RegCloseKey(m_key);
  }
  SettingsKey(const SettingsKey&) = delete;
  SettingsKey& operator=(const SettingsKey&) = delete;

  // The value's text (REG_SZ, or each string of a REG_MULTI_SZ); empty when there is none.
  std::vector<std::wstring> Strings(const wchar_t* name) const {
    std::vector<std::wstring> strings;
    DWORD type = 0;
    DWORD bytes = 0;
    if (m_key == nullptr ||
        RegQueryValueExW(m_key, name, nullptr, &type, nullptr, &bytes) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_MULTI_SZ)) {
      return strings;
    }
    std::vector<wchar_t> data(bytes / sizeof(wchar_t) + 2, L'\0');
    if (RegQueryValueExW(m_key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()),
                         &bytes) != ERROR_SUCCESS) {
      return strings;
    }
    const std::size_t end = bytes / sizeof(wchar_t);
    for (std::size_t at = 0; at < end && data[at] != L'\0';) {
      const std::wstring one(data.data() + at);
      strings.push_back(one);
      at += one.size() + 1;
      if (type == REG_SZ) break;
    }
    return strings;
  }
  bool Number(const wchar_t* name, DWORD& value) const {
    DWORD type = 0;
    DWORD bytes = sizeof value;
    return m_key != nullptr &&
           RegQueryValueExW(m_key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value),
                            &bytes) == ERROR_SUCCESS &&
           type == REG_DWORD;
  }
  void SetStrings(const wchar_t* name, const std::vector<std::wstring>& strings, DWORD type) {
    std::wstring data;
    for (const std::wstring& one : strings) {
      data += one;
      data += L'\0';
    }
    if (type == REG_MULTI_SZ || data.empty()) data += L'\0';
    Set(name, type, data.data(), data.size() * sizeof(wchar_t));
  }
  void SetNumber(const wchar_t* name, DWORD value) { Set(name, REG_DWORD, &value, sizeof value); }
  void Delete(const wchar_t* name) {
    if (m_key != nullptr) RegDeleteValueW(m_key, name);
  }

 private:
  void Set(const wchar_t* name, DWORD type, const void* data, std::size_t bytes) {
    if (m_key != nullptr) {
      RegSetValueExW(m_key, name, 0, type, static_cast<const BYTE*>(data),
                     static_cast<DWORD>(bytes));
    }
  }
  HKEY m_key = nullptr;
};

constexpr const wchar_t* RECENT_FILES = L"Recent File List";
constexpr const wchar_t* CONSOLE = L"Console";
constexpr const wchar_t* HISTORY = L"History";
constexpr const wchar_t* FONT_HEIGHT = L"FontHeight";

std::wstring EntryName(int i) {
  return L"File" + std::to_wstring(i + 1);
}

bool SamePath(const std::string& a, const std::string& b) {
  return CompareStringOrdinal(WideFromUtf8(a).c_str(), -1, WideFromUtf8(b).c_str(), -1, TRUE) ==
         CSTR_EQUAL;
}

}  // namespace

void RecentFileList::Load() {
  const SettingsKey key(RECENT_FILES, false);
  m_files.clear();
  for (int i = 0; i < SIZE; ++i) {
    const std::vector<std::wstring> value = key.Strings(EntryName(i).c_str());
    if (value.empty() || value.front().empty()) continue;
    const std::string path = Utf8FromWide(value.front());
    if (std::none_of(m_files.begin(), m_files.end(),
                     [&](const std::string& f) { return SamePath(f, path); })) {
      m_files.push_back(path);
    }
  }
}

void RecentFileList::Save() const {
  SettingsKey key(RECENT_FILES, true);
  for (int i = 0; i < SIZE; ++i) {
    const std::wstring name = EntryName(i);
    if (i < static_cast<int>(m_files.size())) {
      key.SetStrings(name.c_str(), {WideFromUtf8(m_files[static_cast<std::size_t>(i)])}, REG_SZ);
    } else {
      key.Delete(name.c_str());
    }
  }
}

void RecentFileList::Add(const std::string& path) {
  const std::wstring wide = WideFromUtf8(path);
  std::wstring full(MAX_PATH, L'\0');
  DWORD length = GetFullPathNameW(wide.c_str(), static_cast<DWORD>(full.size()), full.data(),
                                  nullptr);
  if (length >= full.size()) {
    full.resize(length);
    length = GetFullPathNameW(wide.c_str(), length, full.data(), nullptr);
  }
  full.resize(length);
  const std::string entry = length != 0 ? Utf8FromWide(full) : path;
  Remove(entry);
  m_files.insert(m_files.begin(), entry);
  if (m_files.size() > SIZE) m_files.resize(SIZE);
}

void RecentFileList::Remove(const std::string& path) {
  std::erase_if(m_files, [&](const std::string& f) { return SamePath(f, path); });
}

void LoadConsoleSettings(ConsoleScreen& screen) {
  const SettingsKey key(CONSOLE, false);
  std::vector<std::string> lines;
  for (const std::wstring& line : key.Strings(HISTORY)) lines.push_back(ZelkFromWide(line));
  screen.History().Assign(lines);
  DWORD height = 0;
  if (key.Number(FONT_HEIGHT, height) && height > 0 && height <= 1000) {
    screen.SetFontHeight(static_cast<int>(height));
  }
}

void SaveConsoleSettings(ConsoleScreen& screen) {
  SettingsKey key(CONSOLE, true);
  std::vector<std::wstring> lines;
  for (const std::string& line : screen.History().Lines()) lines.push_back(WideFromZelk(line));
  key.SetStrings(HISTORY, lines, REG_MULTI_SZ);
  // The default size is not written, so that the system's font decides it again next time.
  if (screen.FontHeight() == screen.DefaultFontHeight()) {
    key.Delete(FONT_HEIGHT);
  } else {
    key.SetNumber(FONT_HEIGHT, static_cast<DWORD>(screen.FontHeight()));
  }
}

}  // namespace zelk

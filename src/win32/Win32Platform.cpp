// SPDX-License-Identifier: MIT
#include "win32/Win32Platform.h"

#include <commdlg.h>
#include <mmsystem.h>

#include <vector>

#include "console/OpenCompileCommands.h"
#include "platform/Process.h"
#include "win32/ConsoleView.h"
#include "win32/EnvironmentDialog.h"
#include "win32/Win32Text.h"

namespace zelk {

Win32Platform::Win32Platform() : m_files(MakeHostFileSystem()) {}
Win32Platform::~Win32Platform() = default;

void Win32Platform::RequestRepaint(bool erase) {
  if (m_console != nullptr) m_console->Screen().RequestRepaint(erase);
}

void Win32Platform::RequestClose() {
  // Posted: the command that asked returns first.
  if (m_frame != nullptr) PostMessageW(m_frame, WM_CLOSE, 0, 0);
}

StartResult Win32Platform::OpenUrl(const std::string& url) {
  return OpenWebPage(url);
}

StartResult Win32Platform::StartProgram(const ProgramStart& start) {
  return StartDetachedProcess(start);
}

void Win32Platform::PlaySoundSync(const std::string& wavePath) {
  // The wave file, else the system's error sound.
  const std::wstring path = WideFromUtf8(wavePath);
  if (!PlaySoundW(path.c_str(), nullptr, SND_FILENAME | SND_SYNC | SND_NODEFAULT)) {
    MessageBeep(MB_ICONHAND);
  }
}

void Win32Platform::ShowMessageBox(const std::string& text) {
  MessageBoxW(m_frame, WideFromZelk(text).c_str(), L"Zelk", MB_OK | MB_ICONWARNING);
}

DialogResult Win32Platform::RunEnvironmentDialog(EnvironmentSettings& settings) {
  return RunEnvironmentDialogBox(m_frame, settings);
}

std::wstring Win32Platform::DialogFilter(const std::string& filter) {
  std::wstring text;
  for (const FileTypeFilter& choice : SplitFileFilter(filter)) {
    text += WideFromZelk(choice.description);
    text += L'\0';
    text += WideFromZelk(choice.pattern);
    text += L'\0';
  }
  text += L'\0';
  return text;
}

FileChoice Win32Platform::ChooseFile(const std::string& filter, const std::string& initialDir) {
  const std::wstring filterText = DialogFilter(filter);
  const std::wstring startDir = WideFromZelk(initialDir);
  std::vector<wchar_t> file(32768, L'\0');
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = m_frame;
  ofn.lpstrFilter = filterText.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file.data();
  ofn.nMaxFile = static_cast<DWORD>(file.size());
  ofn.lpstrInitialDir = startDir.empty() ? nullptr : startDir.c_str();
  // The read-only box hidden, the overwrite prompt asked for (the dialog class's defaults), and
  // neither the file nor its folder required to exist: a typed new name is taken.
  ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
  FileChoice choice;
  if (!GetOpenFileNameW(&ofn) || file[0] == L'\0') return choice;
  const std::wstring path = file.data();
  const std::size_t nameAt = ofn.nFileOffset;
  const std::size_t extensionAt =
      ofn.nFileExtension != 0 && ofn.nFileExtension < path.size() ? ofn.nFileExtension : 0;
  choice.fullPath = ZelkFromWide(path);
  choice.fileName = ZelkFromWide(path.substr(nameAt));
  choice.fileTitle = ZelkFromWide(
      path.substr(nameAt, extensionAt != 0 ? extensionAt - 1 - nameAt : std::wstring::npos));
  if (extensionAt != 0) choice.extension = ZelkFromWide(path.substr(extensionAt));
  return choice;
}

std::string Win32Platform::CurrentDirectory() {
  return ReadCurrentDirectory();
}

}  // namespace zelk

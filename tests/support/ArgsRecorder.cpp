// SPDX-License-Identifier: MIT
// A stand-in for a started program (the game, the editor): writes the working directory and the
// arguments it received, each ended by a zero byte, to the file named by ZELK_ARGS_RECORD. The
// file appears whole (written beside it, then renamed), so a test can wait for it. On Windows
// the texts are UTF-8 and the last part is the whole command line (GetCommandLineW).
#ifdef _WIN32
#include <windows.h>
#include <shellapi.h>
#else
#include <unistd.h>
#endif

#include <cstdio>
#include <cstdlib>
#include <string>

#ifdef _WIN32
namespace {

std::string Utf8(const wchar_t* wide) {
  const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  std::string text(static_cast<std::size_t>(n > 0 ? n - 1 : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), n, nullptr, nullptr);
  return text;
}

}  // namespace
#endif

int main(int argc, char** argv) {
  const char* record = std::getenv("ZELK_ARGS_RECORD");
  if (record == nullptr) return 2;
  std::string bytes;
#ifdef _WIN32
  (void)argc;
  (void)argv;
  wchar_t cwd[32768];
  if (::GetCurrentDirectoryW(32768, cwd) == 0) return 3;
  bytes = Utf8(cwd);
  bytes += '\0';
  int count = 0;
  wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  for (int i = 1; i < count; ++i) {
    bytes += Utf8(wide[i]);
    bytes += '\0';
  }
  bytes += Utf8(::GetCommandLineW());
  bytes += '\0';
#else
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return 3;
  bytes = cwd;
  bytes += '\0';
  for (int i = 1; i < argc; ++i) {
    bytes += argv[i];
    bytes += '\0';
  }
#endif
  const std::string partial = std::string(record) + ".partial";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (out == nullptr) return 4;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) return 5;
  return std::rename(partial.c_str(), record) == 0 ? 0 : 6;
}

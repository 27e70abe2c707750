// SPDX-License-Identifier: MIT
// A stand-in for a started program (the game, the editor): writes the working directory and the
// arguments it received, each ended by a zero byte, to the file named by ZELK_ARGS_RECORD. The
// file appears whole (written beside it, then renamed), so a test can wait for it.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
  const char* record = std::getenv("ZELK_ARGS_RECORD");
  if (record == nullptr) return 2;
  char cwd[4096];
  if (::getcwd(cwd, sizeof cwd) == nullptr) return 3;
  std::string bytes = cwd;
  bytes += '\0';
  for (int i = 1; i < argc; ++i) {
    bytes += argv[i];
    bytes += '\0';
  }
  const std::string partial = std::string(record) + ".partial";
  std::FILE* out = std::fopen(partial.c_str(), "wb");
  if (out == nullptr) return 4;
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), out) == bytes.size();
  if (std::fclose(out) != 0 || !written) return 5;
  return std::rename(partial.c_str(), record) == 0 ? 0 : 6;
}

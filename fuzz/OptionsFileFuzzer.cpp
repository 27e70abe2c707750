// SPDX-License-Identifier: MIT
// The options file: load arbitrary bytes, save, load again.
//
// The first byte picks how the file's name is written (the load and the save find it ignoring
// letter case); the rest is the file. The load must take the leading bytes as they stand (a text
// field is cut to 255 characters; the bytes after a text are kept while it stays unchanged), the
// save must write the whole record over the same file and leave nothing else behind, and a second
// load must give back the same record.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "environment/EnvironmentSettings.h"
#include "console/ConsoleCommands.h"
#include "environment/OptionsFile.h"

namespace zelk::fuzz {
namespace {

constexpr const char* kNames[] = {"zelk.cfg", "Zelk.CFG", "ZELK.CFG", "zElK.cFg"};
// Offsets of the text fields in the image; byte 255 of each is forced to zero by the load.
constexpr std::size_t kTextOffsets[] = {4, 260, 516, 772, 1056, 1312, 1568};

// The record that the save must write: the file's leading bytes, the rest zero (the start
// values), the last byte of every text a terminator.
std::string ExpectedRecord(const std::string& file) {
  std::string expected(OPTIONS_IMAGE_SIZE, '\0');
  file.copy(expected.data(), expected.size());
  for (const std::size_t text : kTextOffsets) expected[text + 255] = '\0';
  return expected;
}

std::size_t FirstDifference(const std::string& a, const std::string& b) {
  return static_cast<std::size_t>(std::mismatch(a.begin(), a.end(), b.begin(), b.end()).first -
                                  a.begin());
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  if (size == 0) return 0;
  const std::string name = kNames[data[0] % 4];
  const std::string file(reinterpret_cast<const char*>(data) + 1, size - 1);
  const std::string path = std::string(MemoryConsole::kStartDir) + "/" + name;

  static MemoryConsole first;
  static MemoryConsole second;
  const ResetAfterInput resetFirst(first);
  const ResetAfterInput resetSecond(second);
  first.files.Put(path, file);
  first.view->OnCreate();
  ZELK_FUZZ_CHECK(first.view->SaveOptionsFile(SaveMode::Always), "saving to memory failed");
  const auto paths = first.files.Paths();
  ZELK_FUZZ_CHECK(paths.size() == 1 && paths[0] == path, "the save left %zu files, the first %s",
                  paths.size(), paths.empty() ? "-" : paths[0].c_str());
  const std::string saved = first.files.Get(path);

  // The load took the leading bytes that the file holds, and the save wrote them back; the rest
  // keeps the start values.
  ZELK_FUZZ_CHECK(saved.size() == OPTIONS_IMAGE_SIZE, "the saved file holds %zu bytes",
                  saved.size());
  ZELK_FUZZ_CHECK(saved == ExpectedRecord(file), "byte %zu of the saved record",
                  FirstDifference(saved, ExpectedRecord(file)));

  second.files.Put(path, saved);
  second.view->OnCreate();
  ZELK_FUZZ_CHECK(second.doc->Settings() == first.doc->Settings(), "the settings did not survive");
  ZELK_FUZZ_CHECK(second.view->SaveOptionsFile(SaveMode::Always) && second.files.Get(path) == saved,
                  "the record did not survive");

  // The Save Options command says where it saved, naming the file that was written.
  OnSaveOptions(*second.view);
  const std::string message(second.doc->LineText(second.doc->CursorLine() - 1));
  ZELK_FUZZ_CHECK(message.rfind("Current options saved to '/start\\" + name + "'", 0) == 0,
                  "message %s", message.c_str());
  return 0;
}

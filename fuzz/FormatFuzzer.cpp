// SPDX-License-Identifier: MIT
// The source formatter on arbitrary source bytes.
//
// Formatting a source never changes what it compiles to: the source and its formatted form
// compile to the same bytes with the same result (status, counts, the line and kind of an
// error), and the settings that their setting lines carry out end the same. Formatting the
// formatted source changes nothing. Both compiles read their files from memory.

#include <cstdint>
#include <string>
#include <string_view>

#include "FuzzSupport.h"
#include "compiler/SourceFormat.h"
#include "environment/EnvironmentSettings.h"
#include "platform/LineSink.h"

namespace zelk::fuzz {
namespace {

struct Compiled {
  MemoryCompile compile;
  EnvironmentSettings settings;
};

Compiled Compile(const std::string& source) {
  NullLineSink out;  // the harness compares results, not the lines they print
  Compiled compiled;
  compiled.compile = CompileInMemory(source, out, ApplySettingsTo(compiled.settings, out));
  return compiled;
}

// Whether formatting the formatted source changes nothing, found by formatting again only the
// lines that the first formatting changed: a line it left as it is stays so, the formatter being
// a function of the line alone. Both sources hold the same lines, the line ends in place.
bool IsFormatted(std::string_view source, std::string_view formatted) {
  std::string again;
  while (!source.empty() || !formatted.empty()) {
    const std::size_t a = source.find('\n');
    const std::size_t b = formatted.find('\n');
    if ((a == std::string_view::npos) != (b == std::string_view::npos)) return false;
    std::string_view line = formatted.substr(0, b);
    if (source.substr(0, a) != line) {
      if (b != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
      if (FormatSourceLine(line, again)) return false;
    }
    if (a == std::string_view::npos) break;
    source.remove_prefix(a + 1);
    formatted.remove_prefix(b + 1);
  }
  return true;
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  if (size > 16 * 1024) return 0;
  const std::string source(reinterpret_cast<const char*>(data), size);
  const std::string formatted = FormatSource(source);
  ZELK_FUZZ_CHECK(IsFormatted(source, formatted), "a second formatting changed:\n%s",
                  formatted.c_str());

  if (formatted == source) return 0;  // the same bytes compile alike

  const Compiled before = Compile(source);
  const Compiled after = Compile(formatted);
  const CompileResult& a = before.compile.result;
  const CompileResult& b = after.compile.result;
  ZELK_FUZZ_CHECK(a.status == b.status && a.instructionCount == b.instructionCount &&
                      a.interceptCount == b.interceptCount,
                  "status %d/%d, %d/%d records, %d/%d intercepts", static_cast<int>(a.status),
                  static_cast<int>(b.status), a.instructionCount, b.instructionCount,
                  a.interceptCount, b.interceptCount);
  ZELK_FUZZ_CHECK(a.error.has_value() == b.error.has_value() &&
                      (!a.error || (a.error->line == b.error->line && a.error->kind == b.error->kind)),
                  "the compile stops elsewhere after formatting");
  ZELK_FUZZ_CHECK(before.compile.bytes == after.compile.bytes,
                  "formatting changed the compiled bytes:\n%s", formatted.c_str());
  ZELK_FUZZ_CHECK(before.settings == after.settings, "formatting changed what the settings do");
  return 0;
}

// The compile driver on arbitrary source bytes.
//
// Whatever the source holds, the compile either succeeds with a complete compiled file (8 header
// bytes and 544 per record, the header counts equal to what the console reported) or it reports
// the failure. Every source that compiles is decompiled and the result compiled again: the two
// compiled files must be identical. A source whose lines are all under 200 characters must also
// be accepted by the decompiler.

#include <cstdint>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "compiler/CompileDriver.h"
#include "compiler/CompiledScript.h"
#include "compiler/Decompiler.h"

namespace zelk::fuzz {
namespace {

constexpr const char* kSource = "/load/fuzz.scr";
constexpr const char* kOutput = "/save/fuzz.dat";

struct Compiled {
  int result = 0;
  int failures = 0;
  std::string bytes;
  int instructions = 0;
  int intercepts = 0;
};

Compiled Compile(const std::string& source) {
  MemoryConsole console;
  console.Start();
  console.files.Put(kSource, source);
  Compiled out;
  CZelkView& view = console.view;
  ZELK_FUZZ_CHECK(SetCompilePaths(view, console.doc->m_settings.loadDir, "fuzz"), "paths");
  view.m_compiling = true;
  out.result = CompileScript(view);
  view.m_compiling = false;
  const int linesBefore = console.doc->m_curLine;
  ReportCompileResult(view, out.result);
  out.failures = view.m_failedCompiles;
  out.bytes = console.files.Get(kOutput);
  out.instructions = console.doc->m_instructionCount;
  out.intercepts = console.doc->m_interceptCount;
  if (out.result == COMPILE_SOURCE_ERROR) {
    // The error path has printed the line number just before the report (which adds nothing).
    ZELK_FUZZ_CHECK(linesBefore >= 1 && std::strncmp(console.doc->m_lines[linesBefore - 1].data(),
                                                     "Error encountered at line ", 26) == 0,
                    "a source error without its line number");
  } else if (out.result != COMPILE_OK) {
    ZELK_FUZZ_CHECK(console.doc->m_curLine != linesBefore || linesBefore == 49,
                    "result %d reported nothing", out.result);
  }
  return out;
}

std::size_t LongestLine(const std::string& source) {
  std::size_t longest = 0;
  std::size_t start = 0;
  for (;;) {
    const std::size_t newline = source.find('\n', start);
    if (newline == std::string::npos) break;
    const std::size_t length = newline - start;
    longest = length > longest ? length : longest;
    start = newline + 1;
  }
  return longest;
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  if (size > 64 * 1024) return 0;
  const std::string source(reinterpret_cast<const char*>(data), size);
  const Compiled first = Compile(source);

  if (first.result != COMPILE_OK) {
    ZELK_FUZZ_CHECK(first.failures == 1, "a compile that did not succeed counted %d failures",
                    first.failures);
    return 0;
  }
  ZELK_FUZZ_CHECK(first.failures == 0, "a successful compile counted as failed");
  const std::string& bytes = first.bytes;
  ZELK_FUZZ_CHECK(
      bytes.size() == HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(first.instructions),
      "%zu bytes for %d instructions", bytes.size(), first.instructions);
  const CompiledScriptHeader header =
      ReadHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
  ZELK_FUZZ_CHECK(
      header.instructionCount == first.instructions && header.interceptCount == first.intercepts,
      "header %d/%d, compile %d/%d", header.instructionCount, header.interceptCount,
      first.instructions, first.intercepts);
  ZELK_FUZZ_CHECK(header.interceptCount >= 0 && header.interceptCount <= 100, "intercept count %d",
                  header.interceptCount);

  std::string decompiled;
  std::string reason;
  const bool accepted = DecompileScript(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        bytes.size(), decompiled, reason);
  if (!accepted) {
    ZELK_FUZZ_CHECK(LongestLine(source) >= 200,
                    "the decompiler refused a compiled file of short lines: %s", reason.c_str());
    return 0;
  }
  const Compiled second = Compile(decompiled);
  ZELK_FUZZ_CHECK(second.result == COMPILE_OK, "the decompiled source does not compile:\n%s",
                  decompiled.c_str());
  ZELK_FUZZ_CHECK(second.bytes == bytes, "decompile and compile changed the bytes:\n%s",
                  decompiled.c_str());
  return 0;
}

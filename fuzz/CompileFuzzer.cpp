// SPDX-License-Identifier: MIT
// The compile driver on arbitrary source bytes.
//
// Whatever the source holds, the compile either succeeds with a complete compiled file (8 header
// bytes and 544 per record, the header counts equal to what the console reported) or it reports
// the failure. Every source that compiles is decompiled and the result compiled again: the two
// compiled files must be identical. A source whose lines are all under 200 characters must also
// be accepted by the decompiler. The check of the same source (as bytes and as UTF-8) finds its
// first error where the compile stops, none when the compile succeeds, and one statement in its
// flow for each record.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "compiler/CompiledScript.h"
#include "compiler/Decompiler.h"
#include "compiler/SourceCheck.h"
#include "support/RecordingSink.h"

namespace zelk::fuzz {
namespace {

// Compiles the source as the console does, settings in the source carried out on settings of
// its own and a compile inside the compile refused, and checks what it reports.
MemoryCompile Compile(const std::string& source) {
  test::RecordingSink out;
  EnvironmentSettings settings;
  MemoryCompile compiled = CompileInMemory(source, out, ApplySettingsTo(settings, out));
  const CompileResult& r = compiled.result;
  const std::size_t linesBefore = out.lines.size();
  PrintCompileResult(r, MemoryCompile::Job(), out);
  if (r.status == CompileResult::Status::SourceError) {
    ZELK_FUZZ_CHECK(r.error && r.error->line >= 1 && !r.error->message.empty(),
                    "a source error without its line and message");
  } else if (r.status != CompileResult::Status::Ok) {
    ZELK_FUZZ_CHECK(out.lines.size() == linesBefore + 1, "status %d reported nothing",
                    static_cast<int>(r.status));
  }
  return compiled;
}

bool IsAscii(const std::string& text) {
  for (const char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Checks the source as zelk --check does, and what the check finds against the compile's result.
// Read as UTF-8, an ASCII source is the same text with the same findings: it is checked once.
void CheckAgainstCompile(const std::string& source, const CompileResult& r) {
  const bool ascii = IsAscii(source);
  for (const SourceEncoding encoding : {SourceEncoding::Cp1252, SourceEncoding::Utf8}) {
    if (encoding == SourceEncoding::Utf8 && ascii) break;
    EnvironmentSettings scratch;
    const SourceCheck check = CheckSource(
        source,
        [&](const ParsedStatement& s) { return CheckSettingLine(s, scratch, "nested compile"); },
        encoding);
    const SourceFinding* firstError = nullptr;
    for (const SourceFinding& f : check.findings) {
      ZELK_FUZZ_CHECK(f.line >= 1 && f.line <= check.lineCount + 1 && f.lastLine >= f.line &&
                          f.column >= 0 && f.column <= 255 && f.length >= 0 &&
                          !f.message.empty(),
                      "a finding out of place: line %d to %d, column %d", f.line, f.lastLine,
                      f.column);
      if (f.severity == SourceFinding::Severity::Error && firstError == nullptr) firstError = &f;
    }
    if (encoding == SourceEncoding::Utf8) continue;  // the compile read the bytes
    if (r.status == CompileResult::Status::Ok) {
      ZELK_FUZZ_CHECK(firstError == nullptr, "the check finds an error on line %d that the compile "
                      "passed", firstError->line);
      ZELK_FUZZ_CHECK(check.flow.statements.size() == static_cast<std::size_t>(r.instructionCount),
                      "%zu statements in the flow, %d records", check.flow.statements.size(),
                      r.instructionCount);
    } else if (r.status == CompileResult::Status::SourceError && r.error &&
               r.error->kind != Diagnostic::Kind::TooManyLabels) {
      // (The 101st label stops the compile before any line is compiled.)
      ZELK_FUZZ_CHECK(firstError != nullptr && firstError->line == r.error->line,
                      "the compile stops at line %d, the check's first error is on line %d",
                      r.error->line, firstError != nullptr ? firstError->line : 0);
    }
  }
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
  const MemoryCompile first = Compile(source);
  CheckAgainstCompile(source, first.result);

  if (first.result.status != CompileResult::Status::Ok) {
    ZELK_FUZZ_CHECK(first.result.error.has_value() ==
                        (first.result.status == CompileResult::Status::SourceError ||
                         (first.result.status == CompileResult::Status::WriteFailed &&
                          first.result.error.has_value())),
                    "an error without a source error status");
    return 0;
  }
  const std::string& bytes = first.bytes;
  const int instructions = first.result.instructionCount;
  ZELK_FUZZ_CHECK(bytes.size() == HEADER_SIZE + RECORD_SIZE * static_cast<std::size_t>(instructions),
                  "%zu bytes for %d instructions", bytes.size(), instructions);
  const CompiledScriptHeader header =
      ReadHeader(reinterpret_cast<const unsigned char*>(bytes.data()));
  ZELK_FUZZ_CHECK(header.instructionCount == instructions &&
                      header.interceptCount == first.result.interceptCount,
                  "header %d/%d, compile %d/%d", header.instructionCount, header.interceptCount,
                  instructions, first.result.interceptCount);
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
  const MemoryCompile second = Compile(decompiled);
  ZELK_FUZZ_CHECK(second.result.status == CompileResult::Status::Ok,
                  "the decompiled source does not compile:\n%s", decompiled.c_str());
  ZELK_FUZZ_CHECK(second.bytes == bytes, "decompile and compile changed the bytes:\n%s",
                  decompiled.c_str());
  return 0;
}

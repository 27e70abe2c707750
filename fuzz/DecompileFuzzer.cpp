// SPDX-License-Identifier: MIT
// The decompiler on arbitrary bytes: it refuses them with a one-line reason, or it writes a
// source that compiles back to exactly these bytes.

#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "compiler/CompileDriver.h"
#include "compiler/Decompiler.h"
#include "platform/LineSink.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk;
  using namespace zelk::fuzz;
  std::string source;
  std::string reason;
  // The bytes are copied so that a read past them is a read past a heap block.
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  const bool accepted = DecompileScript(reinterpret_cast<const unsigned char*>(bytes.data()),
                                        bytes.size(), source, reason);
  if (!accepted) {
    ZELK_FUZZ_CHECK(!reason.empty() && reason.find('\n') == std::string::npos,
                    "the reason is not one line: '%s'", reason.c_str());
    return 0;
  }

  NullLineSink out;
  const MemoryCompile again = CompileInMemory(source, out, {});
  ZELK_FUZZ_CHECK(again.result.status == CompileResult::Status::Ok,
                  "the decompiled source does not compile (%d):\n%s",
                  static_cast<int>(again.result.status), source.c_str());
  ZELK_FUZZ_CHECK(again.bytes == bytes, "the decompiled source compiles to other bytes:\n%s",
                  source.c_str());
  return 0;
}

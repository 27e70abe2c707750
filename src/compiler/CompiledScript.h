// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace zelk {

constexpr std::size_t HEADER_SIZE = 8;
constexpr std::size_t RECORD_SIZE = 544;
constexpr std::size_t RECORD_STRING_SIZE = 256;

// The header of a compiled script: the number of records that follow and the number of distinct
// on_use users.
struct CompiledScriptHeader {
  std::int32_t instructionCount = 0;
  std::int32_t interceptCount = 0;
};

// One instruction record, laid out in the file in this field order without padding:
// command 0, Int1 4, Int2 8, Float1 12, Float2 16, String1 20, String2 276, Vector 532.
struct InstructionRecord {
  std::int32_t command = 0;
  std::int32_t Int1 = 0;
  std::int32_t Int2 = 0;
  float Float1 = 0;
  float Float2 = 0;
  char String1[RECORD_STRING_SIZE] = {};
  char String2[RECORD_STRING_SIZE] = {};
  float Vector[3] = {};
};

void WriteHeader(const CompiledScriptHeader& header, unsigned char* out);
CompiledScriptHeader ReadHeader(const unsigned char* in);
// Writes the record's 544 bytes, little-endian.
void WriteRecord(const InstructionRecord& record, unsigned char* out);
InstructionRecord ReadRecord(const unsigned char* in);

}  // namespace zelk

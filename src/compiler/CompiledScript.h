// SPDX-License-Identifier: MIT
#pragma once

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <type_traits>

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
static_assert(std::is_trivially_copyable_v<InstructionRecord>);

// True where a record lies in memory as it lies in the file (a little-endian host): then a record
// can be encoded in place in a block of the file.
inline constexpr bool RECORD_IN_MEMORY_IS_FILE_LAYOUT =
    std::endian::native == std::endian::little && sizeof(InstructionRecord) == RECORD_SIZE &&
    offsetof(InstructionRecord, Int1) == 4 && offsetof(InstructionRecord, Int2) == 8 &&
    offsetof(InstructionRecord, Float1) == 12 && offsetof(InstructionRecord, Float2) == 16 &&
    offsetof(InstructionRecord, String1) == 20 && offsetof(InstructionRecord, String2) == 276 &&
    offsetof(InstructionRecord, Vector) == 532 && HEADER_SIZE % alignof(InstructionRecord) == 0 &&
    RECORD_SIZE % alignof(InstructionRecord) == 0;

void WriteHeader(const CompiledScriptHeader& header, unsigned char* out);
CompiledScriptHeader ReadHeader(const unsigned char* in);
// Writes the record's 544 bytes, little-endian.
void WriteRecord(const InstructionRecord& record, unsigned char* out);
InstructionRecord ReadRecord(const unsigned char* in);

}  // namespace zelk

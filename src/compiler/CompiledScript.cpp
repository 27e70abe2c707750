// SPDX-License-Identifier: MIT
#include "compiler/CompiledScript.h"

#include <cstring>

#include "platform/LittleEndian.h"

namespace zelk {

void WriteHeader(const CompiledScriptHeader& header, unsigned char* out) {
  PutInt32(out, header.instructionCount);
  PutInt32(out + 4, header.interceptCount);
}

CompiledScriptHeader ReadHeader(const unsigned char* in) {
  return {GetInt32(in), GetInt32(in + 4)};
}

void WriteRecord(const InstructionRecord& record, unsigned char* out) {
  if constexpr (RECORD_IN_MEMORY_IS_FILE_LAYOUT) {
    std::memcpy(out, &record, RECORD_SIZE);  // the compiler writes one for every statement
    return;
  }
  PutInt32(out, record.command);
  PutInt32(out + 4, record.Int1);
  PutInt32(out + 8, record.Int2);
  PutFloat(out + 12, record.Float1);
  PutFloat(out + 16, record.Float2);
  std::memcpy(out + 20, record.String1, RECORD_STRING_SIZE);
  std::memcpy(out + 276, record.String2, RECORD_STRING_SIZE);
  PutFloat(out + 532, record.Vector[0]);
  PutFloat(out + 536, record.Vector[1]);
  PutFloat(out + 540, record.Vector[2]);
}

InstructionRecord ReadRecord(const unsigned char* in) {
  InstructionRecord record;
  record.command = GetInt32(in);
  record.Int1 = GetInt32(in + 4);
  record.Int2 = GetInt32(in + 8);
  record.Float1 = GetFloat(in + 12);
  record.Float2 = GetFloat(in + 16);
  std::memcpy(record.String1, in + 20, RECORD_STRING_SIZE);
  std::memcpy(record.String2, in + 276, RECORD_STRING_SIZE);
  record.Vector[0] = GetFloat(in + 532);
  record.Vector[1] = GetFloat(in + 536);
  record.Vector[2] = GetFloat(in + 540);
  return record;
}

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string_view>

// The words that the encoder stores as numbers in a record, and the numbers: one table for the
// encoder, which writes them, and the decompiler, which reads them back.
namespace zelk {

// The pseudo-targets.
inline constexpr std::string_view WORD_SELF = ".self";
inline constexpr std::string_view WORD_ACTIVATOR = ".activator";
inline constexpr std::string_view WORD_CLIENT = ".client";
inline constexpr std::string_view WORD_NONE = ".none";

// ".activator" (and ".client" as the activator of an intercept), ".self", ".none" (and the label
// ".none" of on_use, which kills the intercept of that user).
constexpr std::int32_t CODE_ACTIVATOR = 255;
constexpr std::int32_t CODE_SELF = 1;
constexpr std::int32_t CODE_NONE = -1;

// The attenuation words of say; a word's index is its code.
inline constexpr std::string_view ATTENUATION_WORDS[] = {"attn_none", "attn_norm", "attn_idle",
                                                         "attn_static"};

// The code of an attenuation word, or -1.
constexpr std::int32_t AttenuationCode(std::string_view word) {
  for (std::int32_t code = 0; code < 4; ++code) {
    if (ATTENUATION_WORDS[code] == word) return code;
  }
  return -1;
}

}  // namespace zelk

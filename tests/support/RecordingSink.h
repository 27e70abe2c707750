// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "platform/LineSink.h"

namespace zelk::test {

// A line sink that keeps every line, for tests.
class RecordingSink final : public LineSink {
 public:
  void PrintLine(std::string_view text) override { lines.emplace_back(text); }

  std::vector<std::string> lines;
};

}  // namespace zelk::test

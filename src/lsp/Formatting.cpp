// SPDX-License-Identifier: MIT
#include "lsp/Formatting.h"

#include <algorithm>

#include "compiler/SourceFormat.h"

namespace zelk::lsp {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The edits of the compile lines first to last. The formatter works on the UTF-8 bytes: every
// byte it reads as punctuation, blank, digit or word character is ASCII, which UTF-8 never uses
// inside a longer character, and a line's length in bytes is at least its length in the
// characters of the compile.
Result FormatLines(const OpenDocument& document, int first, int last, PositionEncoding encoding) {
  const TextDocument& text = document.Text();
  const std::string& all = text.Text();
  JsonWriter edits;
  edits.BeginArray();
  std::string formatted;
  for (int line = first; line <= last; ++line) {
    const std::size_t start = text.CompileLineStart(line);
    const std::string_view before(all.data() + start, text.CompileLineEnd(line) - start);
    if (!FormatSourceLine(before, formatted)) continue;
    const std::size_t shorter = std::min(before.size(), formatted.size());
    std::size_t head = 0;
    while (head < shorter && before[head] == formatted[head]) ++head;
    std::size_t tail = 0;
    while (tail < shorter - head &&
           before[before.size() - 1 - tail] == formatted[formatted.size() - 1 - tail]) {
      ++tail;
    }
    // The edit starts and ends between characters.
    while (head > 0 && head < before.size() && IsContinuationByte(before[head])) --head;
    while (tail > 0 && IsContinuationByte(before[before.size() - tail])) --tail;
    const Range range{text.PositionAt(start + head, encoding),
                      text.PositionAt(start + before.size() - tail, encoding)};
    edits.BeginObject().Key("newText");
    edits.String(std::string_view(formatted).substr(head, formatted.size() - tail - head));
    Write(edits.Key("range"), range);
    edits.EndObject();
  }
  edits.EndArray();
  return Result(std::move(edits));
}

}  // namespace

Result DocumentFormatting(const OpenDocument& document, const ClientOptions& client) {
  return FormatLines(document, 1, document.Text().CompileLineCount(), client.encoding);
}

Result RangeFormatting(const OpenDocument& document, const Range& range,
                     const ClientOptions& client) {
  const TextDocument& text = document.Text();
  std::size_t from = text.OffsetAt({range.start.line, 0}, client.encoding);
  std::size_t to = text.OffsetAt(range.end, client.encoding);
  if (to < from) std::swap(from, to);
  if (range.end.character == 0 && range.end.line > range.start.line && to > from) --to;
  return FormatLines(document, text.CompileLineAt(from), text.CompileLineAt(to), client.encoding);
}

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
// The language server's message reader and document updates on arbitrary input. The first byte
// chooses what the rest is:
//
// 0: a byte stream for the message reader. Fed whole and fed in pieces of sizes taken from the
//    input, it gives the same messages and errors; every message and error goes to a server
//    after an initialize, which answers with well-formed JSON-RPC only.
// 1: message bodies separated by NUL bytes, each handed to a server after an initialize: a
//    request gets exactly one answer with its id, a notification none, a body that is not JSON
//    one parse error (until the exit notification).
// 2: a document and edits, each edit two positions (UTF-16 or UTF-8) and a text: the text after
//    every edit is what a plain model of the protocol's positions makes of it, and its line
//    index is the one made afresh; positions and offsets convert back and forth; every
//    label that the check finds lies in the document text exactly where its range says.

#include <cctype>
#include <cstdint>
#include <cstring>
#include <nlohmann/json.hpp>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "lsp/LanguageServer.h"
#include "lsp/MessageReader.h"
#include "lsp/OpenDocument.h"
#include "lsp/TextDocument.h"
#include "platform/Cp1252.h"

namespace zelk::fuzz {
namespace {

using lsp::Json;
using lsp::MessageReader;
using lsp::Position;
using lsp::PositionEncoding;

const std::string kInitialize =
    R"({"jsonrpc":"2.0","id":"init","method":"initialize","params":{"capabilities":{}}})";

// Reads small numbers off the front of the input.
struct Bytes {
  std::string_view data;
  unsigned Take(unsigned limit) {
    if (data.empty()) return 0;
    const auto value = static_cast<unsigned char>(data.front());
    data.remove_prefix(1);
    return value % limit;
  }
  std::string_view TakeText(std::size_t size) {
    size = std::min(size, data.size());
    const std::string_view text = data.substr(0, size);
    data.remove_prefix(size);
    return text;
  }
};

// A reader of the server's messages: it checks the whole JSON syntax of a body (strings,
// escapes, numbers, nesting) and keeps the raw text of the members that the checks look at,
// without building a document (the server's own parse of what it wrote would tell nothing
// more, at many times the cost).
class MessageShape {
 public:
  explicit MessageShape(std::string_view body) : m_text(body) {
    Blanks();
    wellFormed = Peek() == '{' && Object(true) && (Blanks(), m_at == m_text.size());
  }

  bool wellFormed = false;
  std::string_view jsonrpc, id, result, error, method, errorCode;  // raw texts; empty: absent

 private:
  char Peek() const { return m_at < m_text.size() ? m_text[m_at] : '\0'; }
  void Blanks() {
    while (m_at < m_text.size() && (m_text[m_at] == ' ' || m_text[m_at] == '\t' ||
                                    m_text[m_at] == '\n' || m_text[m_at] == '\r')) {
      ++m_at;
    }
  }
  bool Take(char c) {
    Blanks();
    if (Peek() != c) return false;
    ++m_at;
    return true;
  }
  bool Digits() {
    const std::size_t start = m_at;
    while (Peek() >= '0' && Peek() <= '9') ++m_at;
    return m_at > start;
  }
  bool Number() {
    if (Peek() == '-') ++m_at;
    if (Peek() == '0') {
      ++m_at;
    } else if (!Digits()) {
      return false;
    }
    if (Peek() == '.' && (++m_at, !Digits())) return false;
    if (Peek() == 'e' || Peek() == 'E') {
      ++m_at;
      if (Peek() == '+' || Peek() == '-') ++m_at;
      if (!Digits()) return false;
    }
    return true;
  }
  bool String() {
    if (!Take('"')) return false;
    while (m_at < m_text.size()) {
      const auto c = static_cast<unsigned char>(m_text[m_at++]);
      if (c == '"') return true;
      if (c < 0x20) return false;
      if (c != '\\') continue;
      const char e = Peek();
      ++m_at;
      if (e == 'u') {
        for (int k = 0; k < 4; ++k, ++m_at) {
          if (std::isxdigit(static_cast<unsigned char>(Peek())) == 0) return false;
        }
      } else if (std::string_view("\"\\/bfnrt").find(e) == std::string_view::npos) {
        return false;
      }
    }
    return false;
  }
  bool Literal(std::string_view word) {
    if (m_text.substr(m_at, word.size()) != word) return false;
    m_at += word.size();
    return true;
  }
  // A value; its raw text in raw.
  bool Value(std::string_view& raw, int depth) {
    Blanks();
    const std::size_t start = m_at;
    bool ok = false;
    switch (Peek()) {
      case '{':
        ok = depth < 64 && Object(false, depth + 1);
        break;
      case '[':
        ok = depth < 64 && Array(depth + 1);
        break;
      case '"':
        ok = String();
        break;
      case 't':
        ok = Literal("true");
        break;
      case 'f':
        ok = Literal("false");
        break;
      case 'n':
        ok = Literal("null");
        break;
      default:
        ok = Number();
        break;
    }
    raw = m_text.substr(start, m_at - start);
    return ok;
  }
  bool Array(int depth) {
    Take('[');
    if (Take(']')) return true;
    std::string_view item;
    do {
      if (!Value(item, depth)) return false;
    } while (Take(','));
    return Take(']');
  }
  // An object; the members of the message itself (top) and the code of its error are kept.
  bool Object(bool top, int depth = 0) {
    Take('{');
    if (Take('}')) return true;
    do {
      Blanks();
      const std::size_t keyStart = m_at;
      if (!String()) return false;
      const std::string_view key = m_text.substr(keyStart + 1, m_at - keyStart - 2);
      if (!Take(':')) return false;
      std::string_view value;
      if (top) m_inError = key == "error";
      if (!Value(value, depth)) return false;
      if (top) m_inError = false;
      if (top) {
        for (auto [name, member] : {std::pair{"jsonrpc", &jsonrpc}, std::pair{"id", &id},
                                    std::pair{"result", &result}, std::pair{"error", &error},
                                    std::pair{"method", &method}}) {
          if (key == name) *member = value;
        }
      } else if (m_inError && depth == 1 && key == "code") {
        errorCode = value;
      }
    } while (Take(','));
    return Take('}');
  }

  std::string_view m_text;
  std::size_t m_at = 0;
  bool m_inError = false;
};

// What an answer of the server holds for the checks: its id and error code as JSON texts.
struct Answer {
  std::string id;
  std::string errorCode;
};

// Checks that the server sends well-formed messages and counts its answers.
struct Outbox {
  std::vector<Answer> answers;
  void Receive(const std::string& body) {
    const MessageShape message(body);
    ZELK_FUZZ_CHECK(message.wellFormed, "the server sent no JSON object: %s", body.c_str());
    ZELK_FUZZ_CHECK(message.jsonrpc == "\"2.0\"", "no jsonrpc 2.0: %s", body.c_str());
    if (!message.id.empty()) {
      ZELK_FUZZ_CHECK(message.result.empty() != message.error.empty(),
                      "an answer needs a result or an error: %s", body.c_str());
      answers.push_back({std::string(message.id), std::string(message.errorCode)});
    } else {
      ZELK_FUZZ_CHECK(!message.method.empty(), "a notification needs a method: %s",
                      body.c_str());
    }
  }
};

// The events of a stream fed whole (seed 0) or in pieces of 1 to 97 bytes, their sizes drawn
// from the seed.
std::vector<MessageReader::Event> ReadAll(std::string_view stream, unsigned seed) {
  MessageReader reader;
  std::vector<MessageReader::Event> events;
  MessageReader::Event event;
  std::uint32_t state = seed;
  while (!stream.empty()) {
    state = state * 1103515245u + 12345u;
    const std::size_t size = seed == 0 ? stream.size() : 1 + (state >> 16) % 97;
    reader.Feed(stream.substr(0, size));
    stream.remove_prefix(std::min(size, stream.size()));
    while (reader.Next(event)) events.push_back(event);
  }
  return events;
}

void FuzzStream(Bytes input) {
  const unsigned seed = 1 + input.Take(255);
  const std::vector<MessageReader::Event> whole = ReadAll(input.data, 0);
  const std::vector<MessageReader::Event> pieces = ReadAll(input.data, seed);
  ZELK_FUZZ_CHECK(whole.size() == pieces.size(), "%zu events whole, %zu in pieces", whole.size(),
                  pieces.size());
  for (std::size_t i = 0; i < whole.size(); ++i) {
    ZELK_FUZZ_CHECK(whole[i].kind == pieces[i].kind && whole[i].body == pieces[i].body,
                    "event %zu differs when fed in pieces", i);
  }

  Outbox outbox;
  lsp::LanguageServer server([&](const std::string& body) { outbox.Receive(body); });
  server.HandleMessage(kInitialize);
  for (const MessageReader::Event& event : whole) {
    if (server.Exited()) break;
    if (event.kind == MessageReader::Event::Kind::Message) {
      server.HandleMessage(event.body);
    } else {
      const std::size_t before = outbox.answers.size();
      server.HandleUnreadable(event.detail);
      ZELK_FUZZ_CHECK(outbox.answers.size() == before + 1, "an unreadable message unanswered");
    }
  }
}

void FuzzBodies(Bytes input) {
  Outbox outbox;
  lsp::LanguageServer server([&](const std::string& body) { outbox.Receive(body); });
  server.HandleMessage(kInitialize);
  std::string_view rest = input.data;
  while (!server.Exited()) {
    const std::size_t end = rest.find('\0');
    const std::string_view body = rest.substr(0, end);
    // What JSON-RPC makes of the body: a request, a notification, or no JSON at all.
    const Json parsed = Json::parse(body, nullptr, false);
    const bool isObject = parsed.is_object();
    const bool hasMethod = isObject && parsed.contains("method");
    const bool request = hasMethod && parsed.contains("id") &&
                         (parsed["id"].is_number_integer() || parsed["id"].is_string());
    const bool notification = hasMethod && !parsed.contains("id");
    const std::size_t before = outbox.answers.size();
    server.HandleMessage(body);
    const std::size_t answered = outbox.answers.size() - before;
    if (request) {
      ZELK_FUZZ_CHECK(answered == 1 && outbox.answers.back().id == parsed["id"].dump(),
                      "a request got %zu answers: %.*s", answered, static_cast<int>(body.size()),
                      body.data());
    } else if (notification) {
      ZELK_FUZZ_CHECK(answered == 0, "a notification was answered: %.*s",
                      static_cast<int>(body.size()), body.data());
    } else if (parsed.is_discarded()) {
      ZELK_FUZZ_CHECK(answered == 1 && outbox.answers.back().errorCode == "-32700",
                      "a body that is not JSON got no parse error");
    }
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
}

// The protocol's positions, computed the plain way: walk the whole text from its start.
std::size_t CharacterLength(std::string_view text, std::size_t i, int& units) {
  const auto c = static_cast<unsigned char>(text[i]);
  std::size_t n = 1;
  if ((c & 0xE0) == 0xC0) {
    n = 2;
  } else if ((c & 0xF0) == 0xE0) {
    n = 3;
  } else if ((c & 0xF8) == 0xF0) {
    n = 4;
  }
  if (i + n > text.size()) n = 1;
  char32_t cp = n == 1 ? c : c & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k) {
    if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) {
      units = 1;
      return 1;
    }
    cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
  }
  static constexpr char32_t kMinimum[5] = {0, 0, 0x80, 0x800, 0x10000};
  if (n > 1 && (cp < kMinimum[n] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))) n = 1;
  units = n == 4 ? 2 : 1;
  return n;
}

std::size_t PlainOffset(std::string_view text, const Position& p, PositionEncoding encoding) {
  std::size_t i = 0;
  for (std::int64_t line = 0; line < p.line; ++line) {
    while (i < text.size() && text[i] != '\n' && text[i] != '\r') ++i;
    if (i == text.size()) return i;
    i += text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n' ? 2 : 1;
  }
  std::int64_t units = 0;
  while (i < text.size() && text[i] != '\n' && text[i] != '\r') {
    int width = 0;
    const std::size_t length = CharacterLength(text, i, width);
    const std::int64_t step =
        encoding == PositionEncoding::Utf8 ? static_cast<std::int64_t>(length) : width;
    if (units + step > p.character) break;
    units += step;
    i += length;
  }
  return i;
}

// The index kept up to date by the edits is the index of the text made afresh.
void CheckIndexIsFresh(const lsp::TextDocument& doc) {
  const lsp::TextDocument fresh(doc.Text());
  ZELK_FUZZ_CHECK(
      doc.LineCount() == fresh.LineCount() && doc.CompileLineCount() == fresh.CompileLineCount(),
      "%lld lines after the edits, %lld afresh", static_cast<long long>(doc.LineCount()),
      static_cast<long long>(fresh.LineCount()));
  for (std::int64_t line = 0; line < doc.LineCount(); ++line) {
    ZELK_FUZZ_CHECK(doc.OffsetAt({line, 0}, PositionEncoding::Utf8) ==
                        fresh.OffsetAt({line, 0}, PositionEncoding::Utf8),
                    "line %lld starts elsewhere than afresh", static_cast<long long>(line));
  }
  for (int line = 1; line <= doc.CompileLineCount(); ++line) {
    ZELK_FUZZ_CHECK(doc.CompileLineStart(line) == fresh.CompileLineStart(line),
                    "compile line %d starts elsewhere than afresh", line);
  }
}

// Positions and offsets convert back and forth; the compile's lines start after line feeds.
void CheckPositions(const lsp::TextDocument& doc) {
  const std::string& text = doc.Text();
  ZELK_FUZZ_CHECK(doc.CharactersBetween(0, text.size()) == Utf8ToCp1252(text).size(),
                  "characters and Windows-1252 bytes differ");
  for (const PositionEncoding encoding : {PositionEncoding::Utf16, PositionEncoding::Utf8}) {
    for (std::size_t i = 0; i < text.size();) {
      const Position p = doc.PositionAt(i, encoding);
      const bool lineEnd = text[i] == '\n' || text[i] == '\r';
      ZELK_FUZZ_CHECK(lineEnd || doc.OffsetAt(p, encoding) == i,
                      "offset %zu to line %lld character %lld and back gives %zu", i,
                      static_cast<long long>(p.line), static_cast<long long>(p.character),
                      doc.OffsetAt(p, encoding));
      i += doc.Advance(i, 1, text.size()) - i;
    }
  }
  for (int line = 1; line <= doc.CompileLineCount(); ++line) {
    const std::size_t start = doc.CompileLineStart(line);
    ZELK_FUZZ_CHECK(start == 0 || text[start - 1] == '\n', "compile line %d starts at %zu", line,
                    start);
    ZELK_FUZZ_CHECK(doc.CompileLineAt(start) == line, "compile line %d", line);
  }
}

void FuzzEdits(Bytes input) {
  lsp::OpenDocument document("file:///fuzz.scr", 1, std::string(input.TakeText(input.Take(256))));
  std::string model = document.Text().Text();
  // At most 256 edits: each is checked against the whole text.
  for (int edits = 0; edits < 256 && !input.data.empty(); ++edits) {
    const PositionEncoding encoding =
        input.Take(2) == 0 ? PositionEncoding::Utf16 : PositionEncoding::Utf8;
    lsp::Range range;
    range.start = {input.Take(24), input.Take(40)};
    range.end = {input.Take(24), input.Take(40)};
    const std::string_view text = input.TakeText(input.Take(24));
    std::size_t from = PlainOffset(model, range.start, encoding);
    std::size_t to = PlainOffset(model, range.end, encoding);
    if (to < from) std::swap(from, to);
    model.replace(from, to - from, text);
    document.Text().Edit(range, text, encoding);
    ZELK_FUZZ_CHECK(document.Text().Text() == model, "the edit went elsewhere than the model's");
    CheckIndexIsFresh(document.Text());
  }
  CheckPositions(document.Text());
  document.Recheck();
  const SourceCheck& check = document.Check();
  for (const auto* sites : {&check.definitions, &check.references}) {
    for (const LabelSite& site : *sites) {
      for (const PositionEncoding encoding : {PositionEncoding::Utf16, PositionEncoding::Utf8}) {
        const lsp::Range r = document.SiteRange(site, encoding);
        const std::size_t a = document.Text().OffsetAt(r.start, encoding);
        const std::size_t b = document.Text().OffsetAt(r.end, encoding);
        ZELK_FUZZ_CHECK(document.Text().Text().substr(a, b - a) == site.name,
                        "label %s on line %d is not where its range says", site.name.c_str(),
                        site.line);
      }
    }
  }
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk::fuzz;
  if (size == 0 || size > 64 * 1024) return 0;
  Bytes input{std::string_view(reinterpret_cast<const char*>(data), size)};
  switch (input.Take(3)) {
    case 0:
      FuzzStream(input);
      break;
    case 1:
      FuzzBodies(input);
      break;
    default:
      FuzzEdits(input);
      break;
  }
  return 0;
}

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
// 3: a document (up to a NUL byte), then requests on it, chosen by a byte each and placed by the
//    bytes after it (positions, ranges, edits of the document): each request gets a result,
//    never an error; every position, range and folded line of every message lies inside the
//    document as it stands; semantic tokens lie inside their lines, in order, and the change
//    that a delta request answers, made to the tokens sent before, gives the full tokens.

#include <cctype>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FuzzSupport.h"
#include "lsp/JsonWriter.h"
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
// What a message says of places in the document, for the checks of the requests: every object
// with a line and a character, every range, every folding range, and the numbers of semantic
// tokens (the data of a full answer, the edits of a delta).
struct Places {
  struct TokenEdit {
    std::int64_t start = 0;
    std::int64_t deleteCount = 0;
    std::vector<std::int64_t> data;
  };
  std::vector<Position> positions;
  std::vector<lsp::Range> ranges;
  std::vector<std::pair<std::int64_t, std::int64_t>> folds;  // startLine, endLine
  std::vector<std::int64_t> data;
  bool hasData = false;
  std::vector<TokenEdit> edits;
  bool hasEdits = false;
  std::string resultId;
  void Clear() { *this = Places(); }
};

class MessageShape {
 public:
  // With places, what the message says of places is added to it.
  explicit MessageShape(std::string_view body, Places* places = nullptr)
      : m_text(body), m_places(places) {
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
  // The members of an object that tell of places, where they are integers (or positions).
  struct Members {
    std::optional<std::int64_t> line, character, startLine, endLine, start, deleteCount;
    std::optional<Position> startPosition, endPosition;
    bool isPosition = false;
    Position position;
  };

  static std::optional<std::int64_t> Integer(std::string_view raw) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(raw.data(), raw.data() + raw.size(), value);
    if (error != std::errc() || end != raw.data() + raw.size()) return std::nullopt;
    return value;
  }

  // A value; its raw text in raw. An object's places go to members, an array of integers to
  // numbers.
  bool Value(std::string_view& raw, int depth, Members* members = nullptr,
             std::vector<std::int64_t>* numbers = nullptr, bool* integers = nullptr) {
    Blanks();
    const std::size_t start = m_at;
    bool ok = false;
    switch (Peek()) {
      case '{':
        ok = depth < 64 && Object(false, depth + 1, members);
        break;
      case '[':
        ok = depth < 64 && Array(depth + 1, numbers, integers);
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
  // An array; with numbers, its items when they are all integers (numbers is cleared and
  // integers false otherwise).
  bool Array(int depth, std::vector<std::int64_t>* numbers, bool* integers = nullptr) {
    Take('[');
    if (Take(']')) return true;
    std::string_view item;
    do {
      if (!Value(item, depth)) return false;
      if (numbers != nullptr && *integers) {
        const auto number = Integer(item);
        *integers = number.has_value();
        numbers->push_back(number.value_or(0));
      }
    } while (Take(','));
    if (numbers != nullptr && !*integers) numbers->clear();
    return Take(']');
  }
  // An object; the members of the message itself (top) and the code of its error are kept, and
  // with places, what it says of them.
  bool Object(bool top, int depth = 0, Members* own = nullptr) {
    Take('{');
    Members members;
    std::vector<std::int64_t> data;
    bool hasData = false;
    std::string_view resultId;
    if (Take('}')) return Close(members, data, hasData, resultId, own);
    do {
      Blanks();
      const std::size_t keyStart = m_at;
      if (!String()) return false;
      const std::string_view key = m_text.substr(keyStart + 1, m_at - keyStart - 2);
      if (!Take(':')) return false;
      std::string_view value;
      if (top) m_inError = key == "error";
      if (m_places == nullptr) {
        if (!Value(value, depth)) return false;
      } else if (key == "start" || key == "end") {
        Members inner;
        if (!Value(value, depth, &inner)) return false;
        if (inner.isPosition) {
          (key == "start" ? members.startPosition : members.endPosition) = inner.position;
        }
        if (key == "start") members.start = Integer(value);
      } else if (key == "data") {
        Blanks();
        hasData = Peek() == '[';
        if (!Value(value, depth, nullptr, hasData ? &data : nullptr, &hasData)) return false;
      } else {
        if (!Value(value, depth)) return false;
        if (key == "line") members.line = Integer(value);
        if (key == "character") members.character = Integer(value);
        if (key == "startLine") members.startLine = Integer(value);
        if (key == "endLine") members.endLine = Integer(value);
        if (key == "deleteCount") members.deleteCount = Integer(value);
        if (key == "edits") m_places->hasEdits = true;
        if (key == "resultId") resultId = value;
      }
      if (top) m_inError = false;
      if (top) {
        for (auto [name, member] :
             {std::pair{"jsonrpc", &jsonrpc}, std::pair{"id", &id}, std::pair{"result", &result},
              std::pair{"error", &error}, std::pair{"method", &method}}) {
          if (key == name) *member = value;
        }
      } else if (m_inError && depth == 1 && key == "code") {
        errorCode = value;
      }
    } while (Take(','));
    return Take('}') && Close(members, data, hasData, resultId, own);
  }

  // Adds what a whole object said of places.
  bool Close(const Members& members, std::vector<std::int64_t>& data, bool hasData,
             std::string_view resultId, Members* own) {
    if (m_places == nullptr) return true;
    if (members.line && members.character) {
      const Position position{*members.line, *members.character};
      m_places->positions.push_back(position);
      if (own != nullptr) {
        own->isPosition = true;
        own->position = position;
      }
    }
    if (members.startPosition && members.endPosition) {
      m_places->ranges.push_back({*members.startPosition, *members.endPosition});
    }
    if (members.startLine && members.endLine) {
      m_places->folds.emplace_back(*members.startLine, *members.endLine);
    }
    if (members.start && members.deleteCount) {
      m_places->edits.push_back({*members.start, *members.deleteCount, std::move(data)});
    } else if (hasData) {
      m_places->data = std::move(data);
      m_places->hasData = true;
    }
    if (!resultId.empty()) m_places->resultId = std::string(resultId);
    return true;
  }

  std::string_view m_text;
  Places* m_places;
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
  Places* places = nullptr;  // where what the messages say of places goes, when it is kept
  void Receive(const std::string& body) {
    const MessageShape message(body, places);
    ZELK_FUZZ_CHECK(message.wellFormed, "the server sent no JSON object: %s", body.c_str());
    ZELK_FUZZ_CHECK(message.jsonrpc == "\"2.0\"", "no jsonrpc 2.0: %s", body.c_str());
    if (!message.id.empty()) {
      ZELK_FUZZ_CHECK(message.result.empty() != message.error.empty(),
                      "an answer needs a result or an error: %s", body.c_str());
      answers.push_back({std::string(message.id), std::string(message.errorCode)});
    } else {
      ZELK_FUZZ_CHECK(!message.method.empty(), "a notification needs a method: %s", body.c_str());
    }
  }
};

// The servers of the inputs, one for each position encoding: each is initialized once, and
// rewound after every input to its state just after that (every member of its state: documents,
// switches, counters, phase), so that every input meets a server just initialized and every
// finding reproduces from its input alone.
class Servers {
 public:
  static lsp::LanguageServer& For(Outbox& outbox, PositionEncoding encoding) {
    static Servers servers;
    servers.m_outbox = &outbox;
    return encoding == PositionEncoding::Utf8 ? servers.m_utf8 : servers.m_utf16;
  }

 private:
  Servers() {
    Initialize(m_utf16, R"({"capabilities":{}})");
    Initialize(m_utf8, R"({"capabilities":{"general":{"positionEncodings":["utf-8"]}}})");
  }
  void Initialize(lsp::LanguageServer& server, const std::string& params) {
    Outbox outbox;
    m_outbox = &outbox;
    server.HandleMessage(R"({"jsonrpc":"2.0","id":"init","method":"initialize","params":)" +
                         params + "}");
    ZELK_FUZZ_CHECK(outbox.answers.size() == 1 && outbox.answers[0].errorCode.empty(),
                    "initialize failed");
    server.Checkpoint();
    m_outbox = nullptr;
  }
  void Receive(const std::string& body) { m_outbox->Receive(body); }

  Outbox* m_outbox = nullptr;
  lsp::LanguageServer m_utf16{[this](const std::string& body) { Receive(body); }};
  lsp::LanguageServer m_utf8{[this](const std::string& body) { Receive(body); }};
};

// Rewinds a server when the input is done, however it ends: what the input allocated is freed
// within its own run, so that libFuzzer's count of allocations and frees sees each input alone.
class RewindAfterInput {
 public:
  explicit RewindAfterInput(lsp::LanguageServer& server) : m_server(server) {}
  ~RewindAfterInput() { m_server.Rewind(); }
  RewindAfterInput(const RewindAfterInput&) = delete;
  RewindAfterInput& operator=(const RewindAfterInput&) = delete;

 private:
  lsp::LanguageServer& m_server;
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
  lsp::LanguageServer& server = Servers::For(outbox, PositionEncoding::Utf16);
  const RewindAfterInput rewind(server);
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
  lsp::LanguageServer& server = Servers::For(outbox, PositionEncoding::Utf16);
  const RewindAfterInput rewind(server);
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

// The requests on a document, each with the members it needs.
struct Requester {
  static constexpr const char* kUri = "file:///fuzz.scr";
  lsp::LanguageServer* server = nullptr;
  Outbox* outbox = nullptr;
  int id = 0;
  int version = 1;

  std::string Envelope(const char* method, const std::string& params, bool request) {
    std::string message = R"({"jsonrpc":"2.0",)";
    if (request) message += R"("id":)" + std::to_string(++id) + ",";
    return message + R"("method":")" + method + R"(","params":)" + params + "}";
  }
  static std::string Document() {
    return std::string(R"({"textDocument":{"uri":")") + kUri + "\"}}";
  }
  static std::string Place(const Position& p) {
    return R"({"line":)" + std::to_string(p.line) + R"(,"character":)" +
           std::to_string(p.character) + "}";
  }
  static std::string Span(const lsp::Range& r) {
    return R"({"start":)" + Place(r.start) + R"(,"end":)" + Place(r.end) + "}";
  }
  // Sends a request: its one answer must be a result.
  void Ask(const char* method, const std::string& extra) {
    std::string params = Document();
    params.insert(params.size() - 1, extra);
    const std::size_t before = outbox->answers.size();
    server->HandleMessage(Envelope(method, params, true));
    ZELK_FUZZ_CHECK(
        outbox->answers.size() == before + 1 && outbox->answers.back().id == std::to_string(id) &&
            outbox->answers.back().errorCode.empty(),
        "%s got no result (error %s)", method,
        outbox->answers.size() > before ? outbox->answers.back().errorCode.c_str() : "none");
  }
  void Notify(const char* method, const std::string& params) {
    server->HandleMessage(Envelope(method, params, false));
  }
};

// Valid UTF-8 for a JSON text: each byte that begins no valid sequence is taken as a Windows-1252
// character.
std::string AsUtf8(std::string_view bytes) {
  std::string text;
  for (std::size_t i = 0; i < bytes.size();) {
    const std::size_t length = DecodeUtf8(bytes, i).length;
    if (length > 0) {
      text.append(bytes, i, length);
      i += length;
    } else {
      text += Cp1252ToUtf8(bytes.substr(i, 1));
      ++i;
    }
  }
  return text;
}

std::string Quoted(std::string_view text) {
  lsp::JsonWriter out;
  out.String(text);
  return out.Take();
}

// The lengths of the document's lines in the encoding's units.
std::vector<std::int64_t> LineLengths(const lsp::TextDocument& doc, PositionEncoding encoding) {
  std::vector<std::int64_t> lengths;
  for (std::int64_t line = 0; line < doc.LineCount(); ++line) {
    const std::size_t end =
        doc.OffsetAt({line, std::numeric_limits<std::int64_t>::max()}, encoding);
    lengths.push_back(doc.PositionAt(end, encoding).character);
  }
  return lengths;
}

// Every place that the messages gave lies inside the document.
void CheckPlaces(const Places& places, const std::vector<std::int64_t>& lengths) {
  const auto count = static_cast<std::int64_t>(lengths.size());
  const auto inside = [&](const Position& p) {
    return p.line >= 0 && p.line < count && p.character >= 0 &&
           p.character <= lengths[static_cast<std::size_t>(p.line)];
  };
  for (const Position& p : places.positions) {
    ZELK_FUZZ_CHECK(inside(p), "line %lld character %lld is outside the document (%lld lines)",
                    static_cast<long long>(p.line), static_cast<long long>(p.character),
                    static_cast<long long>(count));
  }
  for (const lsp::Range& r : places.ranges) {
    ZELK_FUZZ_CHECK(r.start.line < r.end.line ||
                        (r.start.line == r.end.line && r.start.character <= r.end.character),
                    "a range ends before it starts, on line %lld",
                    static_cast<long long>(r.start.line));
  }
  for (const auto& [first, last] : places.folds) {
    ZELK_FUZZ_CHECK(first >= 0 && first <= last && last < count, "lines %lld to %lld folded",
                    static_cast<long long>(first), static_cast<long long>(last));
  }
}

// Semantic tokens lie inside their lines, in order, each of a type and modifiers of the legend.
void CheckTokens(const std::vector<std::int64_t>& data, const std::vector<std::int64_t>& lengths) {
  ZELK_FUZZ_CHECK(data.size() % 5 == 0, "%zu numbers of tokens", data.size());
  std::int64_t line = 0;
  std::int64_t start = 0;
  std::int64_t end = 0;  // of the token before on the same line
  for (std::size_t i = 0; i < data.size(); i += 5) {
    const bool sameLine = data[i] == 0;
    line += data[i];
    start = sameLine ? start + data[i + 1] : data[i + 1];
    ZELK_FUZZ_CHECK(data[i] >= 0 && data[i + 1] >= 0 && data[i + 2] > 0,
                    "token %zu: %lld %lld %lld", i / 5, static_cast<long long>(data[i]),
                    static_cast<long long>(data[i + 1]), static_cast<long long>(data[i + 2]));
    ZELK_FUZZ_CHECK(!sameLine || i == 0 || start >= end, "token %zu overlaps the one before",
                    i / 5);
    end = start + data[i + 2];
    ZELK_FUZZ_CHECK(line < static_cast<std::int64_t>(lengths.size()) &&
                        end <= lengths[static_cast<std::size_t>(line)],
                    "token %zu outside its line %lld", i / 5, static_cast<long long>(line));
    ZELK_FUZZ_CHECK(data[i + 3] >= 0 && data[i + 3] < 9 && data[i + 4] >= 0 && data[i + 4] < 2,
                    "token %zu of type %lld, modifiers %lld", i / 5,
                    static_cast<long long>(data[i + 3]), static_cast<long long>(data[i + 4]));
  }
}

void FuzzRequests(Bytes input) {
  const PositionEncoding encoding =
      input.Take(2) == 0 ? PositionEncoding::Utf16 : PositionEncoding::Utf8;
  const std::size_t end = input.data.find('\0');
  const std::string text = AsUtf8(input.data.substr(0, end));
  input.data.remove_prefix(end == std::string_view::npos ? input.data.size() : end + 1);

  Places places;
  Outbox outbox;
  outbox.places = &places;
  lsp::LanguageServer& server = Servers::For(outbox, encoding);
  const RewindAfterInput rewind(server);
  Requester ask{&server, &outbox};
  lsp::TextDocument model(text);
  std::vector<std::int64_t> lengths = LineLengths(model, encoding);
  ask.Notify("textDocument/didOpen", std::string(R"({"textDocument":{"uri":")") + Requester::kUri +
                                         R"(","languageId":"zelkscript","version":1,"text":)" +
                                         Quoted(text) + "}}");
  std::vector<std::int64_t> tokens;  // the tokens last sent, and their id
  std::string tokensId;
  // A position of the document or just past it: lines one after the last, characters past the
  // end of the line.
  const auto position = [&]() {
    const auto line = static_cast<std::int64_t>(input.Take(256)) % (model.LineCount() + 2);
    return Position{line, input.Take(256)};
  };
  const auto range = [&]() { return lsp::Range{position(), position()}; };
  const auto at = [&]() { return R"(,"position":)" + Requester::Place(position()); };
  const auto over = [&]() { return R"(,"range":)" + Requester::Span(range()); };
  for (int requests = 0; requests < 16 && !input.data.empty(); ++requests) {
    CheckPlaces(places, lengths);
    places.Clear();
    switch (input.Take(14)) {
      case 0:
        ask.Ask("textDocument/signatureHelp", at());
        break;
      case 1:
        ask.Ask("textDocument/inlayHint", over());
        break;
      case 2:
        ask.Ask("textDocument/foldingRange", "");
        break;
      case 3:
        ask.Ask("textDocument/documentHighlight", at());
        break;
      case 4:
        ask.Ask("textDocument/completion", at());
        break;
      case 5:
        ask.Ask("textDocument/hover", at());
        break;
      case 6:
        ask.Ask("textDocument/formatting", R"(,"options":{"tabSize":4,"insertSpaces":true})");
        break;
      case 7:
        ask.Ask("textDocument/rangeFormatting",
                over() + R"(,"options":{"tabSize":4,"insertSpaces":true})");
        break;
      case 8: {
        // An edit of the document, the model's first.
        const lsp::Range r = range();
        const std::string inserted = AsUtf8(input.TakeText(input.Take(16)));
        model.Edit(r, inserted, encoding);
        lengths = LineLengths(model, encoding);
        ask.Notify("textDocument/didChange",
                   R"({"textDocument":{"uri":")" + std::string(Requester::kUri) +
                       R"(","version":)" + std::to_string(++ask.version) +
                       R"(},"contentChanges":[{"range":)" + Requester::Span(r) + R"(,"text":)" +
                       Quoted(inserted) + "}]}");
        break;
      }
      case 9:
      case 10: {
        // Semantic tokens: whole, or as a change from those sent before (an id of none
        // sent gives them whole).
        const bool delta = input.Take(4) != 0;
        const std::string previous = input.Take(8) == 0 ? "x" + tokensId : tokensId;
        if (delta) {
          ask.Ask("textDocument/semanticTokens/full/delta",
                  R"(,"previousResultId":)" + Quoted(previous));
        } else {
          ask.Ask("textDocument/semanticTokens/full", "");
        }
        ZELK_FUZZ_CHECK(!places.resultId.empty() && places.resultId != "\"" + tokensId + "\"",
                        "semantic tokens without a new result id");
        if (places.hasEdits) {
          ZELK_FUZZ_CHECK(delta && previous == tokensId, "edits of tokens that were not sent");
          for (auto e = places.edits.rbegin(); e != places.edits.rend(); ++e) {
            ZELK_FUZZ_CHECK(
                e->start >= 0 && e->deleteCount >= 0 &&
                    static_cast<std::size_t>(e->start + e->deleteCount) <= tokens.size(),
                "an edit of tokens %lld+%lld of %zu", static_cast<long long>(e->start),
                static_cast<long long>(e->deleteCount), tokens.size());
            const auto from = tokens.begin() + e->start;
            tokens.erase(from, from + e->deleteCount);
            tokens.insert(tokens.begin() + e->start, e->data.begin(), e->data.end());
          }
          CheckTokens(tokens, lengths);
          // The tokens as changed are the tokens whole.
          places.Clear();
          ask.Ask("textDocument/semanticTokens/full", "");
          ZELK_FUZZ_CHECK(places.hasData && places.data == tokens,
                          "the tokens changed by the delta are not the tokens whole");
        } else {
          ZELK_FUZZ_CHECK(places.hasData, "semantic tokens without data");
          tokens = places.data;
          CheckTokens(tokens, lengths);
        }
        tokensId = places.resultId.substr(1, places.resultId.size() - 2);
        break;
      }
      case 11:
        ask.Ask("textDocument/codeAction", over() + R"(,"context":{"diagnostics":[]})");
        break;
      case 12:
        ask.Ask("textDocument/codeLens", "");
        break;
      default:
        ask.Ask("textDocument/documentSymbol", "");
        break;
    }
  }
  CheckPlaces(places, lengths);
}

}  // namespace
}  // namespace zelk::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace zelk::fuzz;
  if (size == 0 || size > 64 * 1024) return 0;
  Bytes input{std::string_view(reinterpret_cast<const char*>(data), size)};
  switch (input.Take(4)) {
    case 0:
      FuzzStream(input);
      break;
    case 1:
      FuzzBodies(input);
      break;
    case 2:
      FuzzEdits(input);
      break;
    default:
      FuzzRequests(input);
      break;
  }
  return 0;
}

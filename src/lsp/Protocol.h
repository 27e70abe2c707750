// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <initializer_list>
#include <nlohmann/json.hpp>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "lsp/JsonWriter.h"
#include "lsp/TextDocument.h"

// The types of the language server protocol that the server reads and writes, with their JSON
// conversion, and the protocol's enumerations. A reader throws RequestError (invalid params)
// for a member that is missing or has the wrong type.
namespace zelk::lsp {

using Json = nlohmann::json;

// The error codes of JSON-RPC and of the protocol.
enum ErrorCode : int {
  PARSE_ERROR = -32700,
  INVALID_REQUEST = -32600,
  METHOD_NOT_FOUND = -32601,
  INVALID_PARAMS = -32602,
  INTERNAL_ERROR = -32603,
  SERVER_NOT_INITIALIZED = -32002,
  REQUEST_FAILED = -32803,
};

// A request that cannot be answered with a result: the code and message of its error answer.
class RequestError : public std::runtime_error {
 public:
  RequestError(int code, const std::string& message) : std::runtime_error(message), m_code(code) {}
  int Code() const { return m_code; }

 private:
  int m_code;
};

// The protocol's enumerations, as numbers on the wire.
enum class DiagnosticSeverity : int { Error = 1, Warning = 2, Information = 3, Hint = 4 };
enum class DiagnosticTag : int { Unnecessary = 1, Deprecated = 2 };
enum class MessageType : int { Error = 1, Warning = 2, Info = 3, Log = 4 };
enum class TextDocumentSyncKind : int { None = 0, Full = 1, Incremental = 2 };
enum class CompletionItemKind : int {
  Function = 3,
  Property = 10,
  Keyword = 14,
  Reference = 18,
  EnumMember = 20,
  Constant = 21,
};
enum class InsertTextFormat : int { PlainText = 1, Snippet = 2 };
enum class SymbolKind : int { Function = 12 };
enum class DocumentHighlightKind : int { Text = 1, Read = 2, Write = 3 };
enum class InlayHintKind : int { Type = 1, Parameter = 2 };
enum class CodeActionTriggerKind : int { Invoked = 1, Automatic = 2 };

// The kinds of folding ranges and code actions are strings.
inline constexpr const char* FOLDING_COMMENT = "comment";
inline constexpr const char* FOLDING_REGION = "region";
inline constexpr const char* CODE_ACTION_QUICK_FIX = "quickfix";

// The result member of an answer: a value, or the JSON text of one that a handler wrote
// directly (see JsonWriter).
class Result {
 public:
  Result(Json value) : m_value(std::move(value)) {}
  Result(std::nullptr_t) : m_value(nullptr) {}
  explicit Result(JsonWriter&& written) : m_text(written.Take()), m_written(true) {}

  bool Written() const { return m_written; }
  const Json& Value() const { return m_value; }
  Json& Value() { return m_value; }
  std::string& Text() { return m_text; }

 private:
  Json m_value;
  std::string m_text;
  bool m_written = false;
};

// The members of positions and ranges, written directly.
void Write(JsonWriter& out, const Position& position);
void Write(JsonWriter& out, const Range& range);

void to_json(Json& json, const Position& position);
void to_json(Json& json, const Range& range);
Json ToJson(const Position& position);
Json ToJson(const Range& range);

// The members of params by their path ("textDocument", "uri").
const Json& Member(const Json& params, std::initializer_list<const char*> path);
// The member at the path, or nullptr where the path ends early.
const Json* Find(const Json& params, std::initializer_list<const char*> path);
const std::string& ReadString(const Json& params, std::initializer_list<const char*> path);
std::int64_t ReadInteger(const Json& value, const char* name);
// A position: a line and a character, both integers of at least 0.
Position ReadPosition(const Json& value);
Range ReadRange(const Json& value);
// True when the member at the path is the boolean true.
bool ReadFlag(const Json& params, std::initializer_list<const char*> path);
// True when a list of strings at the path holds the word.
bool ListHolds(const Json& params, std::initializer_list<const char*> path, const char* word);

RequestError InvalidParams(const std::string& what);

// textDocument/... requests about a document.
struct TextDocumentParams {
  std::string uri;
  static TextDocumentParams Read(const Json& params);
};

// textDocument/... requests about a place in a document.
struct TextDocumentPositionParams {
  std::string uri;
  Position position;
  static TextDocumentPositionParams Read(const Json& params);
};

// textDocument/... requests about a range of a document.
struct TextDocumentRangeParams {
  std::string uri;
  Range range;
  static TextDocumentRangeParams Read(const Json& params);
};

struct Diagnostic {
  Range range;
  DiagnosticSeverity severity = DiagnosticSeverity::Error;
  bool unnecessary = false;
  std::string message;  // UTF-8
  // What the finding is, for the quick fixes that mend it (none when null): sent as the
  // diagnostic's data, which clients give back as it was and do not show.
  const char* fixKind = nullptr;
};
void to_json(Json& json, const Diagnostic& diagnostic);

struct TextEdit {
  Range range;
  std::string newText;
};
void to_json(Json& json, const TextEdit& edit);

struct Location {
  std::string uri;
  Range range;
};
void to_json(Json& json, const Location& location);
void Write(JsonWriter& out, const Location& location);

struct FoldingRange {
  std::int64_t startLine = 0;
  std::int64_t endLine = 0;
  const char* kind = FOLDING_REGION;
};
void Write(JsonWriter& out, const FoldingRange& range);

struct DocumentHighlight {
  Range range;
  DocumentHighlightKind kind = DocumentHighlightKind::Text;
};
void Write(JsonWriter& out, const DocumentHighlight& highlight);

struct InlayHint {
  Position position;
  std::string label;
  InlayHintKind kind = InlayHintKind::Parameter;
  bool paddingLeft = false;
  bool paddingRight = false;
};
void Write(JsonWriter& out, const InlayHint& hint);

// A list of items, written directly.
template <typename Item>
Result WrittenList(const std::vector<Item>& items) {
  JsonWriter out(items.size() * 96);
  out.BeginArray();
  for (const Item& item : items) Write(out, item);
  out.EndArray();
  return Result(std::move(out));
}

// What a command names: a title, the command's name and its arguments.
struct Command {
  std::string title;
  std::string command;
  Json arguments = Json::array();
};
void to_json(Json& json, const Command& command);

// A quick fix: the edits of one document that mend the diagnostics it names.
struct CodeAction {
  std::string title;
  Json diagnostics = Json::array();
  std::string uri;
  std::vector<TextEdit> edits;
  bool isPreferred = false;
  const char* kind = CODE_ACTION_QUICK_FIX;
};
void to_json(Json& json, const CodeAction& action);

struct CodeLens {
  Range range;
  Command command;
};
void to_json(Json& json, const CodeLens& lens);

}  // namespace zelk::lsp

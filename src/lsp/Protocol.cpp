// SPDX-License-Identifier: MIT
#include "lsp/Protocol.h"

#include <algorithm>
#include <limits>

namespace zelk::lsp {

RequestError InvalidParams(const std::string& what) {
  return RequestError(INVALID_PARAMS, "Invalid params: " + what);
}

void Write(JsonWriter& out, const Position& position) {
  out.BeginObject()
      .Key("character")
      .Integer(position.character)
      .Key("line")
      .Integer(position.line)
      .EndObject();
}

void Write(JsonWriter& out, const Range& range) {
  out.BeginObject().Key("end");
  Write(out, range.end);
  out.Key("start");
  Write(out, range.start);
  out.EndObject();
}

void to_json(Json& json, const Position& position) {
  json = {{"line", position.line}, {"character", position.character}};
}

void to_json(Json& json, const Range& range) {
  json = {{"start", range.start}, {"end", range.end}};
}

Json ToJson(const Position& position) {
  return position;
}

Json ToJson(const Range& range) {
  return range;
}

const Json& Member(const Json& params, std::initializer_list<const char*> path) {
  const Json* at = &params;
  std::string name;
  for (const char* key : path) {
    if (!at->is_object())
      throw InvalidParams((name.empty() ? "params" : name) + " is not an object");
    name += name.empty() ? key : std::string(".") + key;
    const auto it = at->find(key);
    if (it == at->end()) throw InvalidParams(name + " is missing");
    at = &*it;
  }
  return *at;
}

const Json* Find(const Json& params, std::initializer_list<const char*> path) {
  const Json* at = &params;
  for (const char* key : path) {
    if (!at->is_object()) return nullptr;
    const auto it = at->find(key);
    if (it == at->end()) return nullptr;
    at = &*it;
  }
  return at;
}

const std::string& ReadString(const Json& params, std::initializer_list<const char*> path) {
  const Json& value = Member(params, path);
  if (!value.is_string()) throw InvalidParams(std::string(*(path.end() - 1)) + " is not a string");
  return value.get_ref<const std::string&>();
}

std::int64_t ReadInteger(const Json& value, const char* name) {
  if (value.is_number_unsigned()) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(
        value.get<std::uint64_t>(), std::numeric_limits<std::int64_t>::max()));
  }
  if (value.is_number_integer()) return value.get<std::int64_t>();
  throw InvalidParams(std::string(name) + " is not an integer");
}

Position ReadPosition(const Json& value) {
  const std::int64_t line = ReadInteger(Member(value, {"line"}), "line");
  const std::int64_t character = ReadInteger(Member(value, {"character"}), "character");
  if (line < 0 || character < 0) throw InvalidParams("a position is negative");
  return {line, character};
}

Range ReadRange(const Json& value) {
  return {ReadPosition(Member(value, {"start"})), ReadPosition(Member(value, {"end"}))};
}

bool ReadFlag(const Json& params, std::initializer_list<const char*> path) {
  const Json* flag = Find(params, path);
  return flag != nullptr && flag->is_boolean() && flag->get<bool>();
}

bool ListHolds(const Json& params, std::initializer_list<const char*> path, const char* word) {
  const Json* list = Find(params, path);
  if (list == nullptr || !list->is_array()) return false;
  return std::any_of(list->begin(), list->end(),
                     [&](const Json& item) { return item.is_string() && item == word; });
}

TextDocumentParams TextDocumentParams::Read(const Json& params) {
  return {ReadString(params, {"textDocument", "uri"})};
}

// The position is read first: a request with a broken position is refused whether its document
// is open or not.
TextDocumentPositionParams TextDocumentPositionParams::Read(const Json& params) {
  const Position position = ReadPosition(Member(params, {"position"}));
  return {ReadString(params, {"textDocument", "uri"}), position};
}

TextDocumentRangeParams TextDocumentRangeParams::Read(const Json& params) {
  const Range range = ReadRange(Member(params, {"range"}));
  return {ReadString(params, {"textDocument", "uri"}), range};
}

void to_json(Json& json, const Diagnostic& diagnostic) {
  json = {{"range", diagnostic.range},
          {"severity", diagnostic.severity},
          {"source", "zelk"},
          {"message", diagnostic.message}};
  if (diagnostic.unnecessary) json["tags"] = {DiagnosticTag::Unnecessary};
  if (diagnostic.fixKind != nullptr) json["data"] = {{"kind", diagnostic.fixKind}};
}

void to_json(Json& json, const TextEdit& edit) {
  json = {{"range", edit.range}, {"newText", edit.newText}};
}

void to_json(Json& json, const Location& location) {
  json = {{"uri", location.uri}, {"range", location.range}};
}

void Write(JsonWriter& out, const Location& location) {
  out.BeginObject().Key("range");
  Write(out, location.range);
  out.Key("uri").String(location.uri).EndObject();
}

void Write(JsonWriter& out, const FoldingRange& range) {
  out.BeginObject()
      .Key("endLine")
      .Integer(range.endLine)
      .Key("kind")
      .String(range.kind)
      .Key("startLine")
      .Integer(range.startLine)
      .EndObject();
}

void Write(JsonWriter& out, const DocumentHighlight& highlight) {
  out.BeginObject().Key("kind").Integer(static_cast<int>(highlight.kind)).Key("range");
  Write(out, highlight.range);
  out.EndObject();
}

void Write(JsonWriter& out, const InlayHint& hint) {
  out.BeginObject()
      .Key("kind")
      .Integer(static_cast<int>(hint.kind))
      .Key("label")
      .String(hint.label);
  if (hint.paddingLeft) out.Key("paddingLeft").Bool(true);
  if (hint.paddingRight) out.Key("paddingRight").Bool(true);
  out.Key("position");
  Write(out, hint.position);
  out.EndObject();
}

void to_json(Json& json, const Command& command) {
  json = {{"title", command.title}, {"command", command.command}, {"arguments", command.arguments}};
}

void to_json(Json& json, const CodeAction& action) {
  json = {{"title", action.title},
          {"kind", action.kind},
          {"diagnostics", action.diagnostics},
          {"edit", {{"changes", {{action.uri, action.edits}}}}}};
  if (action.isPreferred) json["isPreferred"] = true;
}

void to_json(Json& json, const CodeLens& lens) {
  json = {{"range", lens.range}, {"command", lens.command}};
}

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#include "lsp/JsonRpc.h"

namespace zelk::lsp {
namespace {

std::string Dump(const Json& message) {
  return message.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

Envelope ReadEnvelope(std::string_view body) {
  Envelope envelope;
  // A notification gets no answer, not even an error; a message that cannot be told to be one
  // gets an answer with a null id.
  const auto invalid = [&](int code, const char* text) {
    envelope.kind = Envelope::Kind::Invalid;
    envelope.answer = envelope.answer || envelope.hasId;
    envelope.errorCode = code;
    envelope.error = text;
    return envelope;
  };
  Json message = Json::parse(body.begin(), body.end(), nullptr, false);
  if (message.is_discarded()) {
    envelope.answer = true;
    return invalid(PARSE_ERROR, "Parse error: the message is not valid JSON.");
  }
  if (!message.is_object()) {
    envelope.answer = true;
    return invalid(INVALID_REQUEST, "Invalid request: a message is a JSON object.");
  }
  const auto id = message.find("id");
  envelope.hasId = id != message.end();
  const bool idValid = envelope.hasId && (id->is_number_integer() || id->is_string());
  if (idValid) envelope.id = *id;
  const auto method = message.find("method");
  if (method == message.end()) {
    if (envelope.hasId && (message.contains("result") || message.contains("error"))) {
      envelope.kind = Envelope::Kind::Response;
      return envelope;
    }
    envelope.answer = true;
    return invalid(INVALID_REQUEST, "Invalid request: the message has no method.");
  }
  const auto version = message.find("jsonrpc");
  auto params = message.find("params");
  if (params != message.end() && params->is_null()) params = message.end();
  if (!method->is_string()) {
    return invalid(INVALID_REQUEST, "Invalid request: the method is not a string.");
  }
  if (version == message.end() || *version != "2.0") {
    return invalid(INVALID_REQUEST, "Invalid request: jsonrpc is not \"2.0\".");
  }
  if (envelope.hasId && !idValid) {
    return invalid(INVALID_REQUEST, "Invalid request: the id is not a number or a string.");
  }
  if (params != message.end() && !params->is_object() && !params->is_array()) {
    return invalid(INVALID_REQUEST, "Invalid request: params is not an object or an array.");
  }
  envelope.kind = envelope.hasId ? Envelope::Kind::Request : Envelope::Kind::Notification;
  envelope.method = method->get<std::string>();
  if (params != message.end()) envelope.params = std::move(*params);
  return envelope;
}

// The result and params are moved into the message, not copied: an answer can be large.
std::string ResultMessage(const Json& id, Result result) {
  if (result.Written()) {
    // The members in the order that dump() gives them: by name.
    // The text is moved, not copied: the writer left room before it for the rest.
    std::string& message = result.Text();
    message.insert(0, "{\"id\":" + Dump(id) + ",\"jsonrpc\":\"2.0\",\"result\":");
    message += '}';
    return std::move(message);
  }
  Json message = {{"jsonrpc", "2.0"}, {"id", id}};
  message["result"] = std::move(result.Value());
  return Dump(message);
}

std::string ErrorMessage(const Json& id, int code, const std::string& text) {
  return Dump({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", text}}}});
}

std::string NotificationMessage(const char* method, Json params) {
  Json message = {{"jsonrpc", "2.0"}, {"method", method}};
  message["params"] = std::move(params);
  return Dump(message);
}

std::string RequestMessage(const std::string& id, const char* method) {
  return Dump({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}});
}

}  // namespace zelk::lsp

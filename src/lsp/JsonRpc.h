// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

#include "lsp/Protocol.h"

// The JSON-RPC envelope of a message body: what kind of message it is, its id, method and
// params, or why it is no message at all. Beside the message reader, below the protocol.
namespace zelk::lsp {

struct Envelope {
  enum class Kind {
    Request,       // a method and an id
    Notification,  // a method, no id
    Response,      // an answer of the client (the server asks nothing: it is dropped)
    Invalid,       // error says why
  };
  Kind kind = Kind::Invalid;
  Json id;  // the id to answer with: null where the message has none that is valid
  bool hasId = false;
  bool answer = false;  // an invalid message is answered with errorCode and error
  std::string method;
  // Absent and null params are alike: clients send "params": null with requests that take none
  // (shutdown, exit). Those are an empty object here.
  Json params = Json::object();
  int errorCode = 0;
  std::string error;
};

// Reads the envelope of a message body.
Envelope ReadEnvelope(std::string_view body);

// The messages the server sends, as JSON bodies.
std::string ResultMessage(const Json& id, Result result);
std::string ErrorMessage(const Json& id, int code, const std::string& text);
std::string NotificationMessage(const char* method, Json params);
std::string RequestMessage(const std::string& id, const char* method);

}  // namespace zelk::lsp

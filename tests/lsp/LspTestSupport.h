// SPDX-License-Identifier: MIT
#pragma once

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <sstream>
#include <string>
#include <vector>

#include "lsp/LanguageServer.h"
#include "support/StringInput.h"

// Runs the language server on bytes given as a pipe gives them, as an editor writes them, and
// reads back what it answered.
namespace zelk::test {

using Json = nlohmann::json;

inline std::string Frame(const Json& message) {
  const std::string body = message.dump();
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

inline std::string Request(int id, const std::string& method, Json params = Json::object()) {
  return Frame({{"jsonrpc", "2.0"}, {"id", id}, {"method", method}, {"params", std::move(params)}});
}

inline std::string Notification(const std::string& method, Json params = Json::object()) {
  return Frame({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
}

// initialize (id 0) and initialized.
inline std::string Initialize(Json capabilities = Json::object()) {
  return Request(0, "initialize", {{"capabilities", std::move(capabilities)}}) +
         Notification("initialized");
}

inline std::string Open(const std::string& uri, const std::string& text, int version = 1) {
  return Notification(
      "textDocument/didOpen",
      {{"textDocument",
        {{"uri", uri}, {"languageId", "zelkscript"}, {"version", version}, {"text", text}}}});
}

inline Json At(const std::string& uri, int line, int character) {
  return {{"textDocument", {{"uri", uri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

inline Json Span(int l1, int c1, int l2, int c2) {
  return {{"start", {{"line", l1}, {"character", c1}}}, {"end", {{"line", l2}, {"character", c2}}}};
}

struct Served {
  std::vector<Json> messages;
  int status = -1;

  // The answer to a request, or null.
  Json AnswerTo(int id) const {
    for (const Json& m : messages) {
      if (m.contains("id") && m["id"] == id) return m;
    }
    return nullptr;
  }
  Json ResultOf(int id) const {
    const Json answer = AnswerTo(id);
    return answer.is_object() && answer.contains("result") ? answer["result"] : Json("no result");
  }
  // The params of every publishDiagnostics, in order.
  std::vector<Json> Published() const {
    std::vector<Json> published;
    for (const Json& m : messages) {
      if (m.value("method", "") == "textDocument/publishDiagnostics")
        published.push_back(m["params"]);
    }
    return published;
  }
};

// The messages of a stream framed by Content-Length headers.
inline std::vector<Json> ReadFrames(const std::string& stream) {
  std::vector<Json> messages;
  std::size_t pos = 0;
  while (pos < stream.size()) {
    const std::size_t end = stream.find("\r\n\r\n", pos);
    if (end == std::string::npos || stream.compare(pos, 16, "Content-Length: ") != 0) {
      ADD_FAILURE() << "not a frame at " << pos << ": " << stream.substr(pos, 80);
      break;
    }
    const std::size_t length = std::stoul(stream.substr(pos + 16, end - pos - 16));
    messages.push_back(Json::parse(stream.substr(end + 4, length)));
    pos = end + 4 + length;
  }
  return messages;
}

// Serves input, given a chunk at a time as a pipe gives it, until the server ends.
inline Served Serve(const std::string& input) {
  StringInput in(input);
  std::ostringstream out;
  Served served;
  served.status = lsp::RunLanguageServer(in, out);
  served.messages = ReadFrames(out.str());
  return served;
}

}  // namespace zelk::test

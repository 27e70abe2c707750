// SPDX-License-Identifier: MIT
#include "lsp/LanguageServer.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "lsp/Assistance.h"
#include "lsp/OpenDocument.h"
#include "platform/Cp1252.h"
#include "zelk/BuildConfig.h"

namespace zelk::lsp {
namespace {

constexpr int SEVERITY_ERROR = 1;
constexpr int SEVERITY_WARNING = 2;
constexpr int MESSAGE_WARNING = 2;
constexpr int SYNC_INCREMENTAL = 2;

RequestError InvalidParams(const std::string& what) {
  return RequestError(INVALID_PARAMS, "Invalid params: " + what);
}

// A member of params by its path ("textDocument", "uri"); throws when a step is missing or is
// not an object.
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

const std::string& String(const Json& params, std::initializer_list<const char*> path) {
  const Json& value = Member(params, path);
  if (!value.is_string()) throw InvalidParams(std::string(*(path.end() - 1)) + " is not a string");
  return value.get_ref<const std::string&>();
}

std::int64_t Integer(const Json& value, const char* name) {
  if (value.is_number_unsigned()) {
    return static_cast<std::int64_t>(std::min<std::uint64_t>(
        value.get<std::uint64_t>(), std::numeric_limits<std::int64_t>::max()));
  }
  if (value.is_number_integer()) return value.get<std::int64_t>();
  throw InvalidParams(std::string(name) + " is not an integer");
}

// A position: a line and a character, both integers of at least 0.
Position ReadPosition(const Json& value) {
  const std::int64_t line = Integer(Member(value, {"line"}), "line");
  const std::int64_t character = Integer(Member(value, {"character"}), "character");
  if (line < 0 || character < 0) throw InvalidParams("a position is negative");
  return {line, character};
}

Range ReadRange(const Json& value) {
  return {ReadPosition(Member(value, {"start"})), ReadPosition(Member(value, {"end"}))};
}

// The value at the path in the client's capabilities, or nullptr where the path ends early.
const Json* Capability(const Json& capabilities, std::initializer_list<const char*> path) {
  const Json* at = &capabilities;
  for (const char* key : path) {
    if (!at->is_object()) return nullptr;
    const auto it = at->find(key);
    if (it == at->end()) return nullptr;
    at = &*it;
  }
  return at;
}

// True when a list of strings in the client's capabilities holds the word.
bool Offers(const Json& capabilities, std::initializer_list<const char*> path, const char* word) {
  const Json* list = Capability(capabilities, path);
  if (list == nullptr || !list->is_array()) return false;
  return std::any_of(list->begin(), list->end(),
                     [&](const Json& item) { return item.is_string() && item == word; });
}

bool Flag(const Json& capabilities, std::initializer_list<const char*> path) {
  const Json* flag = Capability(capabilities, path);
  return flag != nullptr && flag->is_boolean() && flag->get<bool>();
}

}  // namespace

class LanguageServer::Impl {
 public:
  explicit Impl(Send send) : m_send(std::move(send)) {}

  void Handle(std::string_view body) {
    Json message = Json::parse(body.begin(), body.end(), nullptr, false);
    if (message.is_discarded()) {
      SendError(nullptr, PARSE_ERROR, "Parse error: the message is not valid JSON.");
      return;
    }
    if (!message.is_object()) {
      SendError(nullptr, INVALID_REQUEST, "Invalid request: a message is a JSON object.");
      return;
    }
    const auto id = message.find("id");
    const bool hasId = id != message.end();
    const bool idValid = hasId && (id->is_number_integer() || id->is_string());
    const Json answerId = idValid ? *id : Json(nullptr);
    const auto method = message.find("method");
    if (method == message.end()) {
      // An answer of the client: the server asks nothing, so there is nothing to match it to.
      if (hasId && (message.contains("result") || message.contains("error"))) return;
      SendError(answerId, INVALID_REQUEST, "Invalid request: the message has no method.");
      return;
    }
    const auto version = message.find("jsonrpc");
    // Absent and null params are alike: clients send "params": null with requests that take none
    // (shutdown, exit); a method that needs params then answers that they are missing.
    auto params = message.find("params");
    if (params != message.end() && params->is_null()) params = message.end();
    const char* invalid = nullptr;
    if (!method->is_string()) {
      invalid = "Invalid request: the method is not a string.";
    } else if (version == message.end() || *version != "2.0") {
      invalid = "Invalid request: jsonrpc is not \"2.0\".";
    } else if (hasId && !idValid) {
      invalid = "Invalid request: the id is not a number or a string.";
    } else if (params != message.end() && !params->is_object() && !params->is_array()) {
      invalid = "Invalid request: params is not an object or an array.";
    }
    if (invalid != nullptr) {
      // A notification gets no answer, not even an error.
      if (hasId) SendError(answerId, INVALID_REQUEST, invalid);
      return;
    }
    const std::string& name = method->get_ref<const std::string&>();
    const Json& arguments = params != message.end() ? *params : m_noParams;
    if (hasId) {
      HandleRequest(*id, name, arguments);
    } else {
      HandleNotification(name, arguments);
    }
  }

  void Unreadable(std::string_view detail) {
    SendError(nullptr, PARSE_ERROR, "Parse error: " + std::string(detail) + ".");
  }

  bool Exited() const { return m_phase == Phase::Exited; }
  // After exit, what it found; before (the input ended), 0 only when the server was shut down.
  int ExitStatus() const {
    if (m_phase == Phase::Exited) return m_exitStatus;
    return m_phase == Phase::ShutDown ? 0 : 1;
  }

 private:
  enum class Phase { Uninitialized, Running, ShutDown, Exited };

  void SendJson(const Json& message) {
    m_send(message.dump(-1, ' ', false, Json::error_handler_t::replace));
  }

  void SendError(const Json& id, int code, const std::string& text) {
    SendJson({{"jsonrpc", "2.0"}, {"id", id}, {"error", {{"code", code}, {"message", text}}}});
  }

  void Notify(const char* method, Json params) {
    SendJson({{"jsonrpc", "2.0"}, {"method", method}, {"params", std::move(params)}});
  }

  void HandleRequest(const Json& id, const std::string& method, const Json& params) {
    if (m_phase == Phase::Uninitialized && method != "initialize") {
      SendError(id, SERVER_NOT_INITIALIZED,
                "The server is not initialized: initialize comes first.");
      return;
    }
    if (m_phase == Phase::ShutDown) {
      SendError(id, INVALID_REQUEST, "The server is shut down: only exit is expected.");
      return;
    }
    try {
      Json result = Request(method, params);
      SendJson({{"jsonrpc", "2.0"}, {"id", id}, {"result", std::move(result)}});
    } catch (const RequestError& e) {
      SendError(id, e.Code(), e.what());
    } catch (const Json::exception& e) {
      SendError(id, INVALID_PARAMS, std::string("Invalid params: ") + e.what());
    } catch (const std::exception& e) {
      SendError(id, INTERNAL_ERROR, std::string("Internal error: ") + e.what());
    }
  }

  void HandleNotification(const std::string& method, const Json& params) {
    if (method == "exit") {
      m_exitStatus = m_phase == Phase::ShutDown ? 0 : 1;
      m_phase = Phase::Exited;
      return;
    }
    // Before initialize and after shutdown, notifications are dropped.
    if (m_phase != Phase::Running) return;
    try {
      if (method == "textDocument/didOpen") {
        DidOpen(params);
      } else if (method == "textDocument/didChange") {
        DidChange(params);
      } else if (method == "textDocument/didSave") {
        DidSave(params);
      } else if (method == "textDocument/didClose") {
        DidClose(params);
      }
      // Every other notification ($/cancelRequest, initialized, ...) needs nothing done.
    } catch (const std::exception& e) {
      Notify("window/logMessage",
             {{"type", MESSAGE_WARNING}, {"message", "zelk: " + method + " ignored: " + e.what()}});
    }
  }

  Json Request(const std::string& method, const Json& params) {
    if (method == "initialize") return Initialize(params);
    if (method == "shutdown") {
      m_phase = Phase::ShutDown;
      return nullptr;
    }
    if (method == "textDocument/documentSymbol") {
      return OnDocument(params,
                        [&](const OpenDocument& d) { return DocumentSymbols(d, m_client); });
    }
    // The requests about a place: their params are read before the document is looked up.
    if (method == "textDocument/completion") {
      const Position at = ReadPosition(Member(params, {"position"}));
      return OnDocument(params, [&](const OpenDocument& d) { return Completion(d, at, m_client); });
    }
    if (method == "textDocument/hover") {
      const Position at = ReadPosition(Member(params, {"position"}));
      return OnDocument(params, [&](const OpenDocument& d) { return Hover(d, at, m_client); });
    }
    if (method == "textDocument/definition") {
      const Position at = ReadPosition(Member(params, {"position"}));
      return OnDocument(params, [&](const OpenDocument& d) { return Definition(d, at, m_client); });
    }
    if (method == "textDocument/references") {
      const Position at = ReadPosition(Member(params, {"position"}));
      const auto context = params.find("context");
      const bool withDefinitions =
          context != params.end() && context->is_object() && Flag(*context, {"includeDeclaration"});
      return OnDocument(params, [&](const OpenDocument& d) {
        return References(d, at, withDefinitions, m_client);
      });
    }
    if (method == "textDocument/prepareRename") {
      const Position at = ReadPosition(Member(params, {"position"}));
      return OnDocument(params,
                        [&](const OpenDocument& d) { return PrepareRename(d, at, m_client); });
    }
    if (method == "textDocument/rename") {
      const Position at = ReadPosition(Member(params, {"position"}));
      const std::string& newName = String(params, {"newName"});
      return OnDocument(params,
                        [&](const OpenDocument& d) { return Rename(d, at, newName, m_client); });
    }
    throw RequestError(METHOD_NOT_FOUND, "Method not found: " + method);
  }

  // Answers a request about a document; null for a document that is not open.
  template <typename Answer>
  Json OnDocument(const Json& params, Answer answer) {
    const auto it = m_documents.find(String(params, {"textDocument", "uri"}));
    if (it == m_documents.end()) return nullptr;
    return answer(it->second);
  }

  Json Initialize(const Json& params) {
    if (m_phase != Phase::Uninitialized) {
      throw RequestError(INVALID_REQUEST, "initialize was received already.");
    }
    const auto found = params.is_object() ? params.find("capabilities") : params.end();
    const Json capabilities = params.is_object() && found != params.end() ? *found : Json::object();
    Json result = {{"serverInfo", {{"name", "zelk"}, {"version", ZELK_VERSION}}}};
    // UTF-16 unless the client offers UTF-8 (in the protocol's way, or clangd's older one).
    if (Offers(capabilities, {"general", "positionEncodings"}, "utf-8")) {
      m_client.encoding = PositionEncoding::Utf8;
    } else if (Offers(capabilities, {"offsetEncoding"}, "utf-8")) {
      m_client.encoding = PositionEncoding::Utf8;
      result["offsetEncoding"] = "utf-8";
    }
    m_client.snippets =
        Flag(capabilities, {"textDocument", "completion", "completionItem", "snippetSupport"});
    m_client.hierarchicalSymbols =
        Flag(capabilities, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"});
    const bool prepareRename = Flag(capabilities, {"textDocument", "rename", "prepareSupport"});
    result["capabilities"] = {
        {"positionEncoding", m_client.encoding == PositionEncoding::Utf8 ? "utf-8" : "utf-16"},
        {"textDocumentSync",
         {{"openClose", true}, {"change", SYNC_INCREMENTAL}, {"save", {{"includeText", false}}}}},
        {"completionProvider",
         {{"triggerCharacters", {"(", ",", "."}}, {"resolveProvider", false}}},
        {"hoverProvider", true},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentSymbolProvider", true},
        {"renameProvider", prepareRename ? Json{{"prepareProvider", true}} : Json(true)},
    };
    m_phase = Phase::Running;
    return result;
  }

  void DidOpen(const Json& params) {
    const Json& item = Member(params, {"textDocument"});
    const std::string& uri = String(item, {"uri"});
    const std::int64_t version = Integer(Member(item, {"version"}), "version");
    const std::string& text = String(item, {"text"});
    m_documents.erase(uri);
    const auto it = m_documents.emplace(uri, OpenDocument(uri, version, text)).first;
    Publish(it->second);
  }

  void DidChange(const Json& params) {
    const std::string& uri = String(params, {"textDocument", "uri"});
    const std::int64_t version = Integer(Member(params, {"textDocument", "version"}), "version");
    const Json& changes = Member(params, {"contentChanges"});
    if (!changes.is_array()) throw InvalidParams("contentChanges is not an array");
    const auto it = m_documents.find(uri);
    if (it == m_documents.end()) throw InvalidParams(uri + " is not open");
    // Every change is read before the first is made, so that a broken one changes nothing.
    struct Change {
      std::optional<Range> range;
      const std::string* text;
    };
    std::vector<Change> read;
    for (const Json& change : changes) {
      Change c{std::nullopt, &String(change, {"text"})};
      if (change.is_object() && change.contains("range")) c.range = ReadRange(change["range"]);
      read.push_back(c);
    }
    OpenDocument& document = it->second;
    for (const Change& c : read) {
      if (c.range) {
        document.Text().Edit(*c.range, *c.text, m_client.encoding);
      } else {
        document.Text().SetText(*c.text);
      }
    }
    document.SetVersion(version);
    document.Recheck();
    Publish(document);
  }

  void DidSave(const Json& params) {
    const auto it = m_documents.find(String(params, {"textDocument", "uri"}));
    if (it == m_documents.end()) return;
    const auto text = params.find("text");
    if (text != params.end() && text->is_string()) {
      it->second.Text().SetText(text->get<std::string>());
    }
    it->second.Recheck();
    Publish(it->second);
  }

  void DidClose(const Json& params) {
    const std::string uri = String(params, {"textDocument", "uri"});
    if (m_documents.erase(uri) == 0) return;
    Notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}});
  }

  void Publish(const OpenDocument& document) {
    Json diagnostics = Json::array();
    for (const SourceFinding& finding : document.Check().findings) {
      diagnostics.push_back(
          {{"range", ToJson(document.LineRange(finding.line, m_client.encoding))},
           {"severity",
            finding.severity == SourceFinding::Severity::Error ? SEVERITY_ERROR : SEVERITY_WARNING},
           {"source", "zelk"},
           {"message", Cp1252ToUtf8(finding.message)}});
    }
    Notify("textDocument/publishDiagnostics", {{"uri", document.Uri()},
                                               {"version", document.Version()},
                                               {"diagnostics", std::move(diagnostics)}});
  }

  Send m_send;
  Phase m_phase = Phase::Uninitialized;
  int m_exitStatus = 1;
  ClientOptions m_client;
  std::map<std::string, OpenDocument> m_documents;
  const Json m_noParams = Json::object();
};

LanguageServer::LanguageServer(Send send) : m_impl(std::make_unique<Impl>(std::move(send))) {}
LanguageServer::~LanguageServer() = default;

void LanguageServer::HandleMessage(std::string_view body) {
  m_impl->Handle(body);
}
void LanguageServer::HandleUnreadable(std::string_view detail) {
  m_impl->Unreadable(detail);
}
bool LanguageServer::Exited() const {
  return m_impl->Exited();
}
int LanguageServer::ExitStatus() const {
  return m_impl->ExitStatus();
}

}  // namespace zelk::lsp

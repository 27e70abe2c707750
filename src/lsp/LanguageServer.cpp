// SPDX-License-Identifier: MIT
#include "lsp/LanguageServer.h"

#include <functional>
#include <map>
#include <optional>
#include <unordered_map>
#include <vector>

#include "lsp/Assistance.h"
#include "lsp/CodeActions.h"
#include "lsp/CompileCommand.h"
#include "lsp/Editing.h"
#include "lsp/Formatting.h"
#include "lsp/JsonRpc.h"
#include "lsp/OpenDocument.h"
#include "lsp/SemanticTokens.h"
#include "platform/Cp1252.h"
#include "zelk/BuildConfig.h"

namespace zelk::lsp {
namespace {

// The user's switches of hints and lenses, from initializationOptions or the settings of
// workspace/didChangeConfiguration (as they are, or under "zelk"); what they leave out stays.
void ReadSwitches(const Json& options, ClientOptions& client) {
  const Json* zelk = Find(options, {"zelk"});
  const Json& settings = zelk != nullptr ? *zelk : options;
  const auto read = [&](std::initializer_list<const char*> path, bool& flag) {
    const Json* value = Find(settings, path);
    if (value != nullptr && value->is_boolean()) flag = value->get<bool>();
  };
  read({"inlayHints", "argumentNames"}, client.argumentNameHints);
  read({"inlayHints", "instructionIndex"}, client.instructionHints);
  read({"codeLens"}, client.compileLens);
}

// A table of handlers, which call the server they were made for: a copy of a server's state
// leaves the copy's own table as it is (and a server made as a copy has none).
template <typename Table>
struct Handlers : Table {
  using Table::operator=;
  Handlers() = default;
  Handlers(const Handlers&) : Table() {}
  Handlers& operator=(const Handlers&) { return *this; }
};

}  // namespace

class LanguageServer::Impl {
 public:
  explicit Impl(Send send) : m_send(std::move(send)) { Register(); }
  // A copy holds the state (to rewind to), not the handlers.
  Impl(const Impl&) = default;
  Impl& operator=(const Impl&) = default;

  void Handle(std::string_view body) {
    Envelope message = ReadEnvelope(body);
    switch (message.kind) {
      case Envelope::Kind::Invalid:
        if (message.answer) m_send(ErrorMessage(message.id, message.errorCode, message.error));
        return;
      case Envelope::Kind::Response:
        return;  // the server asks nothing that needs an answer
      case Envelope::Kind::Request:
        HandleRequest(message.id, message.method, message.params);
        return;
      case Envelope::Kind::Notification:
        HandleNotification(message.method, message.params);
        return;
    }
  }

  void Unreadable(std::string_view detail) {
    m_send(ErrorMessage(nullptr, PARSE_ERROR, "Parse error: " + std::string(detail) + "."));
  }

  bool Exited() const { return m_phase == Phase::Exited; }
  // After exit, what it found; before (the input ended), 0 only when the server was shut down.
  int ExitStatus() const {
    if (m_phase == Phase::Exited) return m_exitStatus;
    return m_phase == Phase::ShutDown ? 0 : 1;
  }

 private:
  enum class Phase { Uninitialized, Running, ShutDown, Exited };
  using RequestHandler = std::function<Result(const Json& params)>;
  using NotificationHandler = std::function<void(const Json& params)>;

  // The methods the server knows, each with its handler.
  void Register() {
    m_requests = {
        {"initialize", [this](const Json& p) { return Initialize(p); }},
        {"shutdown",
         [this](const Json&) {
           m_phase = Phase::ShutDown;
           return Json(nullptr);
         }},
        {"textDocument/documentSymbol", OnDocument([this](const OpenDocument& d, const Json&) {
           return DocumentSymbols(d, m_client);
         })},
        {"textDocument/completion", AtPosition(Completion)},
        {"textDocument/hover", AtPosition(Hover)},
        {"textDocument/definition", AtPosition(Definition)},
        {"textDocument/references",
         [this](const Json& params) {
           const auto at = TextDocumentPositionParams::Read(params);
           const bool withDefinitions = ReadFlag(params, {"context", "includeDeclaration"});
           return WithDocument(at.uri, [&](const OpenDocument& d) {
             return References(d, at.position, withDefinitions, m_client);
           });
         }},
        {"textDocument/prepareRename", AtPosition(PrepareRename)},
        {"textDocument/signatureHelp", AtPosition(SignatureHelp)},
        {"textDocument/documentHighlight", AtPosition(DocumentHighlights)},
        {"textDocument/inlayHint",
         [this](const Json& params) {
           const auto at = TextDocumentRangeParams::Read(params);
           return WithDocument(
               at.uri, [&](const OpenDocument& d) { return InlayHints(d, at.range, m_client); });
         }},
        {"textDocument/semanticTokens/full",
         [this](const Json& params) { return SemanticTokens(params, false); }},
        {"textDocument/semanticTokens/full/delta",
         [this](const Json& params) { return SemanticTokens(params, true); }},
        {"textDocument/foldingRange", OnDocument([this](const OpenDocument& d, const Json&) {
           return FoldingRanges(d, m_client);
         })},
        {"textDocument/formatting", OnDocument([this](const OpenDocument& d, const Json&) {
           return DocumentFormatting(d, m_client);
         })},
        {"textDocument/rangeFormatting",
         [this](const Json& params) {
           const auto at = TextDocumentRangeParams::Read(params);
           return WithDocument(
               at.uri, [&](const OpenDocument& d) { return RangeFormatting(d, at.range, m_client); });
         }},
        {"workspace/symbol",
         [this](const Json& params) {
           const Json* query = Find(params, {"query"});
           return WorkspaceSymbols(
               m_documents,
               query != nullptr && query->is_string() ? query->get<std::string>() : std::string(),
               m_client);
         }},
        {"textDocument/codeAction",
         [this](const Json& params) {
           const auto at = TextDocumentRangeParams::Read(params);
           const Json* context = Find(params, {"context"});
           return WithDocument(at.uri, [&](const OpenDocument& d) {
             return CodeActions(d, at.range, context != nullptr ? *context : Json(), m_client);
           });
         }},
        {"textDocument/codeLens", OnDocument([this](const OpenDocument& d, const Json&) {
           return CodeLenses(d, m_client);
         })},
        {"workspace/executeCommand",
         [this](const Json& params) {
           return ExecuteCommand(params, m_documents,
                                 [this](Json m) { Notify("window/showMessage", m); });
         }},
        {"textDocument/rename",
         [this](const Json& params) {
           const auto at = TextDocumentPositionParams::Read(params);
           const std::string& newName = ReadString(params, {"newName"});
           return WithDocument(at.uri, [&](const OpenDocument& d) {
             return Rename(d, at.position, newName, m_client);
           });
         }},
    };
    m_notifications = {
        {"textDocument/didOpen", [this](const Json& p) { DidOpen(p); }},
        {"textDocument/didChange", [this](const Json& p) { DidChange(p); }},
        {"textDocument/didSave", [this](const Json& p) { DidSave(p); }},
        {"textDocument/didClose", [this](const Json& p) { DidClose(p); }},
        {"workspace/didChangeConfiguration", [this](const Json& p) { DidChangeConfiguration(p); }},
    };
  }

  // A request about a document: null for a document that is not open.
  template <typename Answer>
  Result WithDocument(const std::string& uri, Answer answer) {
    const auto it = m_documents.find(uri);
    if (it == m_documents.end()) return nullptr;
    return answer(it->second);
  }

  template <typename Answer>
  RequestHandler OnDocument(Answer answer) {
    return [this, answer](const Json& params) {
      const auto document = TextDocumentParams::Read(params);
      return WithDocument(document.uri, [&](const OpenDocument& d) { return answer(d, params); });
    };
  }

  // A request about a place in a document, answered by a function of the document, the position
  // and the client.
  template <typename Answer>
  RequestHandler AtPosition(Answer (*answer)(const OpenDocument&, const Position&,
                                             const ClientOptions&)) {
    return [this, answer](const Json& params) {
      const auto at = TextDocumentPositionParams::Read(params);
      return WithDocument(at.uri,
                          [&](const OpenDocument& d) { return answer(d, at.position, m_client); });
    };
  }

  // The tokens of a document, whole or as the change from those sent before when the request
  // names them; each answer's tokens are kept for the next delta request.
  Result SemanticTokens(const Json& params, bool delta) {
    const auto document = TextDocumentParams::Read(params);
    const std::string* previous = delta ? &ReadString(params, {"previousResultId"}) : nullptr;
    const auto it = m_documents.find(document.uri);
    if (it == m_documents.end()) return nullptr;
    SentTokens& sent = it->second.Tokens();
    std::vector<std::uint32_t> data = SemanticTokenData(it->second, m_client);
    const std::string id = std::to_string(++m_tokenResults);
    Result result = previous != nullptr && !sent.resultId.empty() && *previous == sent.resultId
                        ? SemanticTokensDelta(sent.data, data, id)
                        : SemanticTokensFull(data, id);
    sent = {id, std::move(data)};
    return result;
  }

  void Notify(const char* method, Json params) {
    m_send(NotificationMessage(method, std::move(params)));
  }

  void HandleRequest(const Json& id, const std::string& method, const Json& params) {
    if (m_phase == Phase::Uninitialized && method != "initialize") {
      m_send(ErrorMessage(id, SERVER_NOT_INITIALIZED,
                          "The server is not initialized: initialize comes first."));
      return;
    }
    if (m_phase == Phase::ShutDown) {
      m_send(ErrorMessage(id, INVALID_REQUEST, "The server is shut down: only exit is expected."));
      return;
    }
    try {
      const auto handler = m_requests.find(method);
      if (handler == m_requests.end()) {
        throw RequestError(METHOD_NOT_FOUND, "Method not found: " + method);
      }
      m_send(ResultMessage(id, handler->second(params)));
    } catch (const RequestError& e) {
      m_send(ErrorMessage(id, e.Code(), e.what()));
    } catch (const Json::exception& e) {
      m_send(ErrorMessage(id, INVALID_PARAMS, std::string("Invalid params: ") + e.what()));
    } catch (const std::exception& e) {
      m_send(ErrorMessage(id, INTERNAL_ERROR, std::string("Internal error: ") + e.what()));
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
    // Every other notification ($/cancelRequest, initialized, ...) needs nothing done.
    const auto handler = m_notifications.find(method);
    if (handler == m_notifications.end()) return;
    try {
      handler->second(params);
    } catch (const std::exception& e) {
      Notify("window/logMessage", {{"type", MessageType::Warning},
                                   {"message", "zelk: " + method + " ignored: " + e.what()}});
    }
  }

  Json Initialize(const Json& params) {
    if (m_phase != Phase::Uninitialized) {
      throw RequestError(INVALID_REQUEST, "initialize was received already.");
    }
    const Json* found = Find(params, {"capabilities"});
    const Json capabilities = found != nullptr ? *found : Json::object();
    Json result = {{"serverInfo", {{"name", "zelk"}, {"version", ZELK_VERSION}}}};
    // UTF-16 unless the client offers UTF-8 (in the protocol's way, or clangd's older one).
    if (ListHolds(capabilities, {"general", "positionEncodings"}, "utf-8")) {
      m_client.encoding = PositionEncoding::Utf8;
    } else if (ListHolds(capabilities, {"offsetEncoding"}, "utf-8")) {
      m_client.encoding = PositionEncoding::Utf8;
      result["offsetEncoding"] = "utf-8";
    }
    m_client.snippets =
        ReadFlag(capabilities, {"textDocument", "completion", "completionItem", "snippetSupport"});
    m_client.hierarchicalSymbols = ReadFlag(
        capabilities, {"textDocument", "documentSymbol", "hierarchicalDocumentSymbolSupport"});
    const bool prepareRename = ReadFlag(capabilities, {"textDocument", "rename", "prepareSupport"});
    m_inlayRefresh = ReadFlag(capabilities, {"workspace", "inlayHint", "refreshSupport"});
    m_lensRefresh = ReadFlag(capabilities, {"workspace", "codeLens", "refreshSupport"});
    if (const Json* options = Find(params, {"initializationOptions"})) {
      ReadSwitches(*options, m_client);
    }
    result["capabilities"] = {
        {"positionEncoding", m_client.encoding == PositionEncoding::Utf8 ? "utf-8" : "utf-16"},
        {"textDocumentSync",
         {{"openClose", true},
          {"change", TextDocumentSyncKind::Incremental},
          {"save", {{"includeText", false}}}}},
        {"completionProvider",
         {{"triggerCharacters", {"(", ",", "."}}, {"resolveProvider", false}}},
        {"hoverProvider", true},
        {"definitionProvider", true},
        {"referencesProvider", true},
        {"documentSymbolProvider", true},
        {"renameProvider", prepareRename ? Json{{"prepareProvider", true}} : Json(true)},
        {"signatureHelpProvider", {{"triggerCharacters", {"(", ","}}}},
        {"inlayHintProvider", true},
        {"foldingRangeProvider", true},
        {"documentHighlightProvider", true},
        {"workspaceSymbolProvider", true},
        {"documentFormattingProvider", true},
        {"documentRangeFormattingProvider", true},
        {"semanticTokensProvider",
         {{"legend", SemanticTokensLegend()}, {"full", {{"delta", true}}}}},
        {"codeActionProvider", {{"codeActionKinds", {CODE_ACTION_QUICK_FIX}}}},
        {"codeLensProvider", {{"resolveProvider", false}}},
        {"executeCommandProvider", {{"commands", {COMPILE_COMMAND}}}},
    };
    m_phase = Phase::Running;
    return result;
  }

  void DidOpen(const Json& params) {
    const Json& item = Member(params, {"textDocument"});
    const std::string& uri = ReadString(item, {"uri"});
    const std::int64_t version = ReadInteger(Member(item, {"version"}), "version");
    const std::string& text = ReadString(item, {"text"});
    m_documents.erase(uri);
    const auto it = m_documents.emplace(uri, OpenDocument(uri, version, text)).first;
    Publish(it->second);
  }

  void DidChange(const Json& params) {
    const std::string& uri = ReadString(params, {"textDocument", "uri"});
    const std::int64_t version =
        ReadInteger(Member(params, {"textDocument", "version"}), "version");
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
      Change c{std::nullopt, &ReadString(change, {"text"})};
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
    const auto it = m_documents.find(ReadString(params, {"textDocument", "uri"}));
    if (it == m_documents.end()) return;
    const auto text = params.find("text");
    if (text != params.end() && text->is_string()) {
      it->second.Text().SetText(text->get<std::string>());
    }
    it->second.Recheck();
    Publish(it->second);
  }

  void DidClose(const Json& params) {
    const std::string uri = ReadString(params, {"textDocument", "uri"});
    if (m_documents.erase(uri) == 0) return;
    Notify("textDocument/publishDiagnostics", {{"uri", uri}, {"diagnostics", Json::array()}});
  }

  // The switches changed: clients that can be asked to fetch hints and lenses again are asked.
  void DidChangeConfiguration(const Json& params) {
    const Json* settings = Find(params, {"settings"});
    if (settings == nullptr) return;
    ReadSwitches(*settings, m_client);
    if (m_inlayRefresh) Ask("workspace/inlayHint/refresh");
    if (m_lensRefresh) Ask("workspace/codeLens/refresh");
  }

  // A request of the server's own; its answer is dropped.
  void Ask(const char* method) {
    m_send(RequestMessage("zelk-" + std::to_string(++m_asked), method));
  }

  // The check's findings: errors, warnings and information, each on the columns it names;
  // a statement that never runs, or a label that nothing reaches, tagged as unnecessary.
  void Publish(const OpenDocument& document) {
    Json diagnostics = Json::array();
    for (const SourceFinding& finding : document.Check().findings) {
      diagnostics.push_back(FindingDiagnostic(document, finding, m_client));
    }
    Notify("textDocument/publishDiagnostics", {{"uri", document.Uri()},
                                               {"version", document.Version()},
                                               {"diagnostics", std::move(diagnostics)}});
  }

  Send m_send;
  Phase m_phase = Phase::Uninitialized;
  int m_exitStatus = 1;
  ClientOptions m_client;
  bool m_inlayRefresh = false;
  bool m_lensRefresh = false;
  int m_asked = 0;
  std::uint64_t m_tokenResults = 0;
  std::map<std::string, OpenDocument> m_documents;
  Handlers<std::unordered_map<std::string, RequestHandler>> m_requests;
  Handlers<std::unordered_map<std::string, NotificationHandler>> m_notifications;
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

void LanguageServer::Checkpoint() {
  m_checkpoint = std::make_unique<Impl>(*m_impl);
}
void LanguageServer::Rewind() {
  if (m_checkpoint != nullptr) *m_impl = *m_checkpoint;
}

}  // namespace zelk::lsp

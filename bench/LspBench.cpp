// SPDX-License-Identifier: MIT
// The language server's speed: each request on a 10,000-line source; from a one-line change of a
// 10,000-line source to its published diagnostics (in the process, and through the pipes of a
// running zelk --lsp), and the start of zelk --lsp until it answers initialize. The program started
// is the one of this build, or the one named by the environment variable ZELK_LSP_BINARY (a build
// without Qt, say).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <nlohmann/json.hpp>
#include <string>

#include "SourceGenerator.h"
#include "lsp/LanguageServer.h"
#include "lsp/MessageReader.h"

extern char** environ;

namespace {

using Json = nlohmann::json;
using Clock = std::chrono::steady_clock;

constexpr int kLines = 10000;
const std::string kUri = "file:///bench/scene.scr";

// A generated scene of exactly kLines lines, every one of them compiling.
std::string Source() {
  std::string source = zelk::bench::GenerateSource(kLines);
  std::size_t end = 0;
  for (int line = 0; line < kLines; ++line) end = source.find('\n', end) + 1;
  source.resize(end);
  return source;
}

std::string Message(const Json& message) {
  return message.dump();
}

std::string Initialize() {
  return Message({{"jsonrpc", "2.0"},
                  {"id", 0},
                  {"method", "initialize"},
                  {"params", {{"capabilities", Json::object()}}}});
}

std::string Open(const std::string& text) {
  return Message(
      {{"jsonrpc", "2.0"},
       {"method", "textDocument/didOpen"},
       {"params",
        {{"textDocument",
          {{"uri", kUri}, {"languageId", "zelkscript"}, {"version", 1}, {"text", text}}}}}});
}

// Line 5000 becomes a statement with an error, or a good one again: the diagnostics change at
// every step.
std::string Change(int version) {
  const char* text = version % 2 == 0 ? "goto(nowhere);" : "wait(1);";
  const Json range = {{"start", {{"line", kLines / 2}, {"character", 0}}},
                      {"end", {{"line", kLines / 2}, {"character", 200}}}};
  return Message({{"jsonrpc", "2.0"},
                  {"method", "textDocument/didChange"},
                  {"params",
                   {{"textDocument", {{"uri", kUri}, {"version", version}}},
                    {"contentChanges", Json::array({{{"range", range}, {"text", text}}})}}}});
}

void BM_OneLineChangeToDiagnostics(benchmark::State& state) {
  std::string sent;
  zelk::lsp::LanguageServer server(
      [&](const std::string& body) { sent += zelk::lsp::FrameMessage(body); });
  server.HandleMessage(Initialize());
  server.HandleMessage(Open(Source()));
  int version = 1;
  benchmark::IterationCount published = 0;
  for (auto _ : state) {
    const std::string change = Change(++version);
    sent.clear();
    server.HandleMessage(change);
    published += sent.find("publishDiagnostics") != std::string::npos ? 1 : 0;
  }
  if (published != state.iterations()) state.SkipWithError("a change published no diagnostics");
  state.counters["lines"] = kLines;
}
BENCHMARK(BM_OneLineChangeToDiagnostics)->Unit(benchmark::kMillisecond);

// One request on the 10,000-line source, from the message to its answer, in the process.
void RequestOnTheSource(benchmark::State& state, const char* method, const Json& params) {
  std::string sent;
  zelk::lsp::LanguageServer server([&](const std::string& body) { sent = body; });
  server.HandleMessage(Initialize());
  server.HandleMessage(Open(Source()));
  const std::string request =
      Message({{"jsonrpc", "2.0"}, {"id", 1}, {"method", method}, {"params", params}});
  for (auto _ : state) {
    server.HandleMessage(request);
    benchmark::DoNotOptimize(sent.data());
  }
  if (sent.find("\"result\"") == std::string::npos) state.SkipWithError(sent.c_str());
  state.counters["answer_bytes"] = static_cast<double>(sent.size());
}

Json Document() {
  return {{"textDocument", {{"uri", kUri}}}};
}

Json At(int line, int character) {
  return {{"textDocument", {{"uri", kUri}}},
          {"position", {{"line", line}, {"character", character}}}};
}

// Lines [first, last) of the source.
Json Lines(int first, int last) {
  Json params = Document();
  params["range"] = {{"start", {{"line", first}, {"character", 0}}},
                     {"end", {{"line", last}, {"character", 0}}}};
  return params;
}

BENCHMARK_CAPTURE(RequestOnTheSource, SignatureHelp, "textDocument/signatureHelp",
                  At(kLines / 2, 5))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RequestOnTheSource, InlayHintsWholeDocument, "textDocument/inlayHint",
                  Lines(0, kLines))
    ->Unit(benchmark::kMillisecond);
// What an editor asks for: the lines in view.
BENCHMARK_CAPTURE(RequestOnTheSource, InlayHintsHundredLines, "textDocument/inlayHint",
                  Lines(kLines / 2, kLines / 2 + 100))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RequestOnTheSource, FoldingRanges, "textDocument/foldingRange", Document())
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RequestOnTheSource, HighlightOfAStatementWord, "textDocument/documentHighlight",
                  At(kLines / 2, 1))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RequestOnTheSource, SemanticTokens, "textDocument/semanticTokens/full",
                  Document())
    ->Unit(benchmark::kMillisecond);

// A one-line change, then the semantic tokens as the change from those sent before it.
void BM_SemanticTokensDeltaAfterAChange(benchmark::State& state) {
  std::string sent;
  zelk::lsp::LanguageServer server([&](const std::string& body) { sent = body; });
  server.HandleMessage(Initialize());
  server.HandleMessage(Open(Source()));
  const auto resultId = [&] {
    const Json answer = Json::parse(sent, nullptr, false);
    return answer.is_object() && answer.contains("result") ? answer["result"].value("resultId", "")
                                                           : std::string();
  };
  server.HandleMessage(Message({{"jsonrpc", "2.0"},
                                {"id", 1},
                                {"method", "textDocument/semanticTokens/full"},
                                {"params", Document()}}));
  std::string previous = resultId();
  int version = 1;
  for (auto _ : state) {
    state.PauseTiming();
    server.HandleMessage(Change(++version));
    Json params = Document();
    params["previousResultId"] = previous;
    const std::string request = Message({{"jsonrpc", "2.0"},
                                         {"id", 1},
                                         {"method", "textDocument/semanticTokens/full/delta"},
                                         {"params", params}});
    state.ResumeTiming();
    server.HandleMessage(request);
    state.PauseTiming();
    previous = resultId();
    state.ResumeTiming();
  }
  if (sent.find("\"edits\"") == std::string::npos) state.SkipWithError(sent.c_str());
  state.counters["answer_bytes"] = static_cast<double>(sent.size());
}
BENCHMARK(BM_SemanticTokensDeltaAfterAChange)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RequestOnTheSource, WorkspaceSymbols, "workspace/symbol", Json{{"query", ""}})
    ->Unit(benchmark::kMillisecond);

Json FormattingOptions(Json params) {
  params["options"] = {{"tabSize", 4}, {"insertSpaces", true}};
  return params;
}

// The generated source is formatted already: the whole work of formatting, no edit.
BENCHMARK_CAPTURE(RequestOnTheSource, FormattingFormattedDocument, "textDocument/formatting",
                  FormattingOptions(Document()))
    ->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(RequestOnTheSource, RangeFormattingHundredLines, "textDocument/rangeFormatting",
                  FormattingOptions(Lines(kLines / 2, kLines / 2 + 100)))
    ->Unit(benchmark::kMillisecond);

// Formatting where every statement line changes: blanks around the punctuation of each.
void BM_FormattingUntidyDocument(benchmark::State& state) {
  std::string text;
  for (const char c : Source()) {
    if (c == '(') text += " ( ";
    if (c == ',') text += " ,\t";
    if (c == ';') text += " ;";
    if (c != '(' && c != ',' && c != ';') text += c;
  }
  std::string sent;
  zelk::lsp::LanguageServer server([&](const std::string& body) { sent = body; });
  server.HandleMessage(Initialize());
  server.HandleMessage(Open(text));
  const std::string request = Message({{"jsonrpc", "2.0"},
                                       {"id", 1},
                                       {"method", "textDocument/formatting"},
                                       {"params", FormattingOptions(Document())}});
  for (auto _ : state) {
    server.HandleMessage(request);
    benchmark::DoNotOptimize(sent.data());
  }
  const Json answer = Json::parse(sent);
  if (!answer["result"].is_array() || answer["result"].size() < kLines * 9 / 10) {
    state.SkipWithError("not every line changed");
  }
  state.counters["edits"] = static_cast<double>(answer["result"].size());
}
BENCHMARK(BM_FormattingUntidyDocument)->Unit(benchmark::kMillisecond);

// Quick fixes on the 10,000-line source with line 5000 naming a label that is not there: its
// nearest labels among every label of the source.
void CodeActions(benchmark::State& state, int first, int last) {
  std::string sent;
  zelk::lsp::LanguageServer server([&](const std::string& body) { sent = body; });
  server.HandleMessage(Initialize());
  server.HandleMessage(Open(Source()));
  server.HandleMessage(Change(2));
  Json params = Lines(first, last);
  params["context"] = {{"diagnostics", Json::array()}};
  const std::string request = Message(
      {{"jsonrpc", "2.0"}, {"id", 1}, {"method", "textDocument/codeAction"}, {"params", params}});
  for (auto _ : state) {
    server.HandleMessage(request);
    benchmark::DoNotOptimize(sent.data());
  }
  if (sent.find("add label@nowhere;") == std::string::npos) state.SkipWithError(sent.c_str());
  state.counters["answer_bytes"] = static_cast<double>(sent.size());
}
BENCHMARK_CAPTURE(CodeActions, OnTheLine, kLines / 2, kLines / 2)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CodeActions, WholeDocument, 0, kLines)->Unit(benchmark::kMillisecond);

// zelk --lsp as an editor runs it: two pipes.
class ServerProcess {
 public:
  bool Start() {
    // A server that ends early makes a write fail instead of ending the benchmark.
    ::signal(SIGPIPE, SIG_IGN);
    const char* binary = std::getenv("ZELK_LSP_BINARY");
    if (binary == nullptr || *binary == '\0') binary = ZELK_BINARY;
    int toServer[2];
    int fromServer[2];
    if (::pipe2(toServer, O_CLOEXEC) != 0 || ::pipe2(fromServer, O_CLOEXEC) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, toServer[0], STDIN_FILENO);
    posix_spawn_file_actions_adddup2(&actions, fromServer[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(binary), const_cast<char*>("--lsp"), nullptr};
    const int failed = ::posix_spawn(&m_pid, binary, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    ::close(toServer[0]);
    ::close(fromServer[1]);
    m_in = toServer[1];
    m_out = fromServer[0];
    return failed == 0;
  }

  void Send(const std::string& body) {
    const std::string framed = zelk::lsp::FrameMessage(body);
    for (std::size_t done = 0; done < framed.size();) {
      const ssize_t n = ::write(m_in, framed.data() + done, framed.size() - done);
      if (n <= 0) return;
      done += static_cast<std::size_t>(n);
    }
  }

  // The body of the next message that holds the text; empty when the server ends first.
  std::string Await(const std::string& text) {
    zelk::lsp::MessageReader::Event event;
    for (;;) {
      while (m_reader.Next(event)) {
        if (event.body.find(text) != std::string::npos) return event.body;
      }
      char chunk[1 << 16];
      const ssize_t n = ::read(m_out, chunk, sizeof chunk);
      if (n <= 0) return {};
      m_reader.Feed(std::string_view(chunk, static_cast<std::size_t>(n)));
    }
  }

  void Stop() {
    Send(Message({{"jsonrpc", "2.0"}, {"id", 99}, {"method", "shutdown"}}));
    Send(Message({{"jsonrpc", "2.0"}, {"method", "exit"}}));
    ::close(m_in);
    ::close(m_out);
    int status = 0;
    ::waitpid(m_pid, &status, 0);
  }

 private:
  pid_t m_pid = -1;
  int m_in = -1;
  int m_out = -1;
  zelk::lsp::MessageReader m_reader;
};

void BM_OneLineChangeThroughPipes(benchmark::State& state) {
  ServerProcess server;
  if (!server.Start()) {
    state.SkipWithError("zelk --lsp cannot be started");
    return;
  }
  server.Send(Initialize());
  server.Await("\"id\":0");
  server.Send(Open(Source()));
  server.Await("publishDiagnostics");
  int version = 1;
  for (auto _ : state) {
    server.Send(Change(++version));
    if (server.Await("publishDiagnostics").empty()) {
      state.SkipWithError("the server ended");
      break;
    }
  }
  server.Stop();
}
BENCHMARK(BM_OneLineChangeThroughPipes)->Unit(benchmark::kMillisecond);

// From the start of the process to the answer to initialize.
void BM_StartUntilInitialized(benchmark::State& state) {
  for (auto _ : state) {
    const auto start = Clock::now();
    ServerProcess server;
    if (!server.Start()) {
      state.SkipWithError("zelk --lsp cannot be started");
      return;
    }
    server.Send(Initialize());
    const bool answered = !server.Await("\"id\":0").empty();
    state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
    server.Stop();
    if (!answered) {
      state.SkipWithError("zelk --lsp did not answer initialize");
      return;
    }
  }
}
BENCHMARK(BM_StartUntilInitialized)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

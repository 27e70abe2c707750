// SPDX-License-Identifier: MIT
// The protocol layer through a pipe: the life cycle, and every broken or unexpected message gets
// the answer JSON-RPC and the protocol prescribe (or none, where they say so), after which the
// server goes on.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/LspTestSupport.h"

namespace zelk::test {
namespace {

// The answers of a run, each as "id:result" or "id:error code", notifications left out.
std::vector<std::string> Answers(const Served& served) {
  std::vector<std::string> answers;
  for (const Json& m : served.messages) {
    if (!m.contains("id")) continue;
    const std::string id = m["id"].is_null() ? "null" : m["id"].dump();
    answers.push_back(id + ":" + (m.contains("error") ? m["error"]["code"].dump() : "result"));
    EXPECT_EQ(m["jsonrpc"], "2.0");
    if (m.contains("error")) {
      EXPECT_FALSE(m["error"]["message"].get<std::string>().empty());
    }
  }
  return answers;
}

std::string Raw(const std::string& body) {
  return "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n" + body;
}

const std::string kShutdown = Request(1, "shutdown");
const std::string kExit = Notification("exit");
const std::string kBody = R"({"jsonrpc":"2.0","id":7,"method":"shutdown"})";

TEST(Protocol, AnswersEveryMessageAsPrescribed) {
  const struct {
    const char* name;
    std::string input;
    std::vector<std::string> answers;
    int status;
  } cases[] = {
      {"a whole session",
       Initialize() + kShutdown + kExit + Request(9, "shutdown"),
       {"0:result", "1:result"},
       0},
      {"request before initialize",
       Request(5, "textDocument/hover") + Initialize(),
       {"5:-32002", "0:result"},
       1},
      {"notification before initialize is dropped",
       Open("file:///a.scr", "goto(x);\n") + Initialize(),
       {"0:result"},
       1},
      {"initialize twice", Initialize() + Request(2, "initialize"), {"0:result", "2:-32600"}, 1},
      {"request after shutdown",
       Initialize() + kShutdown + Request(2, "textDocument/hover") + kExit,
       {"0:result", "1:result", "2:-32600"},
       0},
      {"exit without shutdown", Initialize() + kExit + kShutdown, {"0:result"}, 1},
      {"input ends after shutdown", Initialize() + kShutdown, {"0:result", "1:result"}, 0},
      {"unknown methods",
       Initialize() + Request(2, "zelk/unknown") + Notification("zelk/unknown") +
           Notification("$/cancelRequest", {{"id", 2}}) + Request(3, "$/unknown"),
       {"0:result", "2:-32601", "3:-32601"},
       1},
      {"malformed JSON",
       Initialize() + Raw("{oops") + kShutdown,
       {"0:result", "null:-32700", "1:result"},
       0},
      {"not an object",
       Initialize() + Raw("[1, 2]") + Raw("42") + kShutdown,
       {"0:result", "null:-32600", "null:-32600", "1:result"},
       0},
      {"no Content-Length",
       Initialize() + "Content-Type: text/json\r\n\r\n" + kBody + kShutdown,
       {"0:result", "null:-32700", "1:result"},
       0},
      {"Content-Length not a number",
       Initialize() + "Content-Length: ten\r\n\r\n" + kBody + kShutdown,
       {"0:result", "null:-32700", "1:result"},
       0},
      {"Content-Length too short",
       Initialize() + "Content-Length: 10\r\n\r\n" + kBody + kShutdown,
       {"0:result", "null:-32700", "null:-32700", "1:result"},
       0},
      {"Content-Length longer than the input",
       Initialize() + "Content-Length: 500\r\n\r\n" + kBody,
       {"0:result"},
       1},
      {"a body too large to read",
       Initialize() + "Content-Length: 99999999999\r\n\r\n{}",
       {"0:result", "null:-32700"},
       1},
      {"garbage before the first message",
       "hello\r\nworld\r\n" + Initialize(),
       {"null:-32700", "0:result"},
       1},
      {"headers in other letter case and blank lines between messages",
       "\r\n\r\ncontent-length: " + std::to_string(kBody.size()) +
           "\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n" + kBody,
       {"7:-32002"},
       1},
      {"no method", Initialize() + Raw(R"({"jsonrpc":"2.0","id":3})"), {"0:result", "3:-32600"}, 1},
      {"an answer of the client is not answered",
       Initialize() + Raw(R"({"jsonrpc":"2.0","id":3,"result":null})"),
       {"0:result"},
       1},
      {"an id that is no number or string",
       Initialize() + Raw(R"({"jsonrpc":"2.0","id":[1],"method":"shutdown"})"),
       {"0:result", "null:-32600"},
       1},
      {"params that are no object or array",
       Initialize() + Raw(R"({"jsonrpc":"2.0","id":3,"method":"shutdown","params":5})"),
       {"0:result", "3:-32600"},
       1},
      {"null params are no params",
       Initialize() + Raw(R"({"jsonrpc":"2.0","method":"initialized","params":null})") +
           Raw(R"({"jsonrpc":"2.0","id":2,"method":"textDocument/hover","params":null})") +
           Raw(R"({"jsonrpc":"2.0","id":3,"method":"shutdown","params":null})") +
           Raw(R"({"jsonrpc":"2.0","method":"exit","params":null})") + Request(4, "shutdown"),
       {"0:result", "2:-32602", "3:result"},
       0},
      {"no jsonrpc member",
       Initialize() + Raw(R"({"id":3,"method":"shutdown"})"),
       {"0:result", "3:-32600"},
       1},
      {"invalid params",
       Initialize() + Request(2, "textDocument/hover", {{"textDocument", {{"uri", "x"}}}}) +
           Request(
               3, "textDocument/hover",
               {{"textDocument", {{"uri", "x"}}}, {"position", {{"line", -1}, {"character", 0}}}}) +
           Request(4, "textDocument/rename", At("x", 0, 0)),
       {"0:result", "2:-32602", "3:-32602", "4:-32602"},
       1},
  };
  for (const auto& c : cases) {
    const Served served = Serve(c.input);
    EXPECT_EQ(Answers(served), c.answers) << c.name;
    EXPECT_EQ(served.status, c.status) << c.name;
  }
}

TEST(Protocol, InitializeAnnouncesWhatTheServerDoesInTheClientsEncoding) {
  const Served utf16 = Serve(Initialize());
  const Json capabilities = utf16.ResultOf(0)["capabilities"];
  EXPECT_EQ(capabilities["positionEncoding"], "utf-16");
  EXPECT_EQ(capabilities["textDocumentSync"]["change"], 2);  // incremental
  EXPECT_EQ(capabilities["textDocumentSync"]["save"], Json({{"includeText", false}}));
  for (const char* provider : {"hoverProvider", "definitionProvider", "referencesProvider",
                               "documentSymbolProvider", "renameProvider", "completionProvider"}) {
    EXPECT_TRUE(capabilities.contains(provider)) << provider;
  }
  EXPECT_EQ(utf16.ResultOf(0)["serverInfo"]["name"], "zelk");

  const Served utf8 =
      Serve(Initialize({{"general", {{"positionEncodings", {"utf-8", "utf-16"}}}},
                        {"textDocument", {{"rename", {{"prepareSupport", true}}}}}}));
  EXPECT_EQ(utf8.ResultOf(0)["capabilities"]["positionEncoding"], "utf-8");
  EXPECT_EQ(utf8.ResultOf(0)["capabilities"]["renameProvider"], Json({{"prepareProvider", true}}));
}

TEST(Protocol, PositionsPastTheEndAreTheEnd) {
  const std::string uri = "file:///end.scr";
  const Served served = Serve(
      Initialize() + Open(uri, "wait(1);\n") + Request(1, "textDocument/hover", At(uri, 99, 0)) +
      Request(2, "textDocument/completion", At(uri, 99, 0)) +
      Request(3, "textDocument/definition", At(uri, 0, 9999)) +
      Notification(
          "textDocument/didChange",
          {{"textDocument", {{"uri", uri}, {"version", 2}}},
           {"contentChanges", {{{"range", Span(99, 5, 120, 0)}, {"text", "goto(x);\n"}}}}}));
  EXPECT_EQ(served.ResultOf(1), nullptr);
  EXPECT_EQ(served.ResultOf(2)["items"], Json::array());
  EXPECT_EQ(served.ResultOf(3), nullptr);
  const std::vector<Json> published = served.Published();
  ASSERT_EQ(published.size(), 2u);
  EXPECT_EQ(published[1]["version"], 2);
  ASSERT_EQ(published[1]["diagnostics"].size(), 1u);
  EXPECT_EQ(published[1]["diagnostics"][0]["message"], "goto: Label x not found!");
  EXPECT_EQ(published[1]["diagnostics"][0]["range"], Span(1, 5, 1, 6));
}

TEST(Protocol, DocumentsOfAHundredThousandLines) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += i % 1000 == 999 ? "goto(nowhere);\n" : "wait(1);\n";
  const std::string uri = "file:///long.scr";
  const Served served =
      Serve(Initialize() + Open(uri, text) +
            Notification(
                "textDocument/didChange",
                {{"textDocument", {{"uri", uri}, {"version", 2}}},
                 {"contentChanges", {{{"range", Span(50000, 0, 50000, 8)}, {"text", "die();"}}}}}) +
            Request(1, "textDocument/hover", At(uri, 99999, 1)) + kShutdown);
  const std::vector<Json> published = served.Published();
  ASSERT_EQ(published.size(), 2u);
  // The gotos, and one warning for the statements after the first goto, which never run (two once
  // the line of die() stands between them).
  EXPECT_EQ(published[0]["diagnostics"].size(), 101u);
  ASSERT_EQ(published[1]["diagnostics"].size(), 103u);
  EXPECT_EQ(published[1]["diagnostics"][51]["range"], Span(50000, 0, 50000, 6));
  EXPECT_EQ(published[1]["diagnostics"][102]["range"], Span(99999, 5, 99999, 12));
  EXPECT_EQ(served.ResultOf(1)["range"], Span(99999, 0, 99999, 4));
  EXPECT_EQ(served.status, 0);
}

// A server rewound to its checkpoint is the server of that moment again: documents opened,
// switches changed and the shutdown since are gone, the client's options of initialize stay.
TEST(Protocol, RewoundToTheCheckpoint) {
  std::vector<Json> sent;
  lsp::LanguageServer server([&](const std::string& body) { sent.push_back(Json::parse(body)); });
  const auto body = [](const std::string& framed) { return framed.substr(framed.find("{")); };
  server.HandleMessage(body(Request(
      0, "initialize", {{"capabilities", {{"general", {{"positionEncodings", {"utf-8"}}}}}}})));
  server.Checkpoint();
  const std::string hints = body(Request(2, "textDocument/inlayHint",
                                         {{"textDocument", {{"uri", "file:///a.scr"}}},
                                          {"range", Span(0, 0, 1, 0)}}));
  for (int round = 0; round < 2; ++round) {
    sent.clear();
    server.HandleMessage(body(Open("file:///a.scr", "say(\"\u00e9\", 1, attn_norm);\n")));
    server.HandleMessage(body(Notification(
        "workspace/didChangeConfiguration",
        {{"settings", {{"inlayHints", {{"argumentNames", false}}}}}})));
    server.HandleMessage(hints);
    server.HandleMessage(body(kShutdown));
    server.HandleMessage(body(kExit));
    ASSERT_EQ(sent.size(), 3u);
    // The instruction index after the é counts bytes of UTF-8: the encoding of initialize.
    EXPECT_EQ(sent[1]["result"].dump(),
              R"([{"kind":1,"label":"ip0","paddingLeft":true,"position":{"character":24,"line":0}}])");
    EXPECT_TRUE(server.Exited());
    server.Rewind();
    EXPECT_FALSE(server.Exited());
  }
  sent.clear();
  server.HandleMessage(hints);
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_TRUE(sent[0]["result"].is_null()) << "the document was open before the rewind only";
}

}  // namespace
}  // namespace zelk::test

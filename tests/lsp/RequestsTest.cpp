// SPDX-License-Identifier: MIT
// The requests that help while writing, asked through the protocol: one table of documents,
// requests and the answers expected.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/LspTestSupport.h"

namespace zelk::test {
namespace {

const std::string kUri = "file:///scene.scr";
const std::string kScene =
    "// a scene\n"                           // 0
    "// of two labels\n"                     // 1
    "label@start;\n"                         // 2
    "on_see(.client, spotted, 1.0, 512);\n"  // 3
    "say(\"a,b.wav\", 1, attn_norm);\n"      // 4
    "goto(start);\n"                         // 5
    "\n"                                     // 6
    "label@spotted;\n"                       // 7
    "move_to(\"x\", <1, 2,3>);\n"            // 8
    "on_see(.client, spo\n"                  // 9
    "say(\"a,b\n";                           // 10

// A document to format: CRLF and LF lines, a tab, a character of two UTF-16 units, a line that
// does not parse and a last line without a line feed.
const char* const kUntidy =
    "label @ top ;\r\n"
    "say(\"\xF0\x9F\x98\x80\" ,1,attn_norm); // x\n"
    "\tgoto(top);\n"
    "Goto ( top );\n"
    "wait( 1 );";

Json TextDocument() {
  return {{"textDocument", {{"uri", kUri}}}};
}

Json WithRange(int l1, int c1, int l2, int c2) {
  Json params = TextDocument();
  params["range"] = Span(l1, c1, l2, c2);
  return params;
}

Json DeltaOf(const char* previous) {
  Json params = TextDocument();
  params["previousResultId"] = previous;
  return params;
}

// A statement on the blank line 6.
std::string WaitOnLine6() {
  return Notification("textDocument/didChange",
                      {{"textDocument", {{"uri", kUri}, {"version", 2}}},
                       {"contentChanges", {{{"range", Span(6, 0, 6, 0)}, {"text", "wait(1);"}}}}});
}

struct Case {
  const char* name;
  Json initialization;  // initializationOptions
  Json settings;        // then workspace/didChangeConfiguration
  std::string method;
  Json params;
  const char* answer;  // the result, as JSON
  const char* text = nullptr;  // the document, when it is not kScene
  std::string before = {};     // messages sent before the request (with other ids)
};

TEST(Requests, TableOfDocumentsAndAnswers) {
  const Case cases[] =
      {
          {"signature help, first argument", nullptr, nullptr, "textDocument/signatureHelp",
           At(kUri, 3, 7),
           R"({"activeParameter":0,"activeSignature":0,"signatures":[{"label":"on_see(string targetname, string labelname, float delay, float range);","parameters":[{"label":[7,24]},{"label":[26,42]},{"label":[44,55]},{"label":[57,68]}]}]})"},
          {"signature help, counted by commas outside quotes", nullptr, nullptr,
           "textDocument/signatureHelp", At(kUri, 9, 19),
           R"({"activeParameter":1,"activeSignature":0,"signatures":[{"label":"on_see(string targetname, string labelname, float delay, float range);","parameters":[{"label":[7,24]},{"label":[26,42]},{"label":[44,55]},{"label":[57,68]}]}]})"},
          {"signature help, inside a string", nullptr, nullptr, "textDocument/signatureHelp",
           At(kUri, 10, 8), R"(null)"},
          {"signature help, a vector and its commas one argument", nullptr, nullptr,
           "textDocument/signatureHelp", At(kUri, 8, 21),
           R"({"activeParameter":1,"activeSignature":0,"signatures":[{"label":"move_to(string x, vector y);","parameters":[{"label":[8,16]},{"label":[18,26]}]}]})"},
          {"signature help inside a vector, past its commas", nullptr, nullptr,
           "textDocument/signatureHelp", At(kUri, 8, 18),
           R"({"activeParameter":1,"activeSignature":0,"signatures":[{"label":"move_to(string x, vector y);","parameters":[{"label":[8,16]},{"label":[18,26]}]}]})"},
          {"signature help just inside a vector's mark", nullptr, nullptr,
           "textDocument/signatureHelp", At(kUri, 8, 14),
           R"({"activeParameter":1,"activeSignature":0,"signatures":[{"label":"move_to(string x, vector y);","parameters":[{"label":[8,16]},{"label":[18,26]}]}]})"},
          {"inlay hints", nullptr, nullptr, "textDocument/inlayHint", WithRange(3, 0, 8, 0),
           R"([{"kind":2,"label":"targetname:","paddingRight":true,"position":{"character":7,"line":3}},{"kind":2,"label":"labelname:","paddingRight":true,"position":{"character":16,"line":3}},{"kind":2,"label":"delay:","paddingRight":true,"position":{"character":25,"line":3}},{"kind":2,"label":"range:","paddingRight":true,"position":{"character":30,"line":3}},{"kind":1,"label":"ip0","paddingLeft":true,"position":{"character":35,"line":3}},{"kind":2,"label":"wavefile:","paddingRight":true,"position":{"character":4,"line":4}},{"kind":2,"label":"volume:","paddingRight":true,"position":{"character":15,"line":4}},{"kind":2,"label":"attenuation:","paddingRight":true,"position":{"character":18,"line":4}},{"kind":1,"label":"ip1","paddingLeft":true,"position":{"character":29,"line":4}},{"kind":2,"label":"x:","paddingRight":true,"position":{"character":5,"line":5}},{"kind":1,"label":"ip2","paddingLeft":true,"position":{"character":12,"line":5}},{"kind":2,"label":"x:","paddingRight":true,"position":{"character":8,"line":8}},{"kind":2,"label":"y:","paddingRight":true,"position":{"character":13,"line":8}},{"kind":1,"label":"ip3","paddingLeft":true,"position":{"character":23,"line":8}}])"},
          {"inlay hints, argument names off",
           {{"inlayHints", {{"argumentNames", false}}}},
           nullptr,
           "textDocument/inlayHint",
           WithRange(0, 0, 20, 0),
           R"([{"kind":1,"label":"ip0","paddingLeft":true,"position":{"character":35,"line":3}},{"kind":1,"label":"ip1","paddingLeft":true,"position":{"character":29,"line":4}},{"kind":1,"label":"ip2","paddingLeft":true,"position":{"character":12,"line":5}},{"kind":1,"label":"ip3","paddingLeft":true,"position":{"character":23,"line":8}}])"},
          {"inlay hints, then the instruction index off in the settings",
           {{"inlayHints", {{"argumentNames", false}}}},
           {{"zelk", {{"inlayHints", {{"instructionIndex", false}}}}}},
           "textDocument/inlayHint",
           WithRange(0, 0, 20, 0),
           "[]"},
          {"folding ranges", nullptr, nullptr, "textDocument/foldingRange", TextDocument(),
           R"([{"endLine":1,"kind":"comment","startLine":0},{"endLine":5,"kind":"region","startLine":2},{"endLine":10,"kind":"region","startLine":7}])"},
          {"highlight of a label", nullptr, nullptr, "textDocument/documentHighlight",
           At(kUri, 5, 6),
           R"([{"kind":3,"range":{"end":{"character":11,"line":2},"start":{"character":6,"line":2}}},{"kind":2,"range":{"end":{"character":10,"line":5},"start":{"character":5,"line":5}}}])"},
          {"highlight of a statement word", nullptr, nullptr, "textDocument/documentHighlight",
           At(kUri, 3, 2),
           R"([{"kind":1,"range":{"end":{"character":6,"line":3},"start":{"character":0,"line":3}}},{"kind":1,"range":{"end":{"character":6,"line":9},"start":{"character":0,"line":9}}}])"},
          {"highlight of nothing", nullptr, nullptr, "textDocument/documentHighlight",
           At(kUri, 3, 34), R"(null)"},
          {"semantic tokens", nullptr, nullptr, "textDocument/semanticTokens/full", TextDocument(),
           R"({"data":[0,0,10,8,0,1,0,16,8,0,1,0,5,2,0,0,6,5,3,1,1,0,6,0,0,0,7,7,5,0,0,9,7,3,0,0,9,3,7,0,0,5,3,7,0,1,0,3,0,0,0,4,9,6,0,0,11,1,7,0,0,3,9,4,0,1,0,4,0,0,0,5,5,3,0,2,0,5,2,0,0,6,7,3,1,1,0,7,0,0,0,8,3,6,0,0,5,8,7,0,1,0,6,0,0,1,0,3,0,0],"resultId":"1"})"},
          {"semantic tokens as a change from those sent before", nullptr, nullptr,
           "textDocument/semanticTokens/full/delta", DeltaOf("1"),
           R"({"edits":[{"data":[1,0,4,0,0,0,5,1,7,0,1],"deleteCount":1,"start":75}],"resultId":"2"})",
           nullptr, Request(2, "textDocument/semanticTokens/full", TextDocument()) + WaitOnLine6()},
          {"semantic tokens unchanged", nullptr, nullptr, "textDocument/semanticTokens/full/delta",
           DeltaOf("1"), R"({"edits":[],"resultId":"2"})",
           nullptr, Request(2, "textDocument/semanticTokens/full", TextDocument())},
          {"semantic tokens as a change from tokens not sent: all of them", nullptr, nullptr,
           "textDocument/semanticTokens/full/delta", DeltaOf("7"),
           R"({"data":[0,0,10,8,0,1,0,16,8,0,1,0,5,2,0,0,6,5,3,1,1,0,6,0,0,0,7,7,5,0,0,9,7,3,0,0,9,3,7,0,0,5,3,7,0,1,0,3,0,0,0,4,9,6,0,0,11,1,7,0,0,3,9,4,0,1,0,4,0,0,0,5,5,3,0,2,0,5,2,0,0,6,7,3,1,1,0,7,0,0,0,8,3,6,0,0,5,8,7,0,1,0,6,0,0,1,0,3,0,0],"resultId":"2"})",
           nullptr, Request(2, "textDocument/semanticTokens/full", TextDocument())},
          {"workspace symbols",
           nullptr,
           nullptr,
           "workspace/symbol",
           {{"query", "SP"}},
           R"([{"kind":12,"location":{"range":{"end":{"character":13,"line":7},"start":{"character":6,"line":7}},"uri":"file:///scene.scr"},"name":"spotted"}])"},
          {"formatting", nullptr, nullptr, "textDocument/formatting", TextDocument(),
           R"([{"newText":"@top","range":{"end":{"character":12,"line":0},"start":{"character":5,"line":0}}},{"newText":", 1, ","range":{"end":{"character":12,"line":1},"start":{"character":8,"line":1}}},{"newText":"","range":{"end":{"character":1,"line":2},"start":{"character":0,"line":2}}},{"newText":"1","range":{"end":{"character":8,"line":4},"start":{"character":5,"line":4}}}])",
           kUntidy},
          {"range formatting", nullptr, nullptr, "textDocument/rangeFormatting",
           WithRange(1, 0, 4, 0),
           R"([{"newText":", 1, ","range":{"end":{"character":12,"line":1},"start":{"character":8,"line":1}}},{"newText":"","range":{"end":{"character":1,"line":2},"start":{"character":0,"line":2}}}])",
           kUntidy},
      };
  for (const Case& c : cases) {
    Json params = {{"capabilities", Json::object()}};
    if (!c.initialization.is_null()) params["initializationOptions"] = c.initialization;
    const std::string configuration =
        c.settings.is_null()
            ? std::string()
            : Notification("workspace/didChangeConfiguration", {{"settings", c.settings}});
    const Served served =
        Serve(Request(0, "initialize", params) + Notification("initialized") +
              Open(kUri, c.text != nullptr ? c.text : kScene) + configuration + c.before +
              Request(1, c.method, c.params));
    EXPECT_EQ(served.ResultOf(1), Json::parse(c.answer, nullptr, false)) << c.name;
  }
}

}  // namespace
}  // namespace zelk::test

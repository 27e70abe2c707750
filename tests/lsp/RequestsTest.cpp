// SPDX-License-Identifier: MIT
// The requests that help while writing, asked through the protocol: one table of documents,
// requests and the answers expected.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "compiler/SourceFormat.h"
#include "environment/OptionsFile.h"
#include "lsp/LspTestSupport.h"
#include "lsp/Protocol.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "support/SourceGenerator.h"
#include "support/TempDir.h"

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
          {"code lens", nullptr, nullptr, "textDocument/codeLens", TextDocument(),
           R"([{"command":{"arguments":["file:///scene.scr"],"command":"zelk.compile","title":"Compile"},"range":{"end":{"character":0,"line":0},"start":{"character":0,"line":0}}}])"},
          {"code lens off", {{"codeLens", false}}, nullptr, "textDocument/codeLens",
           TextDocument(), "[]"},
          {"code lens off in the settings", nullptr, {{"zelk", {{"codeLens", false}}}},
           "textDocument/codeLens", TextDocument(), "[]"},
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


// The text after an action's edits of the document (ASCII: a character is a byte).
std::string Applied(std::string text, const Json& action) {
  const auto offset = [&](const Json& position) {
    std::size_t at = 0;
    for (int line = 0; line < position["line"].get<int>(); ++line) at = text.find('\n', at) + 1;
    return at + position["character"].get<std::size_t>();
  };
  Json edits = action["edit"]["changes"][kUri];
  for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
    const std::size_t from = offset((*edit)["range"]["start"]);
    text.replace(from, offset((*edit)["range"]["end"]) - from, (*edit)["newText"]);
  }
  return text;
}

struct QuickFix {
  const char* name;
  std::string text;
  int line;    // the line of the request
  Json only;   // context.only, or null
  std::vector<std::pair<std::string, std::string>> fixes;  // title, the text after it
};

TEST(Requests, QuickFixesMendTheFindingsOfTheLine) {
  const QuickFix cases[] = {
      {"an unknown statement word",
       "label@a;\non_sea(.client, a, 1.0, 512);\n",
       1,
       nullptr,
       {{"change to on_see", "label@a;\non_see(.client, a, 1.0, 512);\n"},
        {"change to on_use", "label@a;\non_use(.client, a, 1.0, 512);\n"}}},
      {"a word in capitals", "GOTO(start);\nlabel@start;\n", 0, nullptr,
       {{"change to goto", "goto(start);\nlabel@start;\n"}}},
      {"an intercept naming a missing label",
       "label@spotted;\non_see(.client, spoted, 1.0, 512);\n",
       1,
       nullptr,
       {{"change to spotted", "label@spotted;\non_see(.client, spotted, 1.0, 512);\n"},
        {"add label@spoted;",
         "label@spotted;\non_see(.client, spoted, 1.0, 512);\nlabel@spoted;\n"}}},
      {"a missing label, the last line without a line feed",
       "goto(away);\nwait(1);",
       0,
       nullptr,
       {{"add label@away;", "goto(away);\nwait(1);\nlabel@away;\n"}}},
      {"a missing label, Windows line ends", "goto(away);\r\n", 0, nullptr,
       {{"add label@away;", "goto(away);\r\nlabel@away;\r\n"}}},
      {"a missing ;", "wait(1)  // a pause\n", 0, nullptr,
       {{"add ;", "wait(1);  // a pause\n"}}},
      {"a last line without a line feed", "wait(1);\nwait(2);", 1, nullptr,
       {{"add a line feed at the end", "wait(1);\nwait(2);\n"}}},
      {"a label defined twice",
       "label@a;\nlabel@a_2;\nlabel@a;\ngoto(a_3);\nlabel@a_3;\n",
       2,
       nullptr,
       {{"rename to a_4", "label@a;\nlabel@a_2;\nlabel@a_4;\ngoto(a_3);\nlabel@a_3;\n"}}},
      {"only other kinds asked for", "wait(1)\n", 0, Json::array({"refactor"}), {}},
  };
  for (const QuickFix& c : cases) {
    Json params = {{"textDocument", {{"uri", kUri}}},
                   {"range", Span(c.line, 0, c.line, 0)},
                   {"context", {{"diagnostics", Json::array()}}}};
    if (!c.only.is_null()) params["context"]["only"] = c.only;
    const Served served =
        Serve(Initialize() + Open(kUri, c.text) + Request(1, "textDocument/codeAction", params));
    const Json actions = served.ResultOf(1);
    ASSERT_TRUE(actions.is_array()) << c.name << ": " << actions;
    std::vector<std::pair<std::string, std::string>> fixes;
    for (const Json& action : actions) {
      fixes.emplace_back(action["title"], Applied(c.text, action));
      // Each mends a diagnostic as it was published, which names what it is.
      EXPECT_EQ(action["kind"], "quickfix") << c.name;
      ASSERT_EQ(action["diagnostics"].size(), 1u) << c.name;
      const Json& diagnostic = action["diagnostics"][0];
      EXPECT_TRUE(diagnostic.contains("data")) << c.name;
      const Json published = served.Published().at(0)["diagnostics"];
      EXPECT_NE(std::find(published.begin(), published.end(), diagnostic), published.end())
          << c.name << ": " << diagnostic;
    }
    EXPECT_EQ(fixes, c.fixes) << c.name;
  }
}


// A change of the settings asks the clients that can be asked to fetch their lenses again.
TEST(Requests, ChangedSettingsRefreshTheLensesOfClientsThatCanRefresh) {
  for (const bool refresh : {true, false}) {
    const Served served =
        Serve(Initialize({{"workspace", {{"codeLens", {{"refreshSupport", refresh}}}}}}) +
              Open(kUri, kScene) +
              Notification("workspace/didChangeConfiguration",
                           {{"settings", {{"zelk", {{"codeLens", false}}}}}}) +
              Request(1, "textDocument/codeLens", TextDocument()));
    const auto asked = std::count_if(served.messages.begin(), served.messages.end(), [](auto& m) {
      return m.value("method", "") == "workspace/codeLens/refresh" && m.contains("id");
    });
    EXPECT_EQ(asked, refresh ? 1 : 0);
    EXPECT_EQ(served.ResultOf(1), Json::array());
  }
}

// The file:// address of a path of the host.
std::string FileUri(std::string path) {
  std::string uri = "file://";
  std::replace(path.begin(), path.end(), '\\', '/');
  if (path.front() != '/') uri += '/';
  for (const char c : path) uri += c == ' ' ? std::string("%20") : std::string(1, c);
  return uri;
}

TEST(Requests, CompileCommandWritesIntoTheSaveDirectoryOfTheFoldersOptions) {
  TempDir dir;
  const std::string folder = dir.File("my scenes");
  std::filesystem::create_directories(folder + "/out");
  EnvironmentSettings settings;
  settings.saveDir = "out\\";  // from the folder
  ASSERT_TRUE(SaveOptions(*MakeHostFileSystem(), folder, settings));
  dir.Write("my scenes/intro.scr",
            "sv_save_dir = \"elsewhere\";\nwait(1);\nsay(\"a.wav\", 1, attn_norm);\n");
  dir.Write("my scenes/broken.scr", "wait(1);\ngoto(nowhere);\n");
  const std::string options = dir.Read("my scenes/zelk.cfg");
  const auto compile = [](int id, const std::string& uri) {
    return Request(id, "workspace/executeCommand",
                   {{"command", "zelk.compile"}, {"arguments", {uri}}});
  };
  // broken.scr is open, its error mended in the editor but not saved.
  const std::string broken = FileUri(folder + "/broken.scr");
  const Served served = Serve(Initialize() + compile(1, FileUri(folder + "/intro.scr")) +
                              Open(broken, "wait(1);\n") + compile(2, broken));

  EXPECT_EQ(served.ResultOf(1)["success"], true) << served.ResultOf(1);
  EXPECT_EQ(dir.Read("my scenes/out/intro.dat").size(), 8u + 2 * 544);
  EXPECT_EQ(served.ResultOf(2)["success"], false);
  EXPECT_EQ(dir.Read("my scenes/zelk.cfg"), options);
  std::vector<Json> shown;
  for (const Json& m : served.messages) {
    if (m.value("method", "") == "window/showMessage") shown.push_back(m["params"]);
  }
  ASSERT_EQ(shown.size(), 2u);
  EXPECT_EQ(shown[0]["type"], 3);
  EXPECT_EQ(shown[0]["message"].get<std::string>().rfind(
                "zelk: Compile successful. 2 instructions. 1088 bytes", 0),
            0u)
      << shown[0];
  EXPECT_EQ(shown[1]["type"], 1);
  const std::string failed = shown[1]["message"];
  EXPECT_NE(failed.find("broken.scr:2: error: goto: Label nowhere not found! The compile read the "
                        "saved file: the editor's changes are not saved."),
            std::string::npos)
      << failed;
  EXPECT_EQ(shown[0]["message"].get<std::string>().find("not saved"), std::string::npos);
}

// The edits of a formatting, made from the last to the first, turn the document into the
// formatted source: generated sources, untidy, with line ends of both kinds and strings that start
// with a character of two UTF-16 units.
TEST(Requests, FormattingEditsMakeTheFormattedSource) {
  int changed = 0;
  for (unsigned seed = 1; seed <= 40; ++seed) {
    std::string text;
    bool quoted = false;
    for (const char c : Cp1252ToUtf8(SourceGenerator(seed).Source())) {
      if (c == ',' && !quoted) text += " ,\t";
      if (c == '(' && !quoted) text += " ( ";
      if (c == '\n' && seed % 2 == 1) text += '\r';
      if (c != ',' && c != '(') text += c;
      if (c == '"') quoted = !quoted;
      if (c == '"' && quoted) text += "\xF0\x9F\x98\x80";
    }
    const Served served =
        Serve(Initialize() + Open(kUri, text) + Request(1, "textDocument/formatting", TextDocument()));
    const Json edits = served.ResultOf(1);
    ASSERT_TRUE(edits.is_array()) << edits;
    lsp::TextDocument document(text);
    for (auto edit = edits.rbegin(); edit != edits.rend(); ++edit) {
      document.Edit(lsp::ReadRange((*edit)["range"]), (*edit)["newText"].get<std::string>(),
                    lsp::PositionEncoding::Utf16);
    }
    EXPECT_EQ(document.Text(), FormatSource(text)) << text;
    if (document.Text() != text) ++changed;
  }
  EXPECT_GT(changed, 30);
}

}  // namespace
}  // namespace zelk::test

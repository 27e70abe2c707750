// SPDX-License-Identifier: MIT
// Documents and the diagnostics the server publishes for them: on the range of the faulty line,
// with the console's message in UTF-8, on open, on every change (whole and incremental) and on
// save.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/LspTestSupport.h"

namespace zelk::test {
namespace {

// A diagnostic as "startLine:startChar-endLine:endChar severity message", severity E, W or I,
// followed by "~" when it is tagged unnecessary.
std::vector<std::string> Describe(const Json& published) {
  std::vector<std::string> out;
  for (const Json& d : published["diagnostics"]) {
    const Json& r = d["range"];
    EXPECT_EQ(d["source"], "zelk");
    out.push_back(r["start"]["line"].dump() + ":" + r["start"]["character"].dump() + "-" +
                  r["end"]["line"].dump() + ":" + r["end"]["character"].dump() + " " +
                  (d["severity"] == 1 ? "E" : d["severity"] == 2 ? "W" : "I") +
                  (d.contains("tags") && d["tags"] == Json::array({1}) ? "~ " : " ") +
                  d["message"].get<std::string>());
  }
  return out;
}

TEST(Diagnostics, TableOfDocuments) {
  const struct {
    const char* name;
    std::string text;
    std::vector<std::string> diagnostics;
  } cases[] = {
      {"clean", "label@a;\nwait(1);\ngoto(a);\n", {}},
      {"errors and warnings",
       "label@a;\nwait(1)\ngoto(b);\n",
       {"0:6-0:7 W~ Label a is never used: no statement names it. The compile writes nothing for "
        "it.",
        "1:0-1:7 E No EOL in current statement. Use semicolon.",
        "2:5-2:6 E goto: Label b not found!"}},
      {"the flow: a run of statements that never run, text after the end, a setting",
       "goto(a);\nwait(1);\r\nwait(2);\nlabel@a;\nwalk(b); walk(c);\nsv_editor = \"vi\";\n",
       {"1:0-2:8 W~ 2 unreachable statements, to line 3: the script never runs on past the goto on "
        "line 1. The compile writes them all the same.",
        "4:9-4:17 W The compile ignores the text after the end of this statement: walk(c);",
        "5:0-5:17 I Compiling this source changes the user's settings: sources are opened with the "
        "editor vi."}},
      {"a usage is the help lines", "die();\n", {"0:0-0:6 E die(int damage);\n +++ RESERVED +++"}},
      {"carriage returns stay out of the range",
       "Goto(x);\r\n",
       {"0:0-0:8 E Bad instruction or system data: Goto(x);"}},
      {"text in UTF-8, ranges in UTF-16",
       "\xC3\xA9\xF0\x9F\x98\x80 wait;\n",
       {"0:0-0:9 E Bad instruction or system data: \xC3\xA9? wait;",
        "0:1-0:3 W Character U+1F600 has no place in Windows-1252: the compile writes ? in its "
        "place."}},
      {"a carriage return alone does not end a compile line",
       "wait(1)\rwait(2);\n",
       {"0:0-1:8 E No EOL in current statement. Use semicolon."}},
      {"settings are checked, a compile is refused",
       "sv_save_dir = \"/tmp\";\ngod\ncompile intro\n",
       {"2:0-2:13 E compile cannot be used inside a script that is being compiled."}},
      {"the last line without a line feed",
       "wait(1);\ngoto(x);",
       {"1:0-1:8 W This last line has no line feed at its end: the compile ignores it."}},
  };
  for (const auto& c : cases) {
    const Served served = Serve(Initialize() + Open("file:///t.scr", c.text, 4));
    const std::vector<Json> published = served.Published();
    ASSERT_EQ(published.size(), 1u) << c.name;
    EXPECT_EQ(published[0]["uri"], "file:///t.scr");
    EXPECT_EQ(published[0]["version"], 4);
    EXPECT_EQ(Describe(published[0]), c.diagnostics) << c.name;
  }
}

// Changes in UTF-16 code units by default and in bytes where the client asked for UTF-8: both
// edits replace attn_norm (behind a character outside the BMP) by loud.
TEST(Diagnostics, FollowEveryChangeAndSave) {
  const std::string uri = "file:///c.scr";
  const std::string text = "label@top;\nsay(\"\xF0\x9F\x98\x80.wav\", 1, attn_norm);\ngoto(top);\n";
  const auto change = [&](int version, Json changes) {
    return Notification("textDocument/didChange",
                        {{"textDocument", {{"uri", uri}, {"version", version}}},
                         {"contentChanges", std::move(changes)}});
  };
  const struct {
    const char* name;
    Json capabilities;
    int from, to;  // the columns of attn_norm
    int end;       // the end of its line after the change
    int emojiEnd;  // the end of the character outside Windows-1252
  } encodings[] = {
      {"utf-16", Json::object(), 17, 26, 23, 7},
      {"utf-8", {{"general", {{"positionEncodings", {"utf-8"}}}}}, 19, 28, 25, 9},
  };
  for (const auto& e : encodings) {
    const std::string emoji = "1:5-1:" + std::to_string(e.emojiEnd) +
                              " W Character U+1F600 has no place in Windows-1252: the compile "
                              "writes ? in its place.";
    const std::string loud = "1:0-1:" + std::to_string(e.end) +
                             " E unknown attenuation word: use attn_none, attn_norm, attn_idle or "
                             "attn_static";
    const Served served = Serve(
        Initialize(e.capabilities) + Open(uri, text) +
        change(2, {{{"range", Span(1, e.from, 1, e.to)}, {"text", "loud"}}}) +
        // Two changes in one notification, the second on the text the first left.
        change(3, {{{"range", Span(2, 5, 2, 8)}, {"text", "end"}},
                   {{"range", Span(3, 0, 3, 0)}, {"text", "label@end;\n"}}}) +
        change(4, {{{"text", "wait(1);\n"}}}) +
        Notification("textDocument/didSave", {{"textDocument", {{"uri", uri}}}, {"text", "x\n"}}) +
        Notification("textDocument/didClose", {{"textDocument", {{"uri", uri}}}}));
    const std::vector<Json> published = served.Published();
    ASSERT_EQ(published.size(), 6u) << e.name;
    EXPECT_EQ(Describe(published[0]), std::vector<std::string>{emoji}) << e.name;
    EXPECT_EQ(Describe(published[1]), (std::vector<std::string>{loud, emoji})) << e.name;
    EXPECT_EQ(Describe(published[2]),
              (std::vector<std::string>{"0:6-0:9 W~ Label top is never used: no statement names "
                                        "it. The compile writes nothing for "
                                        "it.",
                                        loud, emoji}))
        << e.name;
    EXPECT_EQ(published[2]["version"], 3);
    EXPECT_EQ(Describe(published[3]), std::vector<std::string>{}) << e.name;
    EXPECT_EQ(Describe(published[4]),
              std::vector<std::string>{"0:0-0:1 E Bad instruction or system data: x"})
        << e.name;
    EXPECT_EQ(published[5]["diagnostics"], Json::array()) << e.name;  // closed
  }
}

}  // namespace
}  // namespace zelk::test

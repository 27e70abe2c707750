// SPDX-License-Identifier: MIT
// Completion, hover and the navigation between labels and the statements that name them, asked
// through the protocol of one document.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lsp/LspTestSupport.h"

namespace zelk::test {
namespace {

const std::string kUri = "file:///scene.scr";
const std::string kScene =
    "label@start;\n"                                  // 0
    "say(\"\xF0\x9F\x98\x80.wav\", 1, attn_norm);\n"  // 1
    "walk(.activator);\n"                             // 2
    "goto(start);\n"                                  // 3
    "on_use(player, greet);\n"                        // 4
    "label@greet;\n"                                  // 5
    "wait(1);\n"                                      // 6
    "goto(st\n"                                       // 7
    "walk(\n"                                         // 8
    "say(\"x\", 1, \n"                                // 9
    "  \n"                                            // 10
    "say(\"\xF0\x9F\x98\x80\", 1, at\n";              // 11

const Json kRichClient = {{"textDocument",
                           {{"completion", {{"completionItem", {{"snippetSupport", true}}}}},
                            {"documentSymbol", {{"hierarchicalDocumentSymbolSupport", true}}}}}};

std::vector<std::string> Labels(const Json& completion) {
  std::vector<std::string> labels;
  for (const Json& item : completion["items"]) labels.push_back(item["label"]);
  return labels;
}

const Json* Item(const Json& completion, const std::string& label) {
  for (const Json& item : completion["items"]) {
    if (item["label"] == label) return &item;
  }
  return nullptr;
}

Json Location(const Json& range) {
  return {{"uri", kUri}, {"range", range}};
}

TEST(Assistance, CompletesStatementsLabelsTargetsAndAttenuations) {
  const Served served = Serve(Initialize(kRichClient) + Open(kUri, kScene) +
                              Request(1, "textDocument/completion", At(kUri, 10, 2)) +
                              Request(2, "textDocument/completion", At(kUri, 7, 7)) +
                              Request(3, "textDocument/completion", At(kUri, 8, 5)) +
                              Request(4, "textDocument/completion", At(kUri, 9, 12)) +
                              Request(5, "textDocument/completion", At(kUri, 11, 15)) +
                              Request(6, "textDocument/completion", At(kUri, 1, 6)) +
                              Request(7, "textDocument/completion", At(kUri, 4, 15)));

  const Json statements = served.ResultOf(1);
  EXPECT_EQ(statements["items"].size(), 62u);
  const struct {
    const char* word;
    const char* snippet;
  } snippets[] = {
      {"goto", "goto(${1:x});"},
      {"say", "say(\"${1:wavefile}\", ${2:volume}, ${3:attenuation});"},
      {"move_to", "move_to(\"${1:x}\", <${2:y}>);"},
      {"sv_quake2_dir", "sv_quake2_dir = \"${1:dir}\";"},
      {"label", "label@${1:labelname};"},
      {"map", "map ${1:Mapname}"},
      {"stand", "stand"},
      {"reserved", "reserved"},
  };
  for (const auto& s : snippets) {
    const Json* item = Item(statements, s.word);
    ASSERT_NE(item, nullptr) << s.word;
    EXPECT_EQ((*item)["textEdit"]["newText"], s.snippet);
    EXPECT_EQ((*item)["textEdit"]["range"], Span(10, 2, 10, 2));
    EXPECT_EQ((*item)["insertTextFormat"], 2);
  }
  const Json* onUse = Item(statements, "on_use");
  ASSERT_NE(onUse, nullptr);
  EXPECT_EQ((*onUse)["detail"], "on_use(string activator, string labelname);");
  const std::string help = (*onUse)["documentation"]["value"];
  EXPECT_EQ(help.rfind("on_use(string activator, string labelname);\nUse Intercept:\n", 0), 0u);
  EXPECT_EQ(help.substr(help.size() - 42), "IP = current instruction before the branch");

  EXPECT_EQ(Labels(served.ResultOf(2)), (std::vector<std::string>{"start", "greet"}));
  EXPECT_EQ(served.ResultOf(2)["items"][0]["textEdit"]["range"], Span(7, 5, 7, 7));
  EXPECT_EQ(Labels(served.ResultOf(3)),
            (std::vector<std::string>{".self", ".activator", ".client", ".none"}));
  const std::vector<std::string> attenuations = {"attn_none", "attn_norm", "attn_idle",
                                                 "attn_static"};
  EXPECT_EQ(Labels(served.ResultOf(4)), attenuations);
  EXPECT_EQ(Labels(served.ResultOf(5)), attenuations);
  EXPECT_EQ(served.ResultOf(5)["items"][0]["textEdit"]["range"], Span(11, 13, 11, 15));
  EXPECT_EQ(Labels(served.ResultOf(6)), std::vector<std::string>{});  // inside quotes
  EXPECT_EQ(Labels(served.ResultOf(7)), (std::vector<std::string>{"start", "greet", ".none"}));

  // A client without snippets gets the word alone.
  const Served plain = Serve(Initialize() + Open(kUri, kScene) +
                             Request(1, "textDocument/completion", At(kUri, 7, 2)));
  const Json words = plain.ResultOf(1);
  const Json* word = Item(words, "goto");
  ASSERT_NE(word, nullptr);
  EXPECT_EQ((*word)["textEdit"], Json({{"range", Span(7, 0, 7, 2)}, {"newText", "goto"}}));
  EXPECT_EQ((*word)["insertTextFormat"], 1);
}

TEST(Assistance, HoverShowsTheHelpOfAStatementAndTheLineOfALabel) {
  const Served served =
      Serve(Initialize() + Open(kUri, kScene) + Request(1, "textDocument/hover", At(kUri, 2, 1)) +
            Request(2, "textDocument/hover", At(kUri, 3, 7)) +
            Request(3, "textDocument/hover", At(kUri, 1, 20)) +
            Request(4, "textDocument/hover", At(kUri, 1, 3)) +
            Request(5, "textDocument/hover", At(kUri, 4, 8)));
  const auto hover = [](const std::string& text, const Json& range) {
    return Json{{"contents", {{"kind", "plaintext"}, {"value", text}}}, {"range", range}};
  };
  EXPECT_EQ(served.ResultOf(1), hover("walk(string targetname);", Span(2, 0, 2, 4)));
  EXPECT_EQ(served.ResultOf(2), hover("line 1: label@start;", Span(3, 5, 3, 10)));
  EXPECT_EQ(served.ResultOf(3), nullptr);
  EXPECT_EQ(served.ResultOf(4)["contents"]["value"],
            "say(string wavefile, float volume, string attenuation);");
  EXPECT_EQ(served.ResultOf(5), nullptr);
}

TEST(Assistance, NavigatesBetweenLabelsAndTheStatementsThatNameThem) {
  Json references = At(kUri, 0, 8);
  references["context"] = {{"includeDeclaration", true}};
  Json usesOnly = At(kUri, 0, 8);
  usesOnly["context"] = {{"includeDeclaration", false}};
  const Served served =
      Serve(Initialize(kRichClient) + Open(kUri, kScene) +
            Request(1, "textDocument/definition", At(kUri, 3, 7)) +
            Request(2, "textDocument/definition", At(kUri, 4, 17)) +
            Request(3, "textDocument/definition", At(kUri, 6, 1)) +
            Request(4, "textDocument/references", references) +
            Request(5, "textDocument/references", usesOnly) +
            Request(6, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}}) +
            Request(7, "textDocument/definition", At("file:///other.scr", 0, 0)));
  EXPECT_EQ(served.ResultOf(1), Location(Span(0, 6, 0, 11)));
  EXPECT_EQ(served.ResultOf(2), Location(Span(5, 6, 5, 11)));
  EXPECT_EQ(served.ResultOf(3), nullptr);
  EXPECT_EQ(served.ResultOf(4),
            Json::array({Location(Span(0, 6, 0, 11)), Location(Span(3, 5, 3, 10))}));
  EXPECT_EQ(served.ResultOf(5), Json::array({Location(Span(3, 5, 3, 10))}));
  const Json symbols = served.ResultOf(6);
  ASSERT_EQ(symbols.size(), 2u);
  EXPECT_EQ(symbols[0]["name"], "start");
  EXPECT_EQ(symbols[0]["range"], Span(0, 0, 0, 12));
  EXPECT_EQ(symbols[0]["selectionRange"], Span(0, 6, 0, 11));
  EXPECT_EQ(symbols[1]["name"], "greet");
  EXPECT_EQ(served.ResultOf(7), nullptr);  // a document that is not open

  const Served flat =
      Serve(Initialize() + Open(kUri, kScene) +
            Request(1, "textDocument/documentSymbol", {{"textDocument", {{"uri", kUri}}}}));
  EXPECT_EQ(flat.ResultOf(1)[1]["location"], Location(Span(5, 6, 5, 11)));
}

TEST(Assistance, RenamesALabelEverywhereOrSaysWhyNot) {
  const auto rename = [](int line, int character, const std::string& name) {
    Json params = At(kUri, line, character);
    params["newName"] = name;
    return params;
  };
  const Served served = Serve(
      Initialize() + Open(kUri, kScene) + Request(1, "textDocument/rename", rename(3, 7, "begin")) +
      Request(2, "textDocument/prepareRename", At(kUri, 3, 7)) +
      Request(3, "textDocument/prepareRename", At(kUri, 6, 1)) +
      Request(4, "textDocument/rename", rename(3, 7, "Begin")) +
      Request(5, "textDocument/rename", rename(3, 7, "greet")) +
      Request(6, "textDocument/rename", rename(3, 7, ".none")) +
      Request(7, "textDocument/rename", rename(6, 1, "begin")) +
      Request(8, "textDocument/rename", rename(3, 7, std::string(250, 'x'))));
  EXPECT_EQ(served.ResultOf(1),
            Json({{"changes",
                   {{kUri,
                     {{{"range", Span(0, 6, 0, 11)}, {"newText", "begin"}},
                      {{"range", Span(3, 5, 3, 10)}, {"newText", "begin"}}}}}}}));
  EXPECT_EQ(served.ResultOf(2), Json({{"range", Span(3, 5, 3, 10)}, {"placeholder", "start"}}));
  EXPECT_EQ(served.ResultOf(3), nullptr);
  for (int id = 4; id <= 8; ++id) {
    EXPECT_EQ(served.AnswerTo(id)["error"]["code"], -32803) << id;
  }
  EXPECT_EQ(served.AnswerTo(8)["error"]["message"],
            "Line 1 would be longer than 255 characters with label " + std::string(250, 'x') + ".");
}

}  // namespace
}  // namespace zelk::test

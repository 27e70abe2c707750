// SPDX-License-Identifier: MIT
// End to end with a real client: Neovim, headless, with the configuration that Zelk installs,
// opens a source with errors and gets the diagnostics, completion, hover and go to definition
// of zelk --lsp, formats it, takes a quick fix and compiles through the code lens.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "ecosystem/EcosystemSupport.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

using Json = nlohmann::json;

const char* const kScene =
    "label@start;\n"
    "wait(1);\n"
    "die();\n"
    "say(\"a.wav\", 1, attn_norm);\n"
    "goto(start);\n"
    "goto(nowhere);\n"
    "label@idle;\n";

constexpr const char* kNeverRuns =
    "Unreachable statement: the script never runs on past the goto on line 5. The compile writes "
    "it all the same.";
constexpr const char* kIdleNeverReached =
    "Label idle is never reached: no statement names it and nothing runs on into it. The compile "
    "keeps what follows it, but that never runs.";

Json Diagnostic(int line, int col, int endCol, int severity, const std::string& message,
                bool unnecessary = false) {
  return {{"line", line},         {"col", col},         {"end_col", endCol},
          {"severity", severity}, {"message", message}, {"unnecessary", unnecessary}};
}

TEST(Neovim, GetsDiagnosticsCompletionHoverSignatureHighlightsAndDefinitionFromZelk) {
  const std::string nvim = FindProgram("nvim");
  if (nvim.empty()) {
    GTEST_SKIP() << "nvim is not installed (Debian package neovim): the end-to-end test with "
                    "Neovim is skipped";
  }
  TempDir dir;
  dir.Write("scene.scr", kScene);
  const RunResult run =
      RunProgram({"timeout", "120", nvim, "--headless", "--clean", "-n", "--cmd",
                  "set runtimepath^=" ZELK_NVIM_SITE, "--cmd",
                  "let g:zelk_lsp_cmd = ['" ZELK_BINARY "', '--lsp']", "--cmd",
                  "let g:zelk_test_result = '" + dir.File("result.json") + "'", "-c",
                  "luafile " ZELK_LSP_TEST_DIR "/neovim-session.lua", dir.File("scene.scr")});
  ASSERT_EQ(run.status, 0) << run.output;
  ASSERT_TRUE(dir.Exists("result.json")) << run.output;
  const Json result = Json::parse(dir.Read("result.json"));
  ASSERT_FALSE(result.contains("error")) << result["error"];

  EXPECT_EQ(result["filetype"], "zelkscript");
  EXPECT_EQ(result["attached"], true);
  EXPECT_EQ(result["diagnostics"],
            Json::array({Diagnostic(3, 0, 6, 1, "die(int damage);\n +++ RESERVED +++"),
                         Diagnostic(6, 5, 12, 1, "goto: Label nowhere not found!"),
                         Diagnostic(6, 0, 14, 2, kNeverRuns, true),
                         Diagnostic(7, 6, 10, 2, kIdleNeverReached, true)}));
  EXPECT_EQ(result["completion"], Json::array({"start", "idle"}));
  EXPECT_EQ(result["hover"],
            "wait(float x);\nWhere x is the number of seconds to wait before the next statement is "
            "executed.");
  EXPECT_EQ(result["signature"],
            Json::array({"say(string wavefile, float volume, string attenuation);", 2}));
  EXPECT_EQ(result["highlights"], Json::array({Json::array({1, 6, 3}), Json::array({5, 5, 2})}));
  EXPECT_EQ(result["definition"], Json::array({1, 6}));
  EXPECT_EQ(result["after_edit"],
            Json::array({Diagnostic(6, 5, 12, 1, "goto: Label nowhere not found!"),
                         Diagnostic(6, 0, 14, 2, kNeverRuns, true),
                         Diagnostic(7, 6, 10, 2, kIdleNeverReached, true)}));
  EXPECT_EQ(result["formatted"], "say(\"a.wav\", 1, attn_norm); // hi");
  EXPECT_EQ(result["fixed"], "label@nowhere;");
  EXPECT_EQ(result["compiled"].get<std::string>().rfind(
                "zelk: Compile successful. 5 instructions. 2720 bytes", 0),
            0u)
      << result["compiled"];
  EXPECT_EQ(dir.Read("scene.dat").size(), 8u + 5 * 544);
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
// End to end with a real client: Emacs, in batch mode, with the zelk-mode of the build and
// Debian's eglot, opens a Windows-1252 source with errors and gets the diagnostics, completion,
// hover (eldoc), definition and rename of zelk --lsp, saves the file as the game reads it, and
// shuts the server down.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "ecosystem/EcosystemSupport.h"
#include "support/TempDir.h"

namespace zelk::test {
namespace {

using Json = nlohmann::json;

// é and € as Windows-1252 bytes.
const char* const kScene =
    "label@start;\n"
    "wait(1);\n"
    "die();\n"
    "say(\"caf\xE9 \x80\", 1, attn_norm);\n"
    "goto(start);\n"
    "goto(nowhere);\n"
    "label@idle;\n";

Json Diagnostic(int line, int column, const std::string& type, const std::string& message) {
  // eglot puts the diagnostic's source before its message.
  return Json::array({line, column, type, "zelk: " + message});
}

TEST(Emacs, GetsDiagnosticsCompletionHoverDefinitionAndRenameFromZelkThroughEglot) {
  const std::string emacs = FindProgram("emacs");
  if (emacs.empty()) {
    GTEST_SKIP() << "emacs is not installed (Debian packages emacs-nox and elpa-eglot): the "
                    "end-to-end test with Emacs is skipped";
  }
  TempDir dir;
  dir.Write("scene.scr", kScene);
  const RunResult run = RunProgram(
      {"timeout", "120", emacs, "--batch", "-l", ZELK_EMACS_MODE_FILE, "--eval",
       "(setq zelk-program \"" ZELK_BINARY "\" zelk-test-result \"" + dir.File("result.json") +
           "\")",
       dir.File("scene.scr"), "-l", ZELK_SOURCE_DIR "/tests/ecosystem/emacs-session.el"});
  ASSERT_EQ(run.status, 0) << run.output;
  ASSERT_TRUE(dir.Exists("result.json")) << run.output;
  const Json result = Json::parse(dir.Read("result.json"));
  ASSERT_FALSE(result.contains("error")) << result["error"] << "\n" << run.output;

  EXPECT_EQ(result["mode"], "zelk-mode");
  EXPECT_EQ(result["coding"], "windows-1252");
  EXPECT_EQ(result["connected"], true);
  EXPECT_EQ(result["language-id"], "zelkscript");
  const Json neverRuns = Diagnostic(
      6, 0, "eglot-warning",
      "Unreachable statement: the script never runs on past the goto on line 5. The compile "
      "writes it all the same.");
  const Json idleNeverReached = Diagnostic(
      7, 6, "eglot-warning",
      "Label idle is never reached: no statement names it and nothing runs on into it. The "
      "compile keeps what follows it, but that never runs.");
  const Json nowhere = Diagnostic(6, 5, "eglot-error", "goto: Label nowhere not found!");
  EXPECT_EQ(result["diagnostics"],
            Json::array({Diagnostic(3, 0, "eglot-error", "die(int damage);\n +++ RESERVED +++"),
                         nowhere, neverRuns, idleNeverReached}));
  EXPECT_EQ(result["completion"], Json::array({"start", "idle"}));
  EXPECT_EQ(result["hover"],
            "wait(float x);\nWhere x is the number of seconds to wait before the next statement is "
            "executed.");
  EXPECT_EQ(result["definition"], Json::array({1, 6}));
  EXPECT_EQ(result["renamed"],
            "label@begin;\nwait(1);\ndie();\nsay(\"caf\u00e9 \u20ac\", 1, attn_norm);\n"
            "goto(begin);\ngoto(nowhere);\nlabel@idle;\n");
  EXPECT_EQ(result["after-edit"], Json::array({nowhere, neverRuns, idleNeverReached}));
  // The server answered shutdown and ended by itself on exit.
  EXPECT_EQ(result["shutdown"], Json::array({"exit", 0}));
  // Saved as the game reads it: the same Windows-1252 bytes for é and €.
  EXPECT_EQ(dir.Read("scene.scr"),
            "label@begin;\nwait(1);\ndie(1);\nsay(\"caf\xE9 \x80\", 1, attn_norm);\n"
            "goto(begin);\ngoto(nowhere);\nlabel@idle;\n");
}

}  // namespace
}  // namespace zelk::test

// SPDX-License-Identifier: MIT
#include "console/CompileCommand.h"

#include <cstdio>

#include "compiler/CompileDriver.h"
#include "compiler/SourceCheck.h"
#include "console/Platform.h"
#include "console/ZelkView.h"
#include "environment/SettingCommands.h"
#include "language/StatementParser.h"

namespace zelk {
namespace {

constexpr int SEPARATOR_CELLS = 254;

constexpr const char* kFailedCompileText =
    "Compile was unsuccessfull. Please check your source file for any errors. If you are need "
    "help on script commands, please check the ZelkScript webpage by clicking on the page icon. "
    "There is also a list of commands available from the program.\n";

// An environment command met in a source being compiled: carried out as at the console, except
// that a compile inside the compile is refused.
std::optional<std::string> RunSettingInSource(CZelkView& view, const ParsedStatement& statement) {
  CZelkDoc& doc = view.Doc();
  const SettingOutcome outcome = ApplySetting(statement, doc.Settings(), doc);
  switch (outcome.kind) {
    case SettingOutcome::Kind::Refused:
      return outcome.refusal;
    case SettingOutcome::Kind::Compile:
      return NESTED_COMPILE_TEXT;
    case SettingOutcome::Kind::SetColor:
      doc.SetColorIntensity(outcome.color);  // shown at the next repaint
      break;
    case SettingOutcome::Kind::Applied:
      break;
  }
  return std::nullopt;
}

// The failed-compile notice: the error sound when it is on, otherwise the message box; then the
// line number.
void AnnounceSourceError(CZelkView& view, int lineNumber) {
  if (view.Doc().Settings().errorSoundOn != 0) {
    view.Host().PlaySoundSync(JoinHostPath(view.StartDirHost(), "doh.wav"));
  } else {
    view.Host().ShowMessageBox(kFailedCompileText);
  }
  view.Doc().PrintFormat("Error encountered at line %d", lineNumber);
}

}  // namespace

void CountFailedCompile(CZelkView& view, const std::string& file, const std::string& message) {
  view.AddFailedCompile();
  view.Host().ReportCompileFailure(HostPath(file), message);
}

void RunSettingCommand(CZelkView& view, const ParsedStatement& statement) {
  CZelkDoc& doc = view.Doc();
  const SettingOutcome outcome = ApplySetting(statement, doc.Settings(), doc);
  switch (outcome.kind) {
    case SettingOutcome::Kind::Refused:
      doc.PrintLine(outcome.refusal);
      break;
    case SettingOutcome::Kind::SetColor:
      doc.SetColorIntensity(outcome.color);  // shown at the next repaint; no line is written
      break;
    case SettingOutcome::Kind::Compile:
      if (view.Compiling()) {
        doc.PrintLine(NESTED_COMPILE_TEXT);
      } else if (SetCompilePaths(view, doc.Settings().loadDir, outcome.name)) {
        view.RememberSource({doc.Settings().loadDir, outcome.name, outcome.name + ".scr"});
        RunCompile(view, nullptr);
      }
      break;
    case SettingOutcome::Kind::Applied:
      break;
  }
}

bool SetCompilePaths(CZelkView& view, const std::string& loadDir, std::string_view name) {
  CZelkDoc& doc = view.Doc();
  const std::string word(name);
  const std::string source = loadDir + word + ".scr";
  const std::string output = doc.Settings().saveDir + word + ".dat";
  const char* tooLong = source.size() > 255 ? "source" : output.size() > 255 ? "output" : nullptr;
  if (tooLong != nullptr) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "Cannot compile (the %s path would be longer than 255 characters): %s",
                  tooLong, word.c_str());
    doc.PrintLine(text);
    CountFailedCompile(view, source, text);
    return false;
  }
  doc.SetSourcePath(source);
  doc.SetOutputPath(output);
  return true;
}

bool RunCompile(CZelkView& view, const char* heading) {
  CZelkDoc& doc = view.Doc();
  doc.PrintRule(SEPARATOR_CELLS);
  if (heading != nullptr) doc.PrintFormat("%s%s", heading, doc.SourcePath().c_str());
  const CompileJob job{doc.SourcePath(), doc.OutputPath()};
  view.SetCompiling(true);
  const CompileResult result =
      CompileScript(job, view.Host().Files(), doc,
                    [&view](const ParsedStatement& s) { return RunSettingInSource(view, s); });
  view.SetCompiling(false);
  if (result.error) {
    view.Host().ReportCompileError(HostPath(job.sourcePath), *result.error);
    AnnounceSourceError(view, result.error->line);
  }
  using Status = CompileResult::Status;
  if (result.status == Status::Ok || result.status == Status::SourceError) {
    if (result.status != Status::Ok) view.AddFailedCompile();
    PrintCompileResult(result, job, doc);
  } else {
    // The files could not be used: the line that says so also goes to the platform's report.
    struct LastLine final : LineSink {
      void PrintLine(std::string_view line) override { text = line; }
      std::string text;
    } line;
    PrintCompileResult(result, job, line);
    doc.PrintLine(line.text);
    const bool aboutTheOutput =
        result.status == Status::CannotCreate || result.status == Status::WriteFailed;
    CountFailedCompile(view, aboutTheOutput ? job.outputPath : job.sourcePath, line.text);
  }
  doc.PrintRule(SEPARATOR_CELLS);
  return result.status == Status::Ok;
}

}  // namespace zelk

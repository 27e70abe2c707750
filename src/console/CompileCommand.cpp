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
  CZelkDoc& doc = view.m_doc;
  const SettingOutcome outcome = ApplySetting(statement, doc.m_settings, doc);
  switch (outcome.kind) {
    case SettingOutcome::Kind::Refused:
      return outcome.refusal;
    case SettingOutcome::Kind::Compile:
      return NESTED_COMPILE_TEXT;
    case SettingOutcome::Kind::SetColor:
      doc.m_colorIntensity = outcome.color;  // shown at the next repaint
      break;
    case SettingOutcome::Kind::Applied:
      break;
  }
  return std::nullopt;
}

// The failed-compile notice: the error sound when it is on, otherwise the message box; then the
// line number.
void AnnounceSourceError(CZelkView& view, int lineNumber) {
  if (view.m_doc.m_settings.errorSoundOn != 0) {
    view.m_platform.PlaySoundSync(JoinHostPath(view.m_startDirHost, "doh.wav"));
  } else {
    view.m_platform.ShowMessageBox(kFailedCompileText);
  }
  view.m_doc.PrintFormat("Error encountered at line %d", lineNumber);
}

}  // namespace

void CountFailedCompile(CZelkView& view, const std::string& file, const std::string& message) {
  ++view.m_failedCompiles;
  view.m_platform.ReportCompileFailure(HostPath(file), message);
}

void RunSettingCommand(CZelkView& view, const ParsedStatement& statement) {
  CZelkDoc& doc = view.m_doc;
  const SettingOutcome outcome = ApplySetting(statement, doc.m_settings, doc);
  switch (outcome.kind) {
    case SettingOutcome::Kind::Refused:
      doc.PrintLine(outcome.refusal);
      break;
    case SettingOutcome::Kind::SetColor:
      doc.m_colorIntensity = outcome.color;  // shown at the next repaint; no line is written
      break;
    case SettingOutcome::Kind::Compile:
      if (view.m_compiling) {
        doc.PrintLine(NESTED_COMPILE_TEXT);
      } else if (SetCompilePaths(view, doc.m_settings.loadDir, outcome.name)) {
        RunCompile(view, nullptr);
      }
      break;
    case SettingOutcome::Kind::Applied:
      break;
  }
}

bool SetCompilePaths(CZelkView& view, const std::string& loadDir, std::string_view name) {
  CZelkDoc& doc = view.m_doc;
  const std::string word(name);
  const std::string source = loadDir + word + ".scr";
  const std::string output = doc.m_settings.saveDir + word + ".dat";
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
  doc.m_sourcePath = source;
  doc.m_outputPath = output;
  return true;
}

void RunCompile(CZelkView& view, const char* heading) {
  CZelkDoc& doc = view.m_doc;
  doc.PrintRule(SEPARATOR_CELLS);
  if (heading != nullptr) doc.PrintFormat("%s%s", heading, doc.m_sourcePath.c_str());
  const CompileJob job{doc.m_sourcePath, doc.m_outputPath};
  view.m_compiling = true;
  const CompileResult result =
      CompileScript(job, view.m_platform.Files(), doc,
                    [&view](const ParsedStatement& s) { return RunSettingInSource(view, s); });
  view.m_compiling = false;
  if (result.error) {
    view.m_platform.ReportCompileError(HostPath(job.sourcePath), *result.error);
    AnnounceSourceError(view, result.error->line);
  }
  using Status = CompileResult::Status;
  if (result.status == Status::Ok || result.status == Status::SourceError) {
    if (result.status != Status::Ok) ++view.m_failedCompiles;
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
}

}  // namespace zelk

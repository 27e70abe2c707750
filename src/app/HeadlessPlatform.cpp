// SPDX-License-Identifier: MIT
#include "app/HeadlessPlatform.h"

#include "compiler/Diagnostic.h"
#include "platform/Cp1252.h"
#include "platform/Process.h"

namespace zelk {

StartResult HeadlessPlatform::OpenUrl(const std::string& url) {
  if (url.empty()) return StartResult::Failed(NO_ADDRESS_REASON);
  StartResult result = StartDetachedProcess("xdg-open", {url}, {});
  if (!result.started) result.reason = NO_PAGE_OPENER_REASON;
  return result;
}

StartResult HeadlessPlatform::StartProgram(const std::string& program,
                                           const std::vector<std::string>& arguments,
                                           const std::string& workingDir) {
  return StartDetachedProcess(program, arguments, workingDir);
}

void HeadlessPlatform::ShowMessageBox(const std::string& text) {
  std::string message = Cp1252ToUtf8(text);
  if (message.empty() || message.back() != '\n') message += '\n';
  m_errors << message << std::flush;
}

void HeadlessPlatform::ReportCompileError(const std::string& sourcePath,
                                          const Diagnostic& error) {
  m_errors << sourcePath << ':' << error.line << ": error: " << Cp1252ToUtf8(error.message)
           << '\n'
           << std::flush;
}

void HeadlessPlatform::ReportCompileFailure(const std::string& path, const std::string& message) {
  m_errors << path << ": error: " << Cp1252ToUtf8(message) << '\n' << std::flush;
}

void HeadlessPlatform::ReportRefusedLine(const std::string& message) {
  ++m_refusedLines;
  m_errors << m_lineOrigin << ": error: " << Cp1252ToUtf8(message) << '\n' << std::flush;
}

std::string HeadlessPlatform::CurrentDirectory() { return ReadCurrentDirectory(); }

}  // namespace zelk

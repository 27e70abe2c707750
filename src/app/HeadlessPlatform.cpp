// SPDX-License-Identifier: MIT
#include "app/HeadlessPlatform.h"

#include "compiler/Diagnostic.h"
#include "platform/Cp1252.h"
#include "platform/Process.h"

namespace zelk {

StartResult HeadlessPlatform::OpenUrl(const std::string& url) {
  if (url.empty()) return StartResult::Failed(NO_ADDRESS_REASON);
  return OpenWebPage(url);
}

StartResult HeadlessPlatform::StartProgram(const ProgramStart& start) {
  return StartDetachedProcess(start);
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

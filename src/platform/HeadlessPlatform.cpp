#include "platform/HeadlessPlatform.h"

#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/Cp1252.h"
#include "platform/PosixProcess.h"

namespace zelk {

std::string ReadCurrentDirectory() {
  // The directory can be longer than any fixed buffer; it is kept whole.
  std::vector<char> buffer(4096);
  for (;;) {
    if (::getcwd(buffer.data(), buffer.size()) != nullptr) return buffer.data();
    if (errno != ERANGE || buffer.size() > (1u << 20)) return {};
    buffer.resize(buffer.size() * 2);
  }
}

void HeadlessPlatform::RequestRepaint(bool) { m_repaintPending = true; }

bool HeadlessPlatform::TakeRepaintRequest() {
  const bool pending = m_repaintPending;
  m_repaintPending = false;
  return pending;
}

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

void HeadlessPlatform::ReportCompileError(const std::string& sourcePath, int line,
                                          const std::string& message) {
  m_errors << sourcePath << ':' << line << ": error: " << Cp1252ToUtf8(message) << '\n'
           << std::flush;
}

std::string HeadlessPlatform::CurrentDirectory() { return ReadCurrentDirectory(); }

}  // namespace zelk

// SPDX-License-Identifier: MIT
#include "app/CheckMode.h"

#include <ostream>

#include "app/HeadlessPlatform.h"
#include "compiler/FlowGraph.h"
#include "compiler/SourceCheck.h"
#include "environment/OptionsFile.h"
#include "environment/SettingCommands.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/InputLines.h"

namespace zelk {
namespace {

constexpr int kStatusOk = 0;
constexpr int kStatusErrors = 1;

// The sources of one run, checked with the settings of zelk.cfg in the start-up directory, as a
// compile in that directory would be: each on a copy of its own.
class SourceChecker {
 public:
  SourceChecker(InputStream& in, std::ostream& err) : m_in(in), m_platform(err) {
    LoadOptions(m_platform.Files(), m_platform.CurrentDirectory(), m_settings);
  }

  // Reads a source ("-": standard input, once); false with the reason.
  bool Read(const std::string& file, std::string& bytes, std::string& reason) {
    if (file != "-") return ReadWholeFile(file, bytes, reason);
    if (m_stdinRead) {
      bytes.clear();
      return true;
    }
    m_stdinRead = true;
    InputLines input(m_in);
    if (!input.Rest(bytes)) {
      reason = "stopped";
      return false;
    }
    return true;
  }

  SourceCheck Check(const std::string& bytes) const {
    EnvironmentSettings scratch = m_settings;
    return CheckSource(bytes, [&](const ParsedStatement& statement) {
      return CheckSettingLine(statement, scratch, NESTED_COMPILE_TEXT);
    });
  }

 private:
  InputStream& m_in;
  HeadlessPlatform m_platform;
  EnvironmentSettings m_settings;
  bool m_stdinRead = false;
};

std::string DisplayName(const std::string& file) {
  return file == "-" ? "<stdin>" : file;
}

const char* SeverityWord(SourceFinding::Severity severity) {
  switch (severity) {
    case SourceFinding::Severity::Error:
      return "error";
    case SourceFinding::Severity::Warning:
      return "warning";
    case SourceFinding::Severity::Information:
      break;
  }
  return "note";
}

// One finding as one line. A usage, several lines at the console, is its first line here, as
// batch mode reports it.
void WriteFinding(std::ostream& out, const std::string& name, const SourceFinding& finding) {
  std::string message = finding.message;
  if (finding.kind == SourceFinding::Kind::Usage) {
    message = "wrong punctuation or arguments; usage: " + message.substr(0, message.find('\n'));
  }
  out << name << ':' << finding.line << ':' << finding.column + 1 << ": "
      << SeverityWord(finding.severity) << ": " << Cp1252ToUtf8(message) << '\n';
}

// Writes the findings (only the errors when errorsOnly); true when there was an error.
bool WriteFindings(std::ostream& out, const std::string& name, const SourceCheck& check,
                   bool errorsOnly) {
  bool errors = false;
  for (const SourceFinding& finding : check.findings) {
    const bool error = finding.severity == SourceFinding::Severity::Error;
    errors = errors || error;
    if (error || !errorsOnly) WriteFinding(out, name, finding);
  }
  return errors;
}

void WriteUnreadable(std::ostream& out, const std::string& name, const std::string& reason) {
  out << name << ": error: cannot read the source: " << reason << '\n';
}

}  // namespace

int RunCheck(const std::vector<std::string>& files, InputStream& in, std::ostream& out,
             std::ostream& err) {
  SourceChecker checker(in, err);
  int status = kStatusOk;
  for (const std::string& file : files) {
    const std::string name = DisplayName(file);
    std::string bytes;
    std::string reason;
    if (!checker.Read(file, bytes, reason)) {
      WriteUnreadable(out, name, reason);
      status = kStatusErrors;
      continue;
    }
    if (WriteFindings(out, name, checker.Check(bytes), false)) status = kStatusErrors;
  }
  out.flush();
  return status;
}

int RunGraph(const std::string& file, InputStream& in, std::ostream& out, std::ostream& err) {
  SourceChecker checker(in, err);
  const std::string name = DisplayName(file);
  std::string bytes;
  std::string reason;
  if (!checker.Read(file, bytes, reason)) {
    WriteUnreadable(err, name, reason);
    return kStatusErrors;
  }
  const SourceCheck check = checker.Check(bytes);
  out << FlowGraph(check.flow, name);
  out.flush();
  const bool errors = WriteFindings(err, name, check, true);
  err.flush();
  return errors ? kStatusErrors : kStatusOk;
}

}  // namespace zelk

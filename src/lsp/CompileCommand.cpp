// SPDX-License-Identifier: MIT
#include "lsp/CompileCommand.h"

#include <vector>

#include "compiler/CompileDriver.h"
#include "lsp/CodeActions.h"
#include "compiler/SourceCheck.h"
#include "environment/OptionsFile.h"
#include "environment/SettingCommands.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/LineSink.h"

namespace zelk::lsp {
namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// %XX escapes as the bytes they stand for; a broken escape stays as it is.
std::string PercentDecoded(std::string_view text) {
  std::string decoded;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const int high = text[i] == '%' && i + 2 < text.size() ? HexValue(text[i + 1]) : -1;
    const int low = high >= 0 ? HexValue(text[i + 2]) : -1;
    if (low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

// The host path of a file:// address, or "".
std::string HostPathOfUri(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() < kScheme.size()) return {};
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    const char c = uri[i] >= 'A' && uri[i] <= 'Z' ? static_cast<char>(uri[i] - 'A' + 'a') : uri[i];
    if (c != kScheme[i]) return {};
  }
  uri.remove_prefix(kScheme.size());
  uri = uri.substr(0, uri.find_first_of("?#"));
  const std::size_t slash = uri.find('/');
  if (slash == std::string_view::npos) return {};
  const std::string path = PercentDecoded(uri.substr(slash));
  if (path.find('\0') != std::string::npos) return {};
  return HostPathOfFileUrl(PercentDecoded(uri.substr(0, slash)), path);
}

// Keeps the last line printed.
class LastLine final : public LineSink {
 public:
  void PrintLine(std::string_view text) override { m_text = text; }
  const std::string& Text() const { return m_text; }

 private:
  std::string m_text;
};

// True when the file holds other bytes than text, or cannot be read.
bool FileDiffers(FileSystem& files, const std::string& hostPath, std::string_view text) {
  const std::unique_ptr<InputFile> file = files.OpenRead(hostPath);
  if (!file) return true;
  char buffer[1 << 14];
  std::size_t at = 0;
  for (;;) {
    const long long n = file->Read(buffer, sizeof buffer);
    if (n < 0) return true;
    if (n == 0) break;
    const auto count = static_cast<std::size_t>(n);
    if (text.compare(at, count, buffer, count) != 0) return true;
    at += count;
  }
  return at != text.size();
}

// Compiles a source file of the host and says how it went.
CompileReport Compile(const std::string& source, FileSystem& files) {
  CompileReport report;
  const std::size_t cut = source.find_last_of("/\\");
  const std::string folder = source.substr(0, cut == 0 ? 1 : cut);
  const std::string file = source.substr(cut + 1);
  const std::size_t dot = file.rfind('.');
  const std::string name = dot == std::string::npos || dot == 0 ? file : file.substr(0, dot);

  // The settings that a console started in the folder would have; what the source sets changes
  // only this copy.
  EnvironmentSettings settings;
  LoadOptions(files, folder, settings);
  const std::string saveDir = HostPath(settings.saveDir);
  const std::string outputDir = saveDir.empty()                ? folder
                                : IsAbsoluteHostPath(saveDir) ? saveDir
                                                              : JoinHostPath(folder, saveDir);
  report.outputPath = JoinHostPath(outputDir, name + ".dat");
  const CompileJob job{ZelkPathText(source), ZelkPathText(report.outputPath)};

  EnvironmentSettings scratch = settings;
  NullLineSink printed;
  const CompileResult result =
      CompileScript(job, files, printed, [&scratch](const ParsedStatement& statement) {
        return CheckSettingLine(statement, scratch, NESTED_COMPILE_TEXT);
      });
  if (result.error) {
    // As batch mode reports it: FILE:LINE: error: message.
    report.message = Cp1252ToUtf8(job.sourcePath + ":" + std::to_string(result.error->line) +
                                  ": error: " + result.error->message);
    return report;
  }
  LastLine line;
  PrintCompileResult(result, job, line);
  report.ok = result.status == CompileResult::Status::Ok;
  report.message = Cp1252ToUtf8(line.Text());
  if (report.ok) report.message += " (" + report.outputPath + ")";
  return report;
}

}  // namespace

CompileReport CompileSavedFile(std::string_view uri, FileSystem& files,
                               const std::string* editorText) {
  const std::string source = HostPathOfUri(uri);
  if (source.empty()) {
    CompileReport report;
    report.message = "Cannot compile " + std::string(uri) + ": it is not a file of this computer.";
    return report;
  }
  CompileReport report = Compile(source, files);
  if (editorText != nullptr && FileDiffers(files, source, Utf8ToCp1252(*editorText))) {
    report.message += " The compile read the saved file: the editor's changes are not saved.";
  }
  return report;
}

Json ExecuteCommand(const Json& params, const std::map<std::string, OpenDocument>& documents,
                    const std::function<void(Json)>& showMessage) {
  const std::string& command = ReadString(params, {"command"});
  if (command != COMPILE_COMMAND) throw InvalidParams("unknown command " + command);
  const Json* arguments = Find(params, {"arguments"});
  if (arguments == nullptr || !arguments->is_array() || arguments->size() != 1 ||
      !(*arguments)[0].is_string()) {
    throw InvalidParams(command + " takes one argument, the document's URI");
  }
  const std::unique_ptr<FileSystem> files = MakeHostFileSystem();
  const std::string& uri = (*arguments)[0].get_ref<const std::string&>();
  const auto open = documents.find(uri);
  const CompileReport report = CompileSavedFile(
      uri, *files, open != documents.end() ? &open->second.Text().Text() : nullptr);
  showMessage({{"type", report.ok ? MessageType::Info : MessageType::Error},
               {"message", "zelk: " + report.message}});
  Json result = {{"success", report.ok}, {"message", report.message}};
  if (!report.outputPath.empty()) result["output"] = report.outputPath;
  return result;
}

}  // namespace zelk::lsp

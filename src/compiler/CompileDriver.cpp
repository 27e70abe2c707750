#include "compiler/CompileDriver.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "command/ConsoleCommands.h"
#include "command/StatementParser.h"
#include "compiler/SourceReader.h"
#include "compiler/StatementEncoder.h"
#include "console/ZelkView.h"
#include "environment/SettingCommands.h"
#include "platform/Platform.h"

namespace zelk {
namespace {

constexpr int SEPARATOR_CELLS = 254;

constexpr const char* kFailedCompileText =
    "Compile was unsuccessfull. Please check your source file for any errors. If you are need "
    "help on script commands, please check the ZelkScript webpage by clicking on the page icon. "
    "There is also a list of commands available from the program.\n";

// Collects the compiled file in memory in large blocks and writes each block with one call.
class RecordWriter {
 public:
  explicit RecordWriter(OutputFile& file) : m_file(file), m_buffer(new unsigned char[kSize]) {}

  bool Append(const unsigned char* data, std::size_t size) {
    if (m_used + size > kSize && !Flush()) return false;
    std::memcpy(m_buffer.get() + m_used, data, size);
    m_used += size;
    return true;
  }

  bool AppendRecord(const InstructionRecord& record) {
    if (m_used + RECORD_SIZE > kSize && !Flush()) return false;
    WriteRecord(record, m_buffer.get() + m_used);
    m_used += RECORD_SIZE;
    return true;
  }

  bool Flush() {
    const bool ok = m_used == 0 || m_file.Write(reinterpret_cast<const char*>(m_buffer.get()),
                                                m_used);
    m_used = 0;
    return ok;
  }

 private:
  static constexpr std::size_t kSize = 1 << 18;
  OutputFile& m_file;
  std::unique_ptr<unsigned char[]> m_buffer;
  std::size_t m_used = 0;
};

void ResetCompilerTables(CZelkDoc& doc) {
  doc.m_labelCount = 0;
  for (LabelEntry& label : doc.m_labels) label = LabelEntry{};
  std::memset(doc.m_interceptUsers, 0, sizeof doc.m_interceptUsers);
  doc.m_instructionCount = 0;
}

// The failed-compile notice: the error sound when it is on, otherwise the message box; then the
// line number.
void ReportErrorLine(CZelkView& view, int lineNumber) {
  if (view.m_doc.m_settings.errorSoundOn != 0) {
    view.m_platform.PlaySoundSync(JoinHostPath(view.m_startDirHost, "doh.wav"));
  } else {
    view.m_platform.ShowMessageBox(kFailedCompileText);
  }
  view.m_doc.PrintFormat("Error encountered at line %d", lineNumber);
}

std::unique_ptr<InputFile> OpenSource(CZelkView& view) {
  return view.m_platform.Files().OpenRead(HostPath(view.m_doc.m_sourcePath));
}

int CompileCleanLine(CZelkView& view);

}  // namespace

void CleanLine(char* text) {
  text[255] = '\0';  // the walk ends at position 254 at the latest
  bool inQuotes = false;
  // Only quotes and slashes matter to the walk; the library scan skips everything else.
  for (std::size_t i = std::strcspn(text, "\"/"); text[i] != '\0';
       i += 1 + std::strcspn(text + i + 1, "\"/")) {
    if (text[i] == '"') {
      inQuotes = !inQuotes;
    } else if (!inQuotes && text[i + 1] == '/') {
      std::memset(text + i, 0, 255 - i);
      break;
    }
  }
  int length = static_cast<int>(::strnlen(text, 255));
  while (length > 0 && static_cast<signed char>(text[length - 1]) <= 32) text[--length] = '\0';
}

int CollectLabels(CZelkView& view, int* labelOverflowLine) {
  CZelkDoc& doc = view.m_doc;
  ResetCompilerTables(doc);
  if (labelOverflowLine != nullptr) *labelOverflowLine = 0;
  auto file = OpenSource(view);
  if (!file) return COMPILE_SOURCE_NOT_FOUND;
  SourceReader reader(*file);
  int length = 0;
  int lineNumber = 0;
  SourceReader::Result next;
  while ((next = reader.Next(doc.m_statement, length)) == SourceReader::Result::Line) {
    ++lineNumber;
    if (length == 0) continue;
    CleanLine(doc.m_statement);
    if (doc.m_statement[0] == '\0') continue;
    switch (view.m_parser.ParseStatement(doc.m_statement)) {
      case CATEGORY_LABEL:
        if (!AddLabel(doc, view.m_parser) && labelOverflowLine != nullptr &&
            *labelOverflowLine == 0) {
          *labelOverflowLine = lineNumber;
        }
        break;
      case CATEGORY_STATEMENT:
        ++doc.m_instructionCount;
        break;
      default:
        break;
    }
  }
  file->Close();
  doc.m_instructionCount = 0;
  // A label table collected from part of the file would make the second pass report labels as
  // missing that are there.
  return next == SourceReader::Result::Error ? COMPILE_READ_FAILED : 0;
}

int CompileLine(CZelkView& view) {
  CZelkDoc& doc = view.m_doc;
  CleanLine(doc.m_statement);
  if (doc.m_statement[0] == '\0') return 1;
  const int result = CompileCleanLine(view);
  if (result == 0 && view.m_compileError.empty()) {
    // The failures that print nothing of their own on the console.
    view.m_compileError =
        view.m_parser.m_commandIndex == CMD_SAY
            ? "unknown attenuation word: use attn_none, attn_norm, attn_idle or attn_static"
            : std::string("cannot compile this statement: ") + doc.m_statement;
  }
  return result;
}

namespace {

// The message of a compile error is the first console line printed for the faulty line.
int CompileCleanLine(CZelkView& view) {
  CZelkDoc& doc = view.m_doc;
  view.m_compileError.clear();
  doc.m_firstMessage = &view.m_compileError;
  struct StopCapture {
    CZelkDoc& doc;
    ~StopCapture() { doc.m_firstMessage = nullptr; }
  } stop{doc};
  switch (view.m_parser.ParseStatement(doc.m_statement)) {
    case PARSE_NO_EOL:
      doc.PrintLine("No EOL in current statement. Use semicolon.");
      return 0;
    case PARSE_BAD_INSTRUCTION:
      doc.PrintFormat("Bad instruction or system data: %s", doc.m_statement);
      return 0;
    case PARSE_USAGE: {
      PrintUsage(doc, view.m_parser.m_commandIndex);
      std::string usage;
      ForEachHelpLine(doc.m_commands[view.m_parser.m_commandIndex].help, [&](std::string_view line) {
        if (usage.empty()) usage = line;
      });
      view.m_compileError = std::string("wrong punctuation or arguments; usage: ") + usage;
      return 0;
    }
    case CATEGORY_ENVIRONMENT:
      return ApplySetting(view) ? 1 : 0;
    case CATEGORY_STATEMENT:
      ++doc.m_instructionCount;
      return EncodeStatement(doc, view.m_parser) ? 3 : 0;
    default:
      return 1;
  }
}

}  // namespace

int CompileScript(CZelkView& view) {
  CZelkDoc& doc = view.m_doc;
  doc.m_interceptCount = 0;
  int labelOverflowLine = 0;
  // When the first pass could not read the source, the second would fail on labels that the
  // first did not see: report why instead.
  const int collected = CollectLabels(view, &labelOverflowLine);
  if (collected != 0) return collected;

  auto source = OpenSource(view);
  if (!source) return COMPILE_SOURCE_NOT_FOUND;
  auto output = view.m_platform.Files().Create(HostPath(doc.m_outputPath));
  if (!output) return COMPILE_CANNOT_CREATE;

  RecordWriter writer(*output);
  unsigned char header[HEADER_SIZE];
  WriteHeader(CompiledScriptHeader{}, header);
  writer.Append(header, sizeof header);

  // Stops at an error in the source: the records written so far stay behind the zero header.
  auto fail = [&](int lineNumber) {
    view.m_platform.ReportCompileError(HostPath(doc.m_sourcePath), lineNumber,
                                       view.m_compileError);
    ReportErrorLine(view, lineNumber);
    const bool flushed = writer.Flush();
    const bool closed = output->Close();
    return flushed && closed ? COMPILE_SOURCE_ERROR : COMPILE_WRITE_FAILED;
  };

  if (labelOverflowLine > 0) {
    view.m_compileError = "Too many labels: a script holds at most 100.";
    doc.PrintLine(view.m_compileError.c_str());
    return fail(labelOverflowLine);
  }

  SourceReader reader(*source);
  int length = 0;
  int lineNumber = 0;
  SourceReader::Result next;
  while ((next = reader.Next(doc.m_statement, length)) == SourceReader::Result::Line) {
    ++lineNumber;
    if (length == 0) continue;
    const int result = CompileLine(view);
    if (result == 0) return fail(lineNumber);
    if (result == 3 && !writer.AppendRecord(doc.m_record)) return COMPILE_WRITE_FAILED;
  }
  source->Close();
  if (next == SourceReader::Result::Error) {
    writer.Flush();
    output->Close();
    return COMPILE_READ_FAILED;
  }

  WriteHeader({doc.m_instructionCount, doc.m_interceptCount}, header);
  if (!writer.Flush() || !output->Seek(0) ||
      !output->Write(reinterpret_cast<const char*>(header), sizeof header) || !output->Close()) {
    return COMPILE_WRITE_FAILED;
  }
  doc.PrintFormat("Number of intercetps %d out of possible 100", doc.m_interceptCount);
  return COMPILE_OK;
}

void ReportCompileResult(CZelkView& view, int code) {
  CZelkDoc& doc = view.m_doc;
  if (code != COMPILE_OK) ++view.m_failedCompiles;
  switch (code) {
    case COMPILE_OK:
      doc.PrintFormat("Compile successful. %d instructions. %lld bytes", doc.m_instructionCount,
                      static_cast<long long>(doc.m_instructionCount) * 544);
      break;
    case COMPILE_SOURCE_NOT_FOUND:
      doc.PrintFormat("File %s not found.", doc.m_sourcePath);
      break;
    case COMPILE_CANNOT_CREATE:
      doc.PrintFormat("Cannot open file %s.", doc.m_outputPath);
      break;
    case COMPILE_WRITE_FAILED:
      doc.PrintFormat("Cannot write file %s: the compiled script is incomplete.",
                      doc.m_outputPath);
      break;
    case COMPILE_READ_FAILED:
      doc.PrintFormat("Cannot read file %s: the compile stopped.", doc.m_sourcePath);
      break;
    default:
      break;
  }
}

bool SetCompilePaths(CZelkView& view, const std::string& loadDir, const std::string& name) {
  CZelkDoc& doc = view.m_doc;
  char source[sizeof doc.m_sourcePath];
  char output[sizeof doc.m_outputPath];
  const int sourceLength =
      std::snprintf(source, sizeof source, "%s%s.scr", loadDir.c_str(), name.c_str());
  const int outputLength =
      std::snprintf(output, sizeof output, "%s%s.dat", doc.m_settings.saveDir, name.c_str());
  if (sourceLength >= static_cast<int>(sizeof source)) {
    doc.PrintFormat("Cannot compile %s: the source path would be longer than 255 characters.",
                    name.c_str());
    return false;
  }
  if (outputLength >= static_cast<int>(sizeof output)) {
    doc.PrintFormat("Cannot compile %s: the output path would be longer than 255 characters.",
                    name.c_str());
    return false;
  }
  std::memcpy(doc.m_sourcePath, source, sizeof source);
  std::memcpy(doc.m_outputPath, output, sizeof output);
  return true;
}

bool RunCompileCommand(CZelkView& view, const std::string& name) {
  CZelkDoc& doc = view.m_doc;
  if (view.m_compiling) {
    doc.PrintLine("compile cannot be used inside a script that is being compiled.");
    return false;
  }
  if (!SetCompilePaths(view, doc.m_settings.loadDir, name)) {
    ++view.m_failedCompiles;
    return true;
  }
  doc.PrintRule(SEPARATOR_CELLS);
  view.m_compiling = true;
  const int result = CompileScript(view);
  view.m_compiling = false;
  ReportCompileResult(view, result);
  doc.PrintRule(SEPARATOR_CELLS);
  return true;
}

}  // namespace zelk

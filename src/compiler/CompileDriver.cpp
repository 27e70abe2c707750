// SPDX-License-Identifier: MIT
#include "compiler/CompileDriver.h"

#include <cstring>
#include <memory>
#include <new>

#include "compiler/CompiledScript.h"
#include "compiler/LabelTable.h"
#include "compiler/SourceLabels.h"
#include "compiler/SourceReader.h"
#include "compiler/StatementEncoder.h"
#include "language/CommandTable.h"
#include "language/StatementParser.h"
#include "platform/FileSystem.h"
#include "platform/LineSink.h"

namespace zelk {
namespace {

// Collects the compiled file in memory in large blocks and writes each block with one call.
// Records are encoded in place in the block where that can be. The first block is small, since
// most compiled files are, and each full one makes the next twice as large, up to the largest.
class RecordWriter {
 public:
  explicit RecordWriter(OutputFile& file)
      : m_file(file), m_buffer(new unsigned char[kFirstSize]), m_size(kFirstSize) {}

  bool Append(const unsigned char* data, std::size_t size) {
    if (m_used + size > m_size && !FlushFull()) return false;
    std::memcpy(m_buffer.get() + m_used, data, size);
    m_used += size;
    return true;
  }

  // The record to encode the next statement into: its place in the block when the block has
  // room for it and a record in memory is laid out as in the file, else a spare record. The
  // encoder writes every byte of it.
  InstructionRecord& NextRecord() {
    if constexpr (RECORD_IN_MEMORY_IS_FILE_LAYOUT) {
      if (m_used + RECORD_SIZE <= m_size) {
        // The block is storage made by new unsigned char[], in which a record (a plain struct)
        // exists as soon as it is used; it need not be initialised first.
        m_inPlace = std::launder(reinterpret_cast<InstructionRecord*>(m_buffer.get() + m_used));
        return *m_inPlace;
      }
    }
    m_inPlace = nullptr;
    return m_spare;
  }

  // Appends the record that NextRecord gave. A full block is written only now, after the line
  // of the record is compiled.
  bool AppendRecord() {
    if (m_inPlace != nullptr) {
      m_inPlace = nullptr;
      m_used += RECORD_SIZE;
      return true;
    }
    if (m_used + RECORD_SIZE > m_size && !FlushFull()) return false;
    WriteRecord(m_spare, m_buffer.get() + m_used);
    m_used += RECORD_SIZE;
    return true;
  }

  bool Flush() {
    const bool ok =
        m_used == 0 || m_file.Write(reinterpret_cast<const char*>(m_buffer.get()), m_used);
    m_used = 0;
    return ok;
  }

 private:
  // Writes a block that has no room left, and makes the next one larger.
  bool FlushFull() {
    if (!Flush()) return false;
    if (m_size < kLargestSize) {
      m_size *= 2;
      m_buffer.reset(new unsigned char[m_size]);
    }
    return true;
  }

  static constexpr std::size_t kFirstSize = 1 << 12;
  static constexpr std::size_t kLargestSize = 1 << 18;
  OutputFile& m_file;
  std::unique_ptr<unsigned char[]> m_buffer;
  std::size_t m_size;
  std::size_t m_used = 0;
  InstructionRecord* m_inPlace = nullptr;
  InstructionRecord m_spare;
};

// The second pass over one cleaned, non-empty line: a record to write, nothing, or an error.
class LineCompiler {
 public:
  LineCompiler(SourceLabels& labels, RecordWriter& writer, LineSink& out,
               const SettingHook& onSetting)
      : m_labels(labels), m_writer(writer), m_out(out), m_onSetting(onSetting) {}

  // ReadFailed: the source could not be read while counting ahead for a label further down.
  enum class Outcome { Record, Nothing, Error, ReadFailed };

  Outcome Compile(std::string_view line, int lineNumber) {
    m_labels.SecondPassAt(lineNumber, m_instructionCount);
    const ParsedStatement parsed = ParseStatement(line);
    switch (parsed.result) {
      case ParseResult::NoEol:
        return Fail(Diagnostic::Kind::NoEol, "No EOL in current statement. Use semicolon.",
                    parsed, lineNumber);
      case ParseResult::BadInstruction:
        return Fail(Diagnostic::Kind::BadInstruction,
                    "Bad instruction or system data: " + std::string(line), parsed, lineNumber);
      case ParseResult::Usage:
        return Fail(Diagnostic::Kind::Usage,
                    "wrong punctuation or arguments; usage: " +
                        std::string(UsageLine(parsed.commandIndex)),
                    parsed, lineNumber);
      case ParseResult::Environment:
        if (auto refusal = m_onSetting ? m_onSetting(parsed) : std::nullopt) {
          return Fail(Diagnostic::Kind::SettingRefused, std::move(*refusal), parsed, lineNumber);
        }
        return Outcome::Nothing;
      case ParseResult::Statement: {
        ++m_instructionCount;
        EncodeOutcome encoded = EncodeStatement(parsed, m_labels, m_users, m_writer.NextRecord());
        if (m_labels.CountingAheadFailed()) return Outcome::ReadFailed;
        if (!encoded.note.empty()) m_out.PrintLine(encoded.note);
        if (encoded.ok) return Outcome::Record;
        if (encoded.errorKind == Diagnostic::Kind::CannotEncode) {
          encoded.error += ": " + std::string(line);
        }
        return Fail(encoded.errorKind, std::move(encoded.error), parsed, lineNumber);
      }
      default:  // a label: found in the first pass, counted by SecondPassAt
        return Outcome::Nothing;
    }
  }

  int InstructionCount() const { return m_instructionCount; }
  int InterceptCount() const { return m_users.Count(); }
  Diagnostic& Error() { return m_error; }

 private:
  Outcome Fail(Diagnostic::Kind kind, std::string message, const ParsedStatement& parsed,
               int lineNumber) {
    // The message is cut where the console line ends.
    if (message.size() > 255) message.resize(255);
    m_error = {kind, lineNumber, std::move(message), parsed.commandIndex};
    PrintDiagnostic(m_error, m_out);
    return Outcome::Error;
  }

  SourceLabels& m_labels;
  RecordWriter& m_writer;
  LineSink& m_out;
  const SettingHook& m_onSetting;
  InterceptUsers m_users;
  int m_instructionCount = 0;
  Diagnostic m_error;
};

CompileResult Ended(CompileResult::Status status) {
  CompileResult result;
  result.status = status;
  return result;
}

}  // namespace

CompileResult CompileScript(const CompileJob& job, FileSystem& files, LineSink& out,
                            const SettingHook& onSetting) {
  using Status = CompileResult::Status;
  CompileResult result;
  const std::string sourcePath = HostPath(job.sourcePath);

  SourceLabels labels;
  {
    auto source = files.OpenRead(sourcePath);
    if (!source) return Ended(Status::SourceNotFound);
    const SourceLabels::Scan scan = labels.Collect(*source);
    source->Close();
    // A label table collected from part of the file would make the second pass report labels
    // as missing that are there.
    if (scan.readFailed) return Ended(Status::ReadFailed);
    result.error.reset();
    if (scan.overflowLine > 0) {
      result.error = Diagnostic{Diagnostic::Kind::TooManyLabels, scan.overflowLine,
                                "Too many labels: a script holds at most 100.", -1};
    }
  }

  // The second pass reads the source twice over: line by line, and ahead of that for the labels
  // that statements name before their line.
  auto source = files.OpenRead(sourcePath);
  if (!source) return Ended(Status::SourceNotFound);
  auto ahead = files.OpenRead(sourcePath);
  if (!ahead) return Ended(Status::SourceNotFound);
  labels.CountAheadWith(*ahead);
  auto output = files.Create(HostPath(job.outputPath));
  if (!output) return Ended(Status::CannotCreate);

  RecordWriter writer(*output);
  unsigned char header[HEADER_SIZE];
  WriteHeader(CompiledScriptHeader{}, header);
  writer.Append(header, sizeof header);

  // Stops at an error in the source: the records written so far stay behind the zero header.
  auto stop = [&](const Diagnostic& error) {
    result.error = error;
    const bool flushed = writer.Flush();
    const bool closed = output->Close();
    result.status = flushed && closed ? Status::SourceError : Status::WriteFailed;
    return result;
  };

  // Stops where the source cannot be read any further.
  auto unreadable = [&] {
    writer.Flush();
    output->Close();
    return Ended(Status::ReadFailed);
  };

  if (result.error) {
    PrintDiagnostic(*result.error, out);
    return stop(*result.error);
  }

  LineCompiler compiler(labels, writer, out, onSetting);
  SourceReader reader(*source);
  int lineNumber = 0;
  std::string_view line;
  SourceReader::Result next;
  while ((next = reader.Next(line)) == SourceReader::Result::Line) {
    ++lineNumber;
    line = CleanLine(line);
    if (line.empty()) continue;
    switch (compiler.Compile(line, lineNumber)) {
      case LineCompiler::Outcome::Error:
        return stop(compiler.Error());
      case LineCompiler::Outcome::ReadFailed:
        return unreadable();
      case LineCompiler::Outcome::Record:
        if (!writer.AppendRecord()) return Ended(Status::WriteFailed);
        break;
      case LineCompiler::Outcome::Nothing:
        break;
    }
  }
  source->Close();
  ahead->Close();
  if (next == SourceReader::Result::Error) return unreadable();

  result.instructionCount = compiler.InstructionCount();
  result.interceptCount = compiler.InterceptCount();
  WriteHeader({result.instructionCount, result.interceptCount}, header);
  if (!writer.Flush() || !output->Seek(0) ||
      !output->Write(reinterpret_cast<const char*>(header), sizeof header) || !output->Close()) {
    return Ended(Status::WriteFailed);
  }
  out.PrintFormat("Number of intercetps %d out of possible 100", result.interceptCount);
  result.status = Status::Ok;
  return result;
}

void PrintCompileResult(const CompileResult& result, const CompileJob& job, LineSink& out) {
  using Status = CompileResult::Status;
  switch (result.status) {
    case Status::Ok:
      out.PrintFormat("Compile successful. %d instructions. %lld bytes", result.instructionCount,
                      static_cast<long long>(result.instructionCount) * 544);
      break;
    case Status::SourceNotFound:
      out.PrintFormat("File %s not found.", job.sourcePath.c_str());
      break;
    case Status::CannotCreate:
      out.PrintFormat("Cannot open file %s.", job.outputPath.c_str());
      break;
    case Status::WriteFailed:
      out.PrintFormat("Cannot write the compiled file (the compiled script is incomplete): %s",
                      job.outputPath.c_str());
      break;
    case Status::ReadFailed:
      out.PrintFormat("Cannot read the source file (the compile stopped): %s",
                      job.sourcePath.c_str());
      break;
    case Status::SourceError:
      break;
  }
}

}  // namespace zelk

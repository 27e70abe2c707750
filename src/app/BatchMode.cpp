// SPDX-License-Identifier: MIT
#include "app/BatchMode.h"

#include <iostream>
#include <memory>
#include <string>

#include "app/CheckMode.h"
#include "app/HeadlessPlatform.h"
#include "compiler/Decompiler.h"
#include "console/ZelkView.h"
#include "environment/OptionsFile.h"
#include "lsp/LanguageServer.h"
#include "platform/Cp1252.h"
#include "platform/FileSystem.h"
#include "platform/InputLines.h"
#include "platform/StopNotice.h"
#include "zelk/BuildConfig.h"

namespace zelk {
namespace {

// A batch line longer than the input line takes: the key rules keep its first characters.
constexpr const char* LONG_LINE_MESSAGE = "line longer than 251 characters: cut";
static_assert(INPUT_CHARACTERS == 251);

// Writes each console line as AdvanceLine leaves it: its text, trailing blanks removed, in UTF-8.
class TranscriptWriter final : public LineSink {
 public:
  explicit TranscriptWriter(std::ostream& out) : m_out(out) {}
  void PrintLine(std::string_view text) override {
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    m_out << Cp1252ToUtf8(text) << '\n';
  }

 private:
  std::ostream& m_out;
};

// A console without a window, of consoleLines usable lines, whose transcript goes to out.
class BatchConsole {
 public:
  BatchConsole(int consoleLines, std::ostream& out, std::ostream& err)
      : m_out(out), m_err(err), m_platform(err), m_view(m_doc, m_platform), m_transcript(out) {
    m_doc.SetTranscript(&m_transcript);
    m_view.SetClientHeight(consoleLines * m_doc.Font().height);
    m_view.OnCreate();
    m_optionsFileExisted = OptionsFileExists(m_platform.Files(), m_view.StartDirHost());
    m_settingsAtStart = m_doc.Settings();
  }

  // Types one line: every character through the key rules, then Enter. origin names the line
  // in what the console reports about it ("FILE:LINE").
  void Type(std::string_view utf8Line, std::string origin) {
    if (!utf8Line.empty() && utf8Line.back() == '\r') utf8Line.remove_suffix(1);
    const std::string line = Utf8ToCp1252(utf8Line);
    m_platform.SetLineOrigin(std::move(origin));
    // The input line holds what the key rules keep; a longer one would run a command cut short.
    if (line.find_last_not_of(' ') + 1 > INPUT_CHARACTERS) {
      m_platform.ReportRefusedLine(LONG_LINE_MESSAGE);
    }
    for (const char c : line) m_view.OnChar(static_cast<unsigned char>(c));
    m_view.OnChar(13);
    // A program that drives the console through a pipe sees each answer at once.
    m_out.flush();
  }

  bool Closed() const { return m_platform.CloseRequested(); }

  // Ends the run as the window's destruction does, except that a run that changed no setting
  // creates no options file (a build that only compiles leaves the directory as it was); an
  // existing one is written back as the window would. Returns the exit status.
  int Finish() {
    const bool save = m_optionsFileExisted || !(m_doc.Settings() == m_settingsAtStart);
    if (save && !m_view.OnDestroy()) {
      m_err << FinalSaveFailedText(m_platform.Files(), m_view.StartDirHost()) << std::flush;
    }
    const bool failed = m_view.FailedCompiles() > 0 || m_platform.RefusedLines() > 0;
    return failed ? EXIT_COMPILE_FAILED : EXIT_OK;
  }

 private:
  std::ostream& m_out;
  std::ostream& m_err;
  CZelkDoc m_doc;
  HeadlessPlatform m_platform;
  CZelkView m_view;
  TranscriptWriter m_transcript;
  bool m_optionsFileExisted = false;
  EnvironmentSettings m_settingsAtStart;
};

int RunBatch(const CommandLine& line, InputStream& in, std::ostream& out, std::ostream& err) {
  std::unique_ptr<InputStream> file;
  if (line.fromFile && !line.file.empty() && line.file != "-") {
    std::string reason;
    file = OpenInputStream(line.file, reason);
    if (file == nullptr) {
      err << "zelk: " << line.file << ": " << reason << "\n";
      return EXIT_USAGE;
    }
  }
  BatchConsole console(line.consoleLines, out, err);
  // The stop notice ends the run after the line being carried out, the normal way.
  if (line.fromFile) {
    const std::string name = file == nullptr ? "<stdin>" : line.file;
    InputLines lines(file != nullptr ? *file : in);
    std::string text;
    for (int number = 1; !console.Closed() && lines.Next(text); ++number) {
      console.Type(text, name + ":" + std::to_string(number));
    }
  } else {
    int number = 0;
    for (const std::string& text : line.lines) {
      if (console.Closed() || StopNotice() != 0) break;
      console.Type(text, "<command line>:" + std::to_string(++number));
    }
  }
  file.reset();
  const int status = console.Finish();
  out.flush();
  return status;
}

}  // namespace

int RunCommandLine(const CommandLine& line, InputStream& in, std::ostream& out, std::ostream& err) {
  switch (line.mode) {
    case CommandLine::Mode::Help:
      out << UsageText();
      return EXIT_OK;
    case CommandLine::Mode::Version:
      out << "zelk " ZELK_VERSION "\n"
          << "Copyright (C) 1998, 2026 The Zelk Team\n"
          << "License: MIT <https://opensource.org/licenses/MIT>\n";
      return EXIT_OK;
    case CommandLine::Mode::UsageError:
      err << "zelk: " << line.error << "\n"
          << "Try 'zelk --help' for more information.\n";
      return EXIT_USAGE;
    case CommandLine::Mode::Batch:
      return RunBatch(line, in, out, err);
    case CommandLine::Mode::Decompile:
      return RunDecompile(line.compiledFile, out, err);
    case CommandLine::Mode::Check:
      return RunCheck(line.sourceFiles, in, out, err);
    case CommandLine::Mode::Graph:
      return RunGraph(line.sourceFiles.front(), in, out, err);
    case CommandLine::Mode::Lsp:
      return lsp::RunLanguageServer(in, out);
    case CommandLine::Mode::Desktop:
      break;
  }
  err << "zelk: the desktop console is not part of this build\n";
  return EXIT_USAGE;
}

}  // namespace zelk

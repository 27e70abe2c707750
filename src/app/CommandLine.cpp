// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <charconv>
#include <string_view>
#include <vector>

namespace zelk {
namespace {

CommandLine UsageError(std::string error) {
  CommandLine line;
  line.mode = CommandLine::Mode::UsageError;
  line.error = std::move(error);
  return line;
}

}  // namespace

const char* UsageText() {
  // Each line fits 79 columns; an option's text starts in column 23, with a gap of at least two
  // blanks after the option, and goes on below it when it is long.
  return "Usage: zelk [FILE]\n"
         "       zelk -c LINE [-c LINE ...] [--lines N]\n"
         "       zelk --batch [FILE] [--lines N]\n"
         "       zelk --decompile FILE.dat\n"
         "       zelk --check FILE...\n"
         "       zelk --graph FILE\n"
         "       zelk --lsp\n"
         "\n"
         "Without options zelk opens the desktop console.\n"
         "\n"
         "Options:\n"
         "  -c LINE             type LINE at the console and press Enter (repeatable)\n"
         "  --batch [FILE]      type the lines of FILE, or of standard input when FILE\n"
         "                      is - or absent\n"
         "  --lines N           let the console show N lines, 1 to 50 (default 50)\n"
         "  --decompile FILE    write the ZelkScript source of a compiled script to\n"
         "                      standard output\n"
         "  --check FILE...     check each source as the compile would, writing nothing:\n"
         "                      FILE:LINE:COLUMN: error, warning or note: MESSAGE, one a\n"
         "                      line (- reads standard input)\n"
         "  --graph FILE        write the flow of a source (labels, gotos, intercepts) to\n"
         "                      standard output as a Graphviz graph\n"
         "  --lsp               serve the Language Server Protocol on standard input and\n"
         "                      output\n"
         "  -h, --help          show this help and exit\n"
         "  --version           show the version and exit\n"
         "\n"
         "A long option's value may also follow an equals sign (--lines=25). Every\n"
         "argument after -- is a file name, even one that begins with a dash.\n"
         "\n"
         "Exit status: 0 on success, 1 on a failure, 2 on a usage error. A failure is a\n"
         "failed compile, a refused line, or an error that --check or --graph finds.\n";
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  bool batch = false;
  bool commands = false;
  bool linesGiven = false;
  bool batchFileGiven = false;
  bool optionsEnded = false;
  bool lsp = false;
  bool check = false;
  bool graph = false;
  std::vector<std::string> operands;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (optionsEnded || arg == "-" || arg.empty() || arg[0] != '-') {
      operands.emplace_back(arg);
      continue;
    }
    if (arg == "--") {
      optionsEnded = true;
      continue;
    }
    // --name=value: the value stands in the same argument.
    std::string_view inlineValue;
    bool hasInlineValue = false;
    if (arg.size() > 2 && arg[1] == '-') {
      const std::size_t equals = arg.find('=');
      if (equals != std::string_view::npos) {
        inlineValue = arg.substr(equals + 1);
        hasInlineValue = true;
        arg = arg.substr(0, equals);
      }
    }
    // The option's value: after '=', or the next argument.
    const auto takeValue = [&](std::string_view& value) {
      if (hasInlineValue) {
        value = inlineValue;
        return true;
      }
      if (i + 1 >= argc) return false;
      value = argv[++i];
      return true;
    };
    std::string_view value;
    if (arg == "--help" || arg == "-h" || arg == "--version") {
      if (hasInlineValue) return UsageError("option " + std::string(arg) + " takes no value");
      line.mode = arg == "--version" ? CommandLine::Mode::Version : CommandLine::Mode::Help;
      return line;
    } else if (arg == "-c") {
      if (!takeValue(value)) return UsageError("option -c needs a console line");
      line.lines.emplace_back(value);
      commands = true;
    } else if (arg == "--batch") {
      if (batch) return UsageError("--batch is given twice");
      batch = true;
      // The file is optional: the next argument is taken unless it is another option.
      if (hasInlineValue) {
        if (inlineValue.empty()) return UsageError("option --batch= needs a file name");
        line.file = std::string(inlineValue);
        batchFileGiven = true;
      } else if (i + 1 < argc && (argv[i + 1][0] != '-' || std::string_view(argv[i + 1]) == "-")) {
        line.file = argv[++i];
        batchFileGiven = true;
      }
    } else if (arg == "--lines") {
      if (!takeValue(value)) return UsageError("option --lines needs a number from 1 to 50");
      int n = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
      if (ec != std::errc{} || end != value.data() + value.size() || n < 1 || n > 50) {
        return UsageError("option --lines needs a number from 1 to 50");
      }
      line.consoleLines = n;
      linesGiven = true;
    } else if (arg == "--decompile") {
      if (!takeValue(value) || value.empty()) {
        return UsageError("option --decompile needs a compiled file");
      }
      line.compiledFile = std::string(value);
      line.mode = CommandLine::Mode::Decompile;
    } else if (arg == "--check") {
      if (hasInlineValue) return UsageError("option --check takes no value: the files follow it");
      check = true;
    } else if (arg == "--graph") {
      if (graph) return UsageError("--graph is given twice");
      if (!takeValue(value) || value.empty()) return UsageError("option --graph needs a source");
      line.sourceFiles.emplace_back(value);
      graph = true;
    } else if (arg == "--lsp") {
      if (hasInlineValue) return UsageError("option --lsp takes no value");
      lsp = true;
    } else {
      return UsageError("unknown option " + std::string(argv[i]));
    }
  }
  const bool otherOptions =
      batch || commands || linesGiven || lsp || line.mode == CommandLine::Mode::Decompile;
  if (check) {
    if (graph || otherOptions) return UsageError("--check takes no other options");
    if (operands.empty()) return UsageError("option --check needs a source file");
    line.mode = CommandLine::Mode::Check;
    line.sourceFiles = std::move(operands);
    return line;
  }
  if (graph) {
    if (otherOptions || !operands.empty()) return UsageError("--graph takes no other options");
    line.mode = CommandLine::Mode::Graph;
    return line;
  }
  // A file name: the batch file when --batch named none (zelk --batch -- -x.txt), otherwise the
  // document that the window opens.
  std::size_t next = 0;
  if (batch && !batchFileGiven && next < operands.size()) {
    line.file = operands[next++];
  }
  if (next < operands.size()) {
    line.documentName = operands[next++];
    if (next < operands.size() && !batch && !commands) {
      return UsageError("more than one file name");
    }
  }
  if (batch && commands) return UsageError("-c and --batch cannot be used together");
  if (lsp) {
    if (batch || commands || linesGiven || !line.documentName.empty() ||
        line.mode == CommandLine::Mode::Decompile) {
      return UsageError("--lsp takes no other options");
    }
    line.mode = CommandLine::Mode::Lsp;
    return line;
  }
  if (line.mode == CommandLine::Mode::Decompile) {
    if (batch || commands || linesGiven || !line.documentName.empty()) {
      return UsageError("--decompile takes no other options");
    }
    return line;
  }
  if (batch || commands) {
    if (!line.documentName.empty()) {
      return UsageError("unexpected argument " + line.documentName);
    }
    line.mode = CommandLine::Mode::Batch;
    line.fromFile = batch;
  } else if (linesGiven) {
    return UsageError("--lines needs -c or --batch");
  }
  return line;
}

}  // namespace zelk

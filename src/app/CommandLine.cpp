// SPDX-License-Identifier: MIT
#include "app/CommandLine.h"

#include <charconv>
#include <string_view>

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
  return "Usage: zelk [FILE]\n"
         "       zelk -c LINE [-c LINE ...] [--lines N]\n"
         "       zelk --batch [FILE] [--lines N]\n"
         "       zelk --decompile FILE.dat\n"
         "       zelk --lsp\n"
         "\n"
         "Without options zelk opens the desktop console.\n"
         "\n"
         "Options:\n"
         "  -c LINE          type LINE at the console and press Enter (repeatable)\n"
         "  --batch [FILE]   type the lines of FILE, or of standard input when FILE is - or absent\n"
         "  --lines N        let the console show N lines, 1 to 50 (default 50)\n"
         "  --decompile FILE write the ZelkScript source of a compiled script to standard output\n"
         "  --lsp            serve the Language Server Protocol on standard input and output\n"
         "  -h, --help       show this help and exit\n"
         "  --version        show the version and exit\n"
         "\n"
         "Exit status: 0 on success, 1 when a compile failed, 2 on a usage error.\n";
}

CommandLine ParseCommandLine(int argc, const char* const* argv) {
  CommandLine line;
  bool batch = false;
  bool commands = false;
  bool linesGiven = false;
  bool lsp = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--help" || arg == "-h") {
      line.mode = CommandLine::Mode::Help;
      return line;
    } else if (arg == "--version") {
      line.mode = CommandLine::Mode::Version;
      return line;
    } else if (arg == "-c") {
      if (!hasValue) return UsageError("option -c needs a console line");
      line.lines.emplace_back(argv[++i]);
      commands = true;
    } else if (arg == "--batch") {
      if (batch) return UsageError("--batch is given twice");
      batch = true;
      // The file is optional: the next argument is taken unless it is another option.
      if (hasValue && (argv[i + 1][0] != '-' || std::string_view(argv[i + 1]) == "-")) {
        line.file = argv[++i];
      }
    } else if (arg == "--lines") {
      if (!hasValue) return UsageError("option --lines needs a number from 1 to 50");
      const std::string_view value = argv[++i];
      int n = 0;
      const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), n);
      if (ec != std::errc{} || end != value.data() + value.size() || n < 1 || n > 50) {
        return UsageError("option --lines needs a number from 1 to 50");
      }
      line.consoleLines = n;
      linesGiven = true;
    } else if (arg == "--decompile") {
      if (!hasValue) return UsageError("option --decompile needs a compiled file");
      line.compiledFile = argv[++i];
      line.mode = CommandLine::Mode::Decompile;
    } else if (arg == "--lsp") {
      lsp = true;
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError("unknown option " + std::string(arg));
    } else {
      if (!line.documentName.empty()) return UsageError("more than one file name");
      line.documentName = std::string(arg);
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

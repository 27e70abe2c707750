// SPDX-License-Identifier: MIT
// zelk-fuzz-dict: writes the libFuzzer dictionaries of the harnesses (-dict=FILE), one token a
// line, from the command table: every statement and setting word with its opening delimiter, the
// pseudo-targets and attenuation words, the console's own words and the punctuation of a line.
// Some harnesses read more than source text and get the tokens of their input as well.
//
//   zelk-fuzz-dict OUTDIR HARNESS...      writes OUTDIR/HARNESS.dict for each harness named

#include <cstdio>
#include <fstream>
#include <set>
#include <string>
#include <string_view>

#include "compiler/RecordCodes.h"
#include "language/CommandTable.h"

namespace {

using Tokens = std::set<std::string>;

// The words of the language and of the console, as a line spells them.
Tokens LanguageTokens() {
  Tokens tokens;
  for (const zelk::CommandEntry& entry : zelk::Commands()) {
    if (entry.name == nullptr) continue;
    const std::string name = entry.name;
    tokens.insert(name);
    if (entry.openDelim == '=') {
      tokens.insert(name + " = ");
    } else if (entry.openDelim != 0) {
      tokens.insert(name + entry.openDelim);
    } else if (zelk::ArgumentCount(entry) > 0) {
      tokens.insert(name + ' ');
    } else {
      tokens.insert(name + ';');
    }
  }
  for (const std::string_view word : {zelk::WORD_SELF, zelk::WORD_ACTIVATOR, zelk::WORD_CLIENT,
                                      zelk::WORD_NONE}) {
    tokens.emplace(word);
  }
  for (const std::string_view word : zelk::ATTENUATION_WORDS) tokens.emplace(word);
  for (const char* word : {"clear", "env", "exit", "quit", "version", "status", "home", "cmdlist",
                           "quake2"}) {
    tokens.insert(word);
  }
  for (const char* punctuation : {");", ", ", "<", ">", "[", "]", "\"", "//", "\r\n", "\t", ".5",
                                  "-1", "1e38", "340282356779733661637539395458142568448"}) {
    tokens.insert(punctuation);
  }
  return tokens;
}

// What the harnesses that read more than a source get on top.
void AddHarnessTokens(const std::string& harness, Tokens& tokens) {
  if (harness == "LspFuzzer") {
    for (const char* token :
         {"Content-Length: ", "\r\n\r\n", "\"jsonrpc\":\"2.0\"", "\"id\":", "\"method\":",
          "\"params\":", "\"textDocument\":", "\"uri\":\"file:///s.scr\"", "\"text\":",
          "\"position\":", "\"line\":", "\"character\":", "\"range\":", "\"start\":", "\"end\":",
          "\"contentChanges\":", "\"version\":", "\"newName\":", "initialize", "shutdown", "exit",
          "textDocument/didOpen", "textDocument/didChange", "textDocument/didClose",
          "textDocument/completion", "textDocument/hover", "textDocument/definition",
          "textDocument/references", "textDocument/documentSymbol", "textDocument/rename",
          "textDocument/prepareRename", "textDocument/signatureHelp",
          "textDocument/documentHighlight", "textDocument/inlayHint", "textDocument/codeAction",
          "textDocument/semanticTokens/full", "textDocument/foldingRange",
          "textDocument/formatting", "workspace/symbol"}) {
      tokens.insert(token);
    }
  } else if (harness == "ConsoleFuzzer") {
    // Enter, Tab, Backspace, Escape, and the 0-byte escapes of ConsoleFuzzer.cpp.
    for (const char* token : {"\r", "\t", "\b", "\x1b"}) tokens.insert(token);
    for (int selector = 0; selector < 64; ++selector) {
      tokens.insert(std::string(1, '\0') + static_cast<char>(selector));
    }
  } else if (harness == "DecompileFuzzer" || harness == "OptionsFileFuzzer") {
    // The numbers of records and options files: codes, counts, -1, the activator.
    for (const char* token : {"\xff\xff\xff\xff", "\xff\x00\x00\x00", "\x01\x00\x00\x00",
                              "\x64\x00\x00\x00", "\x00\x00\x80\x3f", "\x00\x00\x80\x7f"}) {
      tokens.emplace(token, 4);
    }
    for (const char* text : {"c:\\quake2\\", "/load\\", "/save\\", "+set x", "zelk.cfg"}) {
      tokens.insert(text);
    }
  } else if (harness == "HostPathFuzzer") {
    tokens.clear();
    for (const char* token : {"\\", "/", "\\\\", "\\\\?\\", "\\\\?\\UNC\\", "\\\\server\\share\\",
                              "c:", "C:\\", "D:/", "..", ".\\", "\xe9", "\x80", "\xa4", "\x81"}) {
      tokens.insert(token);
    }
  }
}

// One line of a dictionary: the token in double quotes, every byte outside printable ASCII, the
// quote and the backslash written as \xNN.
std::string DictionaryLine(const std::string& token) {
  static const char kHex[] = "0123456789abcdef";
  std::string line = "\"";
  for (const char c : token) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte >= 0x7F || c == '"' || c == '\\') {
      line += "\\x";
      line += kHex[byte >> 4];
      line += kHex[byte & 15];
    } else {
      line += c;
    }
  }
  return line + "\"\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fputs("usage: zelk-fuzz-dict OUTDIR HARNESS...\n", stderr);
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    Tokens tokens = LanguageTokens();
    AddHarnessTokens(argv[i], tokens);
    const std::string path = std::string(argv[1]) + "/" + argv[i] + ".dict";
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "# " << argv[i] << ": written by zelk-fuzz-dict from the command table\n";
    for (const std::string& token : tokens) out << DictionaryLine(token);
    out.close();
    if (!out) {
      std::fprintf(stderr, "zelk-fuzz-dict: cannot write %s\n", path.c_str());
      return 1;
    }
  }
  return 0;
}

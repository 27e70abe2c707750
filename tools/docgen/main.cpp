// SPDX-License-Identifier: MIT
// zelk-docgen: writes the ZelkScript language reference and the editor support files from the
// command table, so that they always describe the language that this build of Zelk reads.
//
//   zelk-docgen VERSION REFERENCE.html VIM_SYNTAX VIM_FTDETECT TEXTMATE.json KATE.xml
//               EMACS_TEMPLATE.el.in EMACS_MODE.el

#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "docgen/EditorSupport.h"
#include "docgen/ReferencePage.h"

namespace {

bool WriteFile(const char* path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  out.close();
  if (!out) {
    std::fprintf(stderr, "zelk-docgen: cannot write %s\n", path);
    return false;
  }
  return true;
}

std::optional<std::string> ReadFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (!in.is_open() || in.bad()) {
    std::fprintf(stderr, "zelk-docgen: cannot read %s\n", path);
    return std::nullopt;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 9) {
    std::fputs(
        "usage: zelk-docgen VERSION REFERENCE.html VIM_SYNTAX VIM_FTDETECT TEXTMATE.json "
        "KATE.xml EMACS_TEMPLATE.el.in EMACS_MODE.el\n",
        stderr);
    return 2;
  }
  using namespace zelk::docgen;
  const std::optional<std::string> emacsTemplate = ReadFile(argv[7]);
  if (!emacsTemplate) return 1;
  const bool written =
      WriteFile(argv[2], ReferencePage(argv[1])) && WriteFile(argv[3], VimSyntax()) &&
      WriteFile(argv[4], VimFileTypeDetection()) && WriteFile(argv[5], TextMateGrammar()) &&
      WriteFile(argv[6], KateSyntax(argv[1])) &&
      WriteFile(argv[8], EmacsMode(*emacsTemplate, argv[1]));
  return written ? 0 : 1;
}

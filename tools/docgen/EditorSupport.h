// SPDX-License-Identifier: MIT
#pragma once

#include <string>

// Syntax highlighting for ZelkScript source files (.scr), written from the command table so
// that every command word is known to the editor.
namespace zelk::docgen {

// The Vim file type that the files below use.
inline constexpr const char* kVimFileType = "zelkscript";
// The TextMate scope of a whole source file.
inline constexpr const char* kTextMateScope = "source.zelkscript";

// The Vim syntax file (syntax/zelkscript.vim).
std::string VimSyntax();
// The Vim file type detection (ftdetect/zelkscript.vim): *.scr files are ZelkScript.
std::string VimFileTypeDetection();
// The TextMate grammar as JSON (zelkscript.tmLanguage.json), read by VS Code and many others.
std::string TextMateGrammar();
// The Kate syntax definition (zelkscript.xml for KSyntaxHighlighting: Kate, KWrite, KDevelop);
// its own version grows with Zelk's.
std::string KateSyntax(const std::string& version);

// The Emacs mode (zelk-mode.el): the template (editors/emacs/zelk-mode.el.in) with the words of
// the command table, the pseudo-targets and the attenuation words in its @ZELK_..._WORDS@ places,
// the label statements' delimiters and the version filled in.
std::string EmacsMode(const std::string& templateText, const std::string& version);

// The Vim highlight group and the TextMate scope of the command word of an entry's category.
const char* VimGroup(signed char category);
const char* TextMateKeywordScope(signed char category);

}  // namespace zelk::docgen

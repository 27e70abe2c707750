#pragma once

namespace zelk {

class CZelkDoc;
class CZelkView;

// Carries out the console line that stands in the document's statement line: one of the nine
// console words, or a table command through the statement parser.
void ExecuteConsoleLine(CZelkView& view);

// Prints ">> USAGE <<" and the help lines of the entry; nothing for an empty slot.
void PrintUsage(CZelkDoc& doc, int index);

// Prints the next page of the command listing, at most m_lastLine lines.
void PrintCommandList(CZelkDoc& doc);

// The maker's home page; empty when none is configured.
const char* HomePageUrl();
const char* SupportPageUrl();

}  // namespace zelk

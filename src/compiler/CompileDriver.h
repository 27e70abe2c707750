#pragma once

#include <string>

namespace zelk {

class CZelkView;

// Results of CompileScript.
constexpr int COMPILE_OK = 1;
constexpr int COMPILE_SOURCE_ERROR = -1;    // the reason and the line have been printed
constexpr int COMPILE_SOURCE_NOT_FOUND = -2;
constexpr int COMPILE_CANNOT_CREATE = -3;
constexpr int COMPILE_WRITE_FAILED = -4;    // writing the compiled file failed
constexpr int COMPILE_READ_FAILED = -5;     // reading the source failed after it was opened

// Compiles the document's m_sourcePath into m_outputPath: a first pass collects the labels, a
// second writes one record per statement. Returns one of the results above.
int CompileScript(CZelkView& view);

// The first pass: the label table and the statement count. Returns 0, -2 when the source
// cannot be opened, or -5 when reading it failed. When a 101st label is met, labelOverflowLine
// receives its line number.
int CollectLabels(CZelkView& view, int* labelOverflowLine = nullptr);

// Compiles the line in the statement buffer: 0 on an error (stop), 1 when there is nothing to
// write, 3 when the document's record holds a finished record.
int CompileLine(CZelkView& view);

// Removes a "//" comment (outside double quotes) and the trailing blanks and control bytes.
void CleanLine(char* text);

// Prints the result of CompileScript; counts a failure for the view.
void ReportCompileResult(CZelkView& view, int code);

// Builds the document's source and output paths from the directories and the name. Prints a
// message and returns false, changing nothing, when a path would not fit its 256-byte buffer.
bool SetCompilePaths(CZelkView& view, const std::string& loadDir, const std::string& name);

// The compile console command: builds the paths from the name, compiles between two separator
// lines. Refused inside a compile. Returns false when it was refused.
bool RunCompileCommand(CZelkView& view, const std::string& name);

}  // namespace zelk

// SPDX-License-Identifier: MIT
#pragma once

#include <functional>
#include <map>
#include <string>
#include <string_view>

#include "lsp/OpenDocument.h"
#include "lsp/Protocol.h"

namespace zelk {
class FileSystem;
}

// The compile that an editor asks for: a document's saved file compiled as the console would
// compile it in the document's folder.
namespace zelk::lsp {

struct CompileReport {
  bool ok = false;
  std::string message;     // one line, UTF-8: the success line, or the first error
  std::string outputPath;  // the compiled file's host path, where it was to be written
};

// Compiles the file that a file:// address names into the save directory of the options file in
// the file's folder (the folder itself when there is none, or when the save directory is not
// set; a relative one is taken from the folder). The source's setting lines are carried out on a
// copy of those settings: the options file is read, never written. editorText, where the document
// is open, is the text the editor holds (UTF-8): when the saved file differs from it, the report
// says that the compile did not see the changes.
CompileReport CompileSavedFile(std::string_view uri, FileSystem& files,
                               const std::string* editorText = nullptr);

// workspace/executeCommand: runs the compile command on the host's files (documents: the open
// ones), shows its report through showMessage (the params of window/showMessage) and answers
// with it; throws RequestError for another command or arguments it cannot take.
Json ExecuteCommand(const Json& params, const std::map<std::string, OpenDocument>& documents,
                    const std::function<void(Json)>& showMessage);

}  // namespace zelk::lsp

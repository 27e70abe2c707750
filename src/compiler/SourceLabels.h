// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "compiler/LabelTable.h"

namespace zelk {

class InputFile;
class SourceReader;

// The labels of a source being compiled. A label's record index is the number of script
// statements on the lines before it: every line that the parser reads as a well-formed script
// statement, whether or not it can be encoded.
//
// The first pass (Collect) finds the label lines and their names; it parses only the lines that
// can be labels. The second pass, which parses every line anyway, tells each line it reaches with
// the statements before it (SecondPassAt), so a label's index is known once the second pass has
// passed its line. A statement that names a label further down has that label counted ahead: a
// reader of its own parses the lines up to the label, going over each line at most once in a
// compile, and starts from where the second pass stands when it is behind.
class SourceLabels final : public LabelLookup {
 public:
  struct Scan {
    bool readFailed = false;
    int overflowLine = 0;  // the line of the 101st label, or 0
  };

  SourceLabels();
  ~SourceLabels();

  // The first pass over the source.
  Scan Collect(InputFile& source);

  // The source again, from its start, for counting ahead of the second pass. Without it, a label
  // further down is not found.
  void CountAheadWith(InputFile& source);

  // The second pass is at line (1 for the first), with statementsBefore script statements on the
  // lines before it.
  void SecondPassAt(int line, std::int32_t statementsBefore) {
    m_passLine = line;
    m_passStatements = statementsBefore;
    if (m_passLabel < m_labels.size() && m_labels[m_passLabel].line == line) {
      m_labels[m_passLabel++].ip = statementsBefore;
    }
  }

  // The record index of the first label of that name, or -1 (also when counting ahead failed).
  std::int32_t Find(std::string_view name) const override;

  // True when the source could not be read while counting ahead.
  bool CountingAheadFailed() const { return m_aheadFailed; }

 private:
  struct Label {
    int line = 0;
    std::int32_t ip = -1;  // -1 until the line is counted
  };

  // Counts the lines up to label line `line`, recording the index of every label on the way.
  void CountAheadThrough(int line) const;

  // Find counts ahead when it must: that changes nothing that Find answers, only how much of it
  // is known already, so the indexes and the reader that counts ahead are mutable.
  mutable std::vector<Label> m_labels;  // in the order of the file, at most 100
  std::unordered_map<std::string, std::size_t, NameHash, std::equal_to<>> m_firstByName;
  int m_passLine = 0;
  std::int32_t m_passStatements = 0;
  std::size_t m_passLabel = 0;  // the next label for the second pass to reach

  mutable std::unique_ptr<SourceReader> m_ahead;
  mutable int m_aheadLine = 0;                 // the lines the reader has read
  mutable std::int32_t m_aheadStatements = 0;  // the statements on those lines
  mutable std::size_t m_aheadLabel = 0;        // the next label for the reader to reach
  mutable bool m_aheadFailed = false;
};

// True when a source line can be a label line: after the blanks that begin it stands the word
// "label". The parser decides; this only spares it the other lines.
bool MayBeLabelLine(std::string_view line);

}  // namespace zelk

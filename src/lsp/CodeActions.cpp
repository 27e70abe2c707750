// SPDX-License-Identifier: MIT
#include "lsp/CodeActions.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <vector>

#include "language/CommandTable.h"
#include "lsp/Editing.h"
#include "lsp/StatementShapes.h"
#include "platform/Cp1252.h"

namespace zelk::lsp {
namespace {

using Kind = SourceFinding::Kind;

constexpr std::size_t kMostSuggestions = 3;

// What the findings that have fixes are, for their diagnostics.
const char* FixKindOf(Kind kind) {
  switch (kind) {
    case Kind::BadInstruction:
      return "bad-instruction";
    case Kind::NoEol:
      return "no-eol";
    case Kind::LabelNotFound:
      return "label-not-found";
    case Kind::NoLineFeed:
      return "no-line-feed";
    case Kind::LabelTwice:
      return "label-twice";
    default:
      return nullptr;
  }
}

DiagnosticSeverity SeverityOf(SourceFinding::Severity severity) {
  switch (severity) {
    case SourceFinding::Severity::Error:
      return DiagnosticSeverity::Error;
    case SourceFinding::Severity::Warning:
      return DiagnosticSeverity::Warning;
    case SourceFinding::Severity::Information:
      break;
  }
  return DiagnosticSeverity::Information;
}

// The edits a word needs to become the other: a character inserted, removed, replaced, or two
// neighbours swapped (the slips of typing), each one edit.
std::size_t EditDistance(std::string_view a, std::string_view b) {
  std::vector<std::size_t> before(b.size() + 1);
  std::vector<std::size_t> previous(b.size() + 1);
  std::vector<std::size_t> current(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) previous[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    current[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
      current[j] = std::min({previous[j] + 1, current[j - 1] + 1, previous[j - 1] + cost});
      if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1]) {
        current[j] = std::min(current[j], before[j - 2] + 1);
      }
    }
    std::swap(before, previous);
    std::swap(previous, current);
  }
  return previous[b.size()];
}

// The few names nearest to word, best first (by distance, then in the order given): those that
// a slip or two of typing could have made word of (capitals taken as small letters), itself left
// out, and none much farther than the nearest.
std::vector<std::string> Nearest(std::string_view word, const std::vector<std::string>& names) {
  std::string lower(word);
  std::transform(lower.begin(), lower.end(), lower.begin(), [](char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  });
  const std::size_t most = word.size() <= 3 ? 1 : word.size() <= 6 ? 2 : 3;
  std::vector<std::pair<std::size_t, std::size_t>> found;  // distance, index
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (names[i] == word) continue;
    // A name much longer or shorter is never near.
    const std::size_t gap = names[i].size() > lower.size() ? names[i].size() - lower.size()
                                                           : lower.size() - names[i].size();
    if (gap > most) continue;
    const std::size_t distance = EditDistance(lower, names[i]);
    if (distance <= most) found.emplace_back(distance, i);
  }
  std::stable_sort(found.begin(), found.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  // Names much farther than the nearest are noise beside it.
  while (!found.empty() && found.back().first > found.front().first + 1) found.pop_back();
  std::vector<std::string> nearest;
  for (std::size_t i = 0; i < found.size() && i < kMostSuggestions; ++i) {
    nearest.push_back(names[found[i].second]);
  }
  return nearest;
}

const std::vector<std::string>& CommandWords() {
  static const std::vector<std::string> words = [] {
    std::vector<std::string> list;
    for (const CommandEntry& entry : Commands()) {
      if (entry.name != nullptr) list.emplace_back(entry.name);
    }
    return list;
  }();
  return words;
}

class Fixes {
 public:
  Fixes(const OpenDocument& document, const ClientOptions& client)
      : m_document(document), m_client(client), m_text(document.Text()) {}

  void Add(const SourceFinding& finding) {
    switch (finding.kind) {
      case Kind::BadInstruction:
        return FixWord(finding);
      case Kind::LabelNotFound:
        return FixMissingLabel(finding);
      case Kind::NoEol:
        return FixNoEol(finding);
      case Kind::NoLineFeed:
        return Offer(finding, "add a line feed at the end", {AtEnd(LineEnd())}, true);
      case Kind::LabelTwice:
        return FixLabelTwice(finding);
      default:
        return;
    }
  }

  std::vector<CodeAction> Take() { return std::move(m_actions); }

 private:
  void Offer(const SourceFinding& finding, std::string title, std::vector<TextEdit> edits,
             bool preferred) {
    CodeAction& action = m_actions.emplace_back();
    action.title = std::move(title);
    action.diagnostics.push_back(FindingDiagnostic(m_document, finding, m_client));
    action.uri = m_document.Uri();
    action.edits = std::move(edits);
    action.isPreferred = preferred;
  }

  // What the finding covers, in the compile's reading of its line.
  std::string Covered(const SourceFinding& finding) const {
    const std::string line = m_document.CompileLineText(finding.line);
    const auto column = static_cast<std::size_t>(finding.column);
    if (column >= line.size()) return {};
    return line.substr(column, static_cast<std::size_t>(finding.length));
  }

  Range Columns(int line, std::size_t from, std::size_t to) const {
    return m_document.ColumnRange(line, from, to, m_client.encoding);
  }

  // The end of a line as the document ends its first one.
  std::string LineEnd() const {
    const std::size_t end = m_text.CompileLineEnd(1);
    return end < m_text.Text().size() && m_text.Text()[end] == '\r' ? "\r\n" : "\n";
  }

  TextEdit AtEnd(std::string text) const {
    const Position end = m_text.PositionAt(m_text.Text().size(), m_client.encoding);
    return {{end, end}, std::move(text)};
  }

  // The names of the labels, each once, in file order; found once for all the fixes.
  const std::vector<std::string>& Labels() {
    if (m_labels.empty()) {
      std::set<std::string> seen;
      for (const LabelSite& site : m_document.Check().definitions) {
        if (seen.insert(site.name).second) m_labels.push_back(site.name);
      }
    }
    return m_labels;
  }

  // An unknown statement word: the nearest words of the table.
  void FixWord(const SourceFinding& finding) {
    const std::string line = m_document.CompileLineText(finding.line);
    const std::size_t start = line.find_first_not_of(' ');
    if (start == std::string::npos) return;
    std::size_t end = start;
    while (end < line.size() && IsWordCharacter(line[end])) ++end;
    if (end == start) return;
    const std::string word = line.substr(start, end - start);
    bool first = true;
    for (const std::string& near : Nearest(word, CommandWords())) {
      Offer(finding, "change to " + near, {{Columns(finding.line, start, end), near}}, first);
      first = false;
    }
  }

  // A statement that names a missing label: the nearest labels, and the label added at the end.
  void FixMissingLabel(const SourceFinding& finding) {
    const std::string name = Covered(finding);
    if (name.empty()) return;
    const Range at = Columns(finding.line, static_cast<std::size_t>(finding.column),
                             static_cast<std::size_t>(finding.column + finding.length));
    bool first = true;
    for (const std::string& near : Nearest(name, Labels())) {
      Offer(finding, "change to " + Cp1252ToUtf8(near), {{at, Cp1252ToUtf8(near)}}, first);
      first = false;
    }
    // The label goes on a line of its own after the last: a last line without a line feed gets
    // one first, and the label's line ends with one, or the compile would not read it.
    const std::string& text = m_text.Text();
    const std::string end = LineEnd();
    const std::string label = "label@" + Cp1252ToUtf8(name) + ";";
    const bool open = !text.empty() && text.back() != '\n';
    Offer(finding, "add " + label, {AtEnd((open ? end : std::string()) + label + end)}, false);
  }

  // The ";" goes right after the last argument.
  void FixNoEol(const SourceFinding& finding) {
    const ParsedLine parsed = ParseLine(m_document, finding.line);
    std::size_t at = std::min(parsed.parsed.end, parsed.text.size());
    while (at > 0 && parsed.text[at - 1] == ' ') --at;
    Offer(finding, "add ;", {{Columns(finding.line, at, at), ";"}}, true);
  }

  // The second definition of a label takes the name with the first free number.
  void FixLabelTwice(const SourceFinding& finding) {
    const std::string name = Covered(finding);
    if (name.empty()) return;
    if (m_taken.empty()) {
      for (const auto* sites : {&m_document.Check().definitions, &m_document.Check().references}) {
        for (const LabelSite& site : *sites) m_taken.insert(site.name);
      }
    }
    std::string renamed;
    for (int n = 2; renamed.empty() || m_taken.count(renamed) != 0; ++n) {
      renamed = name + "_" + std::to_string(n);
    }
    const std::string utf8 = Cp1252ToUtf8(renamed);
    Offer(finding, "rename to " + utf8,
          {{Columns(finding.line, static_cast<std::size_t>(finding.column),
                    static_cast<std::size_t>(finding.column + finding.length)),
            utf8}},
          true);
  }

  const OpenDocument& m_document;
  const ClientOptions& m_client;
  const TextDocument& m_text;
  std::vector<CodeAction> m_actions;
  std::vector<std::string> m_labels;
  std::set<std::string> m_taken;  // every label name that a line defines or names
};

// True when context.only leaves quick fixes out.
bool QuickFixesLeftOut(const Json& context) {
  const Json* only = Find(context, {"only"});
  if (only == nullptr || !only->is_array()) return false;
  const std::string_view quickFix = CODE_ACTION_QUICK_FIX;
  return std::none_of(only->begin(), only->end(), [&](const Json& kind) {
    if (!kind.is_string()) return false;
    const std::string& k = kind.get_ref<const std::string&>();
    // A kind names itself and the kinds below it ("quickfix" covers "quickfix.zelk").
    return k.empty() || quickFix == k || (quickFix.size() > k.size() &&
                                          quickFix.substr(0, k.size()) == k &&
                                          quickFix[k.size()] == '.');
  });
}

}  // namespace

Diagnostic FindingDiagnostic(const OpenDocument& document, const SourceFinding& finding,
                             const ClientOptions& client) {
  return {document.FindingRange(finding, client.encoding), SeverityOf(finding.severity),
          finding.unnecessary, Cp1252ToUtf8(finding.message), FixKindOf(finding.kind)};
}

Json CodeActions(const OpenDocument& document, const Range& range, const Json& context,
                 const ClientOptions& client) {
  if (QuickFixesLeftOut(context)) return Json::array();
  const TextDocument& text = document.Text();
  const int first = text.CompileLineAt(text.OffsetAt({range.start.line, 0}, client.encoding));
  const int last = text.CompileLineAt(text.OffsetAt(range.end, client.encoding));
  // The findings are in line order; a run of unreachable statements, the one finding that
  // covers several lines, has no fix.
  const std::vector<SourceFinding>& findings = document.Check().findings;
  auto finding =
      std::lower_bound(findings.begin(), findings.end(), first,
                       [](const SourceFinding& f, int line) { return f.line < line; });
  Fixes fixes(document, client);
  for (; finding != findings.end() && finding->line <= last; ++finding) fixes.Add(*finding);
  return fixes.Take();
}

Json CodeLenses(const OpenDocument& document, const ClientOptions& client) {
  // Only a file can be compiled.
  if (!client.compileLens || document.Uri().compare(0, 7, "file://") != 0) return Json::array();
  return std::vector<CodeLens>{
      {{{0, 0}, {0, 0}}, {"Compile", COMPILE_COMMAND, Json::array({document.Uri()})}}};
}

}  // namespace zelk::lsp

// SPDX-License-Identifier: MIT
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "compiler/SourceCheck.h"
#include "lsp/Protocol.h"
#include "lsp/TextDocument.h"

// The pieces that the server's request handlers share: what the client can do, and a document
// as the server holds it while it is open.
namespace zelk::lsp {

// What the client said it can do, in its initialize request.
struct ClientOptions {
  PositionEncoding encoding = PositionEncoding::Utf16;
  bool snippets = false;
  bool hierarchicalSymbols = false;
  // The inlay hints and code lenses the user wants (initializationOptions and
  // workspace/didChangeConfiguration switch them).
  bool argumentNameHints = true;
  bool instructionHints = true;
  bool compileLens = true;
};

// Where a request's position falls in the compile's reading of the document.
struct Cursor {
  int line = 0;            // the compile's line, 1 for the first
  std::size_t column = 0;  // characters from the start of that line
};

class OpenDocument;

// The protocol's positions of the columns of one compile line, for answers that give many on
// every line: a line of ASCII text without a lone carriage return is one protocol line whose
// characters are its columns, found at once; any other line is walked as ColumnRange walks it.
class LinePositions {
 public:
  LinePositions(const OpenDocument& document, int line, PositionEncoding encoding);
  // The columns from and to (taken to the end of the line as ColumnRange takes them).
  Range Columns(std::size_t from, std::size_t to) const;
  // The end of the line's text.
  Position End() const;

 private:
  const OpenDocument& m_document;
  int m_line;
  PositionEncoding m_encoding;
  bool m_plain = false;
  std::int64_t m_protocolLine = 0;
  std::size_t m_length = 0;
};

// The semantic tokens last sent for a document, which a delta request builds on.
struct SentTokens {
  std::string resultId;  // empty: none sent since the document was opened
  std::vector<std::uint32_t> data;
};

class OpenDocument {
 public:
  OpenDocument(std::string uri, std::int64_t version, std::string text);

  const std::string& Uri() const { return m_uri; }
  std::int64_t Version() const { return m_version; }
  void SetVersion(std::int64_t version) { m_version = version; }
  TextDocument& Text() { return m_text; }
  const TextDocument& Text() const { return m_text; }
  const SourceCheck& Check() const { return m_check; }
  SentTokens& Tokens() { return m_tokens; }

  // Checks the text as the compile of the saved file would see it: converted to Windows-1252 as
  // batch input is, settings checked on settings of its own.
  void Recheck();

  // False for a position after the last line.
  bool Locate(const Position& position, PositionEncoding encoding, Cursor& cursor) const;
  // A compile line as the compile reads it before cleaning: Windows-1252, tabs as spaces, at
  // most 255 characters.
  std::string CompileLineText(int line) const;

  Range LineRange(int line, PositionEncoding encoding) const;
  // The range a finding covers: its columns, or from its column to the end of its last line.
  Range FindingRange(const SourceFinding& finding, PositionEncoding encoding) const;
  Range ColumnRange(int line, std::size_t from, std::size_t to, PositionEncoding encoding) const;
  Range SiteRange(const LabelSite& site, PositionEncoding encoding) const;
  // The label definition or reference under the cursor (its end included), or nullptr.
  const LabelSite* SiteAt(const Cursor& cursor) const;
  // The first label line of a name, which the compile uses, or nullptr.
  const LabelSite* Definition(const std::string& name) const;

 private:
  std::string m_uri;
  std::int64_t m_version;
  TextDocument m_text;
  SourceCheck m_check;
  SentTokens m_tokens;
};

}  // namespace zelk::lsp

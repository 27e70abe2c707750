#pragma once

#include <string_view>

namespace zelk {

class CZelkDoc;
class StatementParser;

// Records the label line that the parser has just read, with the number of statements counted so
// far. Returns false when it is not a label line or the table is full (100 labels).
bool AddLabel(CZelkDoc& doc, StatementParser& parser);

// The record index of the first label of that name, or -1.
int FindLabel(const CZelkDoc& doc, std::string_view name);

// Adds an on_use user unless one equal to it ignoring case is there. Returns false, adding
// nothing, when the name is new and the table already holds 100 users.
bool AddInterceptUser(CZelkDoc& doc, std::string_view name);

// Fills the document's instruction record from the script statement that the parser has just
// read, with labels, pseudo-targets and attenuation words translated. Returns false when the
// statement cannot be encoded (the record must not be written); the failures that name a label
// or the intercept table print a console line.
bool EncodeStatement(CZelkDoc& doc, StatementParser& parser);

}  // namespace zelk

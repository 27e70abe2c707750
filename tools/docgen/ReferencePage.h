// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>

namespace zelk::docgen {

// The ZelkScript language reference as one HTML page (UTF-8): the statement-line rules, the
// argument kinds, the reserved words, an index of the table and one section per entry with its
// syntax, an example, its argument kinds, category, command code and help text.
std::string ReferencePage(std::string_view version);

// The anchor of an entry's section: "cmd-" and the command word.
std::string EntryAnchor(std::string_view name);

// Text made safe for HTML element content and attribute values; Windows-1252 bytes become UTF-8.
std::string HtmlEscape(std::string_view text);

}  // namespace zelk::docgen

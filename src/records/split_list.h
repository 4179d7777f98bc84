// The comma-list splitter shared by the expression language and the flag and name parsers.
//
// Items are separated by commas outside quoted and braced parts. A double- or single-quoted part
// (backslash escapes kept as written) and a braced part with nesting are copied into the item
// with their delimiters; an unclosed one runs to the end of the text. Each item is trimmed of
// blanks (space, TAB, CR, LF) at both ends. Empty items are kept ("a,,b" has three items), but
// an empty text has none. Every byte is looked at once, so splitting always ends.
#pragma once

#include <string_view>
#include <vector>

#include "records/basic_records.h"
#include "records/tq_string.h"

namespace tq {

std::vector<TqString> splitListItems(std::string_view text);

// Appends the items of `text` to `list` (what the list already holds stays in front).
void splitList(const TqString& text, StringList& list);

}  // namespace tq

// The comma-list splitter shared by the expression language and the flag and name parsers.
//
// Items are separated by commas outside quoted and braced parts. A double- or single-quoted part
// (backslash escapes kept as written) and a braced part with nesting are copied into the item
// with their delimiters; an unclosed one runs to the end of the text. Each item is trimmed of
// blanks (space, TAB, CR, LF) at both ends. Empty items are kept ("a,,b" has three items), but
// an empty text has none. Every byte is looked at once, so splitting always ends.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "records/basic_records.h"
#include "records/tq_string.h"

namespace tq {

// Most items splitList() and splitListItems() hand out: a list of flag names or reserved
// resources holds a few dozen, while a text of commas alone would cost a whole string per byte.
// Items past the bound are left out, as if the text ended before them.
inline constexpr int32_t kMaxListItems = 65536;

// Calls `visit(item)` for every item, in order, keeping none of them and with no bound on their
// number: each item is a trimmed view into `text`. `visit` returns false to stop.
template <class Visit>
void forEachListItem(std::string_view text, Visit&& visit);

// At most kMaxListItems items.
std::vector<TqString> splitListItems(std::string_view text);

// Appends the items of `text` to `list` (what the list already holds stays in front); at most
// kMaxListItems of them.
void splitList(const TqString& text, StringList& list);

namespace split_list_detail {

inline bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

inline std::string_view trimmed(std::string_view item) {
  size_t begin = 0;
  size_t end = item.size();
  while (begin < end && isBlank(item[begin])) ++begin;
  while (end > begin && isBlank(item[end - 1])) --end;
  return item.substr(begin, end - begin);
}

}  // namespace split_list_detail

template <class Visit>
void forEachListItem(std::string_view text, Visit&& visit) {
  using split_list_detail::trimmed;
  if (text.empty()) return;
  size_t start = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == ',') {
      if (!visit(trimmed(text.substr(start, pos - 1 - start)))) return;
      start = pos;
    } else if (c == '"' || c == '\'') {
      while (pos < text.size() && text[pos] != c) pos += text[pos] == '\\' ? 2 : 1;
      if (pos < text.size()) ++pos;  // the closing quote
    } else if (c == '{') {
      for (int64_t depth = 1; pos < text.size() && depth > 0; ++pos) {
        if (text[pos] == '{') ++depth;
        if (text[pos] == '}') --depth;
      }
    }
  }
  if (pos > text.size()) pos = text.size();  // a backslash at the very end
  visit(trimmed(text.substr(start, pos - start)));
}

}  // namespace tq

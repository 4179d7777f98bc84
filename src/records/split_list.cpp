#include "records/split_list.h"

#include <string>
#include <utility>

namespace tq {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

TqString trimmed(std::string_view item) {
  size_t begin = 0;
  size_t end = item.size();
  while (begin < end && isBlank(item[begin])) ++begin;
  while (end > begin && isBlank(item[end - 1])) --end;
  return TqString(item.substr(begin, end - begin));
}

}  // namespace

std::vector<TqString> splitListItems(std::string_view text) {
  std::vector<TqString> items;
  if (text.empty()) return items;
  size_t start = 0;
  size_t pos = 0;
  while (pos < text.size()) {
    char c = text[pos++];
    if (c == ',') {
      items.push_back(trimmed(text.substr(start, pos - 1 - start)));
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
  items.push_back(trimmed(text.substr(start, pos - start)));
  return items;
}

void splitList(const TqString& text, StringList& list) {
  for (TqString& item : splitListItems(text.view())) list.append(std::move(item));
}

}  // namespace tq

#include "config/section_header.h"

#include <cstdint>
#include <string>

#include "config/number_list.h"

namespace tq {
namespace {

bool isNumberListText(std::string_view text) {
  if (!text.empty() && (text[0] == 'x' || text[0] == 'X' || text[0] == ',')) return false;
  for (char c : text) {
    if (!((c >= '0' && c <= '9') || c == ',' || c == '-' || c == 'x' || c == 'X')) return false;
  }
  return true;
}

// Items at commas outside brackets, blanks dropped.
std::vector<std::string> headerItems(std::string_view text) {
  std::vector<std::string> items(1);
  int64_t depth = 0;
  for (char c : text) {
    if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
    if (c == '[') ++depth;
    if (c == ']' && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      items.emplace_back();
    } else {
      items.back().push_back(c);
    }
  }
  return items;
}

// '[' and ']' alone, and the runs between them.
std::vector<std::string_view> itemPieces(std::string_view item) {
  std::vector<std::string_view> pieces;
  size_t start = 0;
  for (size_t i = 0; i <= item.size(); ++i) {
    if (i < item.size() && item[i] != '[' && item[i] != ']') continue;
    if (i > start) pieces.push_back(item.substr(start, i - start));
    if (i < item.size()) pieces.push_back(item.substr(i, 1));
    start = i + 1;
  }
  return pieces;
}

// Asks a number list for one number more than there is room for, to learn that it had more.
int32_t oneMore(int32_t room) { return room < INT32_MAX ? room + 1 : room; }

class HeaderNames {
 public:
  HeaderNames(int32_t limit, bool& truncated) : limit_(limit), truncated_(truncated) {}

  bool add(TqString name) {
    if (static_cast<int32_t>(names_.size()) >= limit_) {
      truncated_ = true;
      return false;
    }
    names_.push_back(std::move(name));
    return true;
  }
  int32_t room() const { return limit_ - static_cast<int32_t>(names_.size()); }
  std::vector<TqString> take() { return std::move(names_); }

  void addItem(std::string_view item) {
    std::vector<std::string_view> pieces = itemPieces(item);
    size_t open = 0;
    while (open < pieces.size() && pieces[open] != "[") ++open;
    if (open + 1 >= pieces.size()) {
      if (!item.empty()) add(TqString(item));
      return;
    }
    std::string prefix;
    for (size_t i = 0; i < open; ++i) prefix.append(pieces[i]);
    std::string_view list_text = pieces[open + 1];
    size_t rest = open + 2;
    if (list_text == "[" || list_text == "]") {
      list_text = "";  // "[]": an empty list
      rest = open + 1;
    }
    if (rest < pieces.size() && pieces[rest] == "]") ++rest;
    std::string suffix;
    for (size_t i = rest; i < pieces.size(); ++i) suffix.append(pieces[i]);

    NumberList numbers;
    numbers.parse(list_text, NumberList::kAsWritten, oneMore(room()));
    for (int32_t n : numbers.numbers()) {
      TqString name(prefix);
      if (numbers.width() > 1) {
        name.appendZeroPadded(n, numbers.width());
      } else {
        name.append(n);
      }
      name.append(suffix);
      if (!add(std::move(name))) return;
    }
  }

 private:
  std::vector<TqString> names_;
  int32_t limit_;
  bool& truncated_;
};

}  // namespace

std::vector<TqString> sectionNamesOfHeader(std::string_view header, int32_t limit,
                                           bool& truncated) {
  truncated = false;
  HeaderNames names(limit, truncated);
  if (isNumberListText(header)) {
    NumberList numbers;
    numbers.parse(header, NumberList::kAsWritten, oneMore(limit));
    for (int32_t n : numbers.numbers()) {
      if (!names.add(TqString(n))) break;
    }
    return names.take();
  }
  for (const std::string& item : headerItems(header)) {
    if (names.room() <= 0 && !item.empty()) {
      truncated = true;
      break;
    }
    names.addItem(item);
  }
  return names.take();
}

}  // namespace tq

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

bool isHeaderBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Asks a number list for one number more than there is room for, to learn that it had more.
int32_t oneMore(int32_t room) { return room < INT32_MAX ? room + 1 : room; }

// Digits of a number as TqString::append(int) and appendZeroPadded() write it.
int64_t printedLength(int32_t n, int32_t width) {
  int64_t digits = n < 0 ? 2 : 1;
  for (int64_t v = n < 0 ? -int64_t{n} : n; v >= 10; v /= 10) ++digits;
  return width > digits ? width : digits;
}

class HeaderNames {
 public:
  HeaderNames(HeaderNameLimits limits, bool& truncated, bool& out_of_bytes)
      : limits_(limits), truncated_(truncated), out_of_bytes_(out_of_bytes) {}

  bool full() const { return truncated_ || out_of_bytes_; }
  int32_t room() const { return limits_.names - static_cast<int32_t>(names_.size()); }
  std::vector<TqString> take() { return std::move(names_); }

  // Room for one more name of `length` bytes; notes why not otherwise.
  bool fits(int64_t length) {
    if (room() <= 0) {
      truncated_ = true;
      return false;
    }
    if (length > limits_.bytes - bytes_) {
      out_of_bytes_ = true;
      return false;
    }
    bytes_ += length;
    return true;
  }

  // One name per number: the prefix, the number (zero-padded to the list's width when `pad`)
  // and the suffix.
  void addNumbers(std::string_view list_text, bool pad, std::string_view prefix,
                  std::string_view suffix) {
    NumberList numbers;
    numbers.parse(list_text, NumberList::kAsWritten, oneMore(room()));
    int32_t width = pad && numbers.width() > 1 ? numbers.width() : 0;
    for (int32_t n : numbers.numbers()) {
      if (!fits(static_cast<int64_t>(prefix.size() + suffix.size()) + printedLength(n, width))) {
        return;
      }
      TqString name(prefix);
      if (width > 0) {
        name.appendZeroPadded(n, width);
      } else {
        name.append(n);
      }
      name.append(suffix);
      names_.push_back(std::move(name));
    }
  }

  // One item of a name list, blanks already dropped: a name, or a prefix, a bracketed number
  // list and a suffix. "n[" is a name; "n[]" and "n[[...]" hold an empty list.
  void addItem(std::string_view item) {
    size_t open = item.find('[');
    if (open == std::string_view::npos || open + 1 >= item.size()) {
      if (!item.empty() && fits(static_cast<int64_t>(item.size()))) names_.emplace_back(item);
      return;
    }
    size_t list_end = open + 1;
    if (item[list_end] != '[' && item[list_end] != ']') {
      list_end = item.find_first_of("[]", open + 1);
      if (list_end == std::string_view::npos) list_end = item.size();
    }
    size_t rest = list_end;
    if (rest < item.size() && item[rest] == ']') ++rest;
    addNumbers(item.substr(open + 1, list_end - open - 1), true, item.substr(0, open),
               item.substr(rest));
  }

 private:
  HeaderNameLimits limits_;
  bool& truncated_;
  bool& out_of_bytes_;
  int64_t bytes_ = 0;
  std::vector<TqString> names_;
};

}  // namespace

std::vector<TqString> sectionNamesOfHeader(std::string_view header, HeaderNameLimits limits,
                                           bool& truncated, bool& out_of_bytes) {
  truncated = false;
  out_of_bytes = false;
  HeaderNames names(limits, truncated, out_of_bytes);
  if (isNumberListText(header)) {
    names.addNumbers(header, false, "", "");  // plain decimal
    return names.take();
  }
  // Items at commas outside brackets, blanks dropped, each handled as soon as it is complete.
  std::string item;
  int64_t depth = 0;
  auto finish = [&]() {
    if (item.empty()) return true;
    if (names.room() <= 0) {
      truncated = true;
      return false;
    }
    names.addItem(item);
    item.clear();
    return !names.full();
  };
  for (char c : header) {
    if (isHeaderBlank(c)) continue;
    if (c == '[') ++depth;
    if (c == ']' && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      if (!finish()) return names.take();
    } else {
      item.push_back(c);
    }
  }
  finish();
  return names.take();
}

std::vector<TqString> sectionNamesOfHeader(std::string_view header, int32_t limit,
                                           bool& truncated) {
  bool out_of_bytes = false;
  return sectionNamesOfHeader(header, HeaderNameLimits{limit, INT64_MAX}, truncated, out_of_bytes);
}

}  // namespace tq

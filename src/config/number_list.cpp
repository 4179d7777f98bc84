#include "config/number_list.h"

#include <algorithm>
#include <cstdlib>
#include <deque>
#include <utility>

#include "config/config_limits.h"

namespace tq {
namespace {

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

class NumberScanner {
 public:
  explicit NumberScanner(std::string_view text) : text_(text) {}

  void skipBlanks() {
    while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
  }
  // Takes `c` (after blanks) when it is next.
  bool take(char c) {
    skipBlanks();
    if (pos_ >= text_.size() || text_[pos_] != c) return false;
    ++pos_;
    return true;
  }
  bool takeEither(char a, char b, char& which) {
    skipBlanks();
    if (pos_ >= text_.size() || (text_[pos_] != a && text_[pos_] != b)) return false;
    which = text_[pos_++];
    return true;
  }
  // An optional '-' and at least one digit; nothing is taken otherwise. `digits` counts them.
  bool number(int64_t& value, int32_t& digits) {
    skipBlanks();
    size_t p = pos_;
    bool negative = p < text_.size() && text_[p] == '-';
    if (negative) ++p;
    if (p >= text_.size() || !isDigit(text_[p])) return false;
    int64_t v = 0;
    digits = 0;
    for (; p < text_.size() && isDigit(text_[p]); ++p, ++digits) {
      if (v <= INT64_C(1) << 40) v = v * 10 + (text_[p] - '0');  // beyond: clamped below
    }
    v = negative ? -v : v;
    value = std::clamp<int64_t>(v, INT32_MIN, INT32_MAX);
    pos_ = p;
    return true;
  }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

// Appends N..M as the item says; false once the list is full.
bool appendRange(std::vector<int32_t>& out, int64_t from, int64_t to, int64_t step, bool complement,
                 int32_t limit) {
  int64_t direction = to < from ? -1 : 1;
  int64_t span = (to - from) * direction;  // 0 .. 2^32
  if (complement) {
    if (step <= 1) return true;  // every distance is a multiple of 1: nothing
    for (int64_t d = 0; d <= span; ++d) {
      if (d % step == 0) continue;
      if (static_cast<int32_t>(out.size()) >= limit) return false;
      out.push_back(static_cast<int32_t>(from + d * direction));
    }
    return true;
  }
  for (int64_t d = 0; d <= span; d += step) {
    if (static_cast<int32_t>(out.size()) >= limit) return false;
    out.push_back(static_cast<int32_t>(from + d * direction));
  }
  return true;
}

void appendPadded(TqString& out, int32_t value, int32_t width) {
  if (width > 1) {
    out.appendZeroPadded(value, width);
  } else {
    out.append(value);
  }
}

}  // namespace

NumberList::NumberList(std::string_view text, int32_t order) { parse(text, order); }

void NumberList::parse(std::string_view text, int32_t order, int32_t limit) {
  limit = std::clamp(limit, 0, kMaxNumberListLength);
  truncated_ = false;
  numbers_.clear();
  width_ = 0;
  NumberScanner in(text);
  bool first = true;
  for (;;) {
    int64_t from = 0;
    int32_t digits = 0;
    if (!in.number(from, digits)) break;
    if (first) width_ = digits;
    first = false;
    int64_t to = from;
    int64_t step = 1;
    bool complement = false;
    if (in.take('-')) {
      int32_t ignored = 0;
      if (!in.number(to, ignored)) to = from;  // "5-" is 5
      char which = 0;
      if (in.takeEither('x', 'X', which)) {
        complement = which == 'X';
        int64_t s = 0;
        in.number(s, ignored);
        step = s < 0 ? -s : s;
        if (step == 0) step = 1;
      }
    }
    if (!appendRange(numbers_, from, to, step, complement, limit)) {
      truncated_ = true;
      break;
    }
    if (!in.take(',')) break;
  }
  switch (order) {
    case kBinary:
      std::sort(numbers_.begin(), numbers_.end());
      numbers_ = binaryOrder(numbers_);
      break;
    case kAscending:
      std::sort(numbers_.begin(), numbers_.end());
      break;
    case kDescending:
      std::sort(numbers_.begin(), numbers_.end(), [](int32_t a, int32_t b) { return a > b; });
      break;
    default:
      break;
  }
}

std::vector<int32_t> NumberList::binaryOrder(const std::vector<int32_t>& sorted) {
  if (sorted.size() <= 3) return sorted;
  std::vector<int32_t> out;
  out.reserve(sorted.size());
  size_t last = sorted.size() - 1;
  out.push_back(sorted.front());
  out.push_back(sorted[last]);
  std::deque<std::pair<size_t, size_t>> intervals{{0, last}};
  while (!intervals.empty()) {
    auto [low, high] = intervals.front();
    intervals.pop_front();
    if (high - low <= 1) continue;
    size_t middle = low + (high - low) / 2;
    out.push_back(sorted[middle]);
    intervals.emplace_back(low, middle);
    intervals.emplace_back(middle, high);
  }
  return out;
}

TqString NumberList::compactText() const {
  std::vector<int32_t> n = numbers_;
  std::sort(n.begin(), n.end());
  n.erase(std::unique(n.begin(), n.end()), n.end());
  TqString out;
  for (size_t i = 0; i < n.size();) {
    if (!out.empty()) out.append(',');
    size_t end = i + 1;  // one past the run that starts at i
    if (n.size() > 2 && i + 2 < n.size()) {
      int64_t step = int64_t{n[i + 1]} - n[i];
      end = i + 2;
      while (end < n.size() && int64_t{n[end]} - n[end - 1] == step) ++end;
      if (end - i < 3) end = i + 1;
    }
    if (end - i >= 3) {
      int64_t step = int64_t{n[i + 1]} - n[i];
      appendPadded(out, n[i], width_);
      out.append('-');
      out.append(n[end - 1]);
      if (step > 1) {
        out.append('x');
        out.append(static_cast<int>(step));
      }
    } else {
      out.append(n[i]);
    }
    i = end;
  }
  return out;
}

}  // namespace tq

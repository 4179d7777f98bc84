// Number lists: "1-10", "001-120x5", "2,4,8-1", "1-100X10".
//
// Items are separated by ','; blanks (space, TAB, LF) may stand around every part. Each number
// is an optional '-' and decimal digits.
//   N       the number N
//   N-M     every integer from N to M, counting down when M < N
//   N-MxS   N, N±S, N±2S ... as far as M (S taken as its absolute value; 0 counts as 1)
//   N-MXS   the integers from N to M whose distance from N is not a multiple of S
// Parsing stops at the first item that does not start with a number, and after
// kMaxNumberListLength numbers (config/config_limits.h). Numbers beyond the int range are
// clamped to it. The padding width is the digit count of the number that starts the text
// ("001-120" pads to 3).
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "config/config_limits.h"
#include "records/tq_string.h"

namespace tq {

class NumberList {
 public:
  static constexpr int32_t kClassId = 89;

  // Orderings chosen when a list is built from text.
  enum Order : int32_t {
    kAsWritten = 0,
    kBinary = 1,  // ascending, then first, last and the middles of the gaps (below)
    kAscending = 2,
    kDescending = 3,
  };

  NumberList() = default;
  explicit NumberList(std::string_view text, int32_t order = kAsWritten);

  // Replaces the numbers with those of `text`, in the order given. Orders outside 0..3 keep
  // the written order. Sorting keeps duplicates. At most `limit` numbers are taken (never more
  // than kMaxNumberListLength); truncated() then tells that more were written.
  void parse(std::string_view text, int32_t order = kAsWritten,
             int32_t limit = kMaxNumberListLength);
  bool truncated() const { return truncated_; }

  const std::vector<int32_t>& numbers() const { return numbers_; }
  int32_t count() const { return static_cast<int32_t>(numbers_.size()); }
  int32_t width() const { return width_; }

  // The numbers sorted ascending without duplicates, written short: one number alone; two
  // joined by ","; otherwise runs of three or more numbers with equal steps as
  // "first-last" (with "x<step>" for steps above 1) and the others singly, all joined by ",".
  // The first number of a run is zero-padded to the width.
  TqString compactText() const;

  // First and last, then interval by interval (breadth first) the middle position
  // low + (high - low) / 2 of every interval wider than one, each splitting it in two. Lists
  // of three or fewer keep their order. Spreads work over a range early ("1-9": 1 9 5 3 7 2 4
  // 6 8).
  static std::vector<int32_t> binaryOrder(const std::vector<int32_t>& sorted);

 private:
  std::vector<int32_t> numbers_;
  int32_t width_ = 0;
  bool truncated_ = false;
};

}  // namespace tq

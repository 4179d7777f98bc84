// Regular expressions (PCRE2, 8-bit, Perl syntax).
//
// The pattern is compiled on every call with the current options; a compile failure keeps the
// library's error text in error() and answers false.
#pragma once

#include <cstdint>
#include <vector>

#include "records/tq_string.h"

namespace tq {

class Regex {
 public:
  static constexpr int32_t kCaseInsensitive = 1;  // bit 0 of the options word
  static constexpr int32_t kMaxOffsetPairs = 34;  // whole match plus up to 33 groups

  explicit Regex(const TqString& pattern) : pattern_(pattern) {}

  void setCaseInsensitive(bool on);
  void setOptions(int32_t options) { options_ = options; }
  int32_t options() const { return options_; }
  const TqString& pattern() const { return pattern_; }

  // Whether the pattern matches anywhere in `text`.
  bool matches(const TqString& text);
  // Replaces `list` with the whole match and each captured group (a group that took no part is
  // ""), up to kMaxOffsetPairs texts. False, with `list` empty, when there is no match.
  bool captures(const TqString& text, std::vector<TqString>& list);
  // The last compile error ("" after a successful compile).
  const TqString& error() const { return error_; }

 private:
  // Runs one match; answers the number of offset pairs set (0 for no match or failure).
  int32_t run(const TqString& text, std::vector<TqString>* list);

  TqString pattern_;
  TqString error_;
  int32_t options_ = 0;
};

}  // namespace tq

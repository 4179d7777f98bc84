#include "config/regex.h"

#include <pcre2.h>

#include <memory>

namespace tq {
namespace {

struct CodeDeleter {
  void operator()(pcre2_code* code) const { pcre2_code_free(code); }
};
struct MatchDataDeleter {
  void operator()(pcre2_match_data* data) const { pcre2_match_data_free(data); }
};

}  // namespace

void Regex::setCaseInsensitive(bool on) {
  options_ = on ? (options_ | kCaseInsensitive) : (options_ & ~kCaseInsensitive);
}

int32_t Regex::run(const TqString& text, std::vector<TqString>* list) {
  uint32_t flags = (options_ & kCaseInsensitive) ? PCRE2_CASELESS : 0;
  int error_code = 0;
  PCRE2_SIZE error_offset = 0;
  std::unique_ptr<pcre2_code, CodeDeleter> code(pcre2_compile(
      reinterpret_cast<PCRE2_SPTR>(pattern_.c_str()), static_cast<PCRE2_SIZE>(pattern_.length()),
      flags, &error_code, &error_offset, nullptr));
  if (!code) {
    PCRE2_UCHAR message[256];
    if (pcre2_get_error_message(error_code, message, sizeof(message)) < 0) message[0] = 0;
    error_ = TqString(reinterpret_cast<const char*>(message));
    return 0;
  }
  error_.clear();

  std::unique_ptr<pcre2_match_data, MatchDataDeleter> data(
      pcre2_match_data_create(kMaxOffsetPairs, nullptr));
  if (!data) return 0;
  int rc = pcre2_match(code.get(), reinterpret_cast<PCRE2_SPTR>(text.c_str()),
                       static_cast<PCRE2_SIZE>(text.length()), 0, 0, data.get(), nullptr);
  if (rc < 0) return 0;  // no match, or the match gave up (limits, bad input)
  // 0 means more groups matched than there are offset pairs: all pairs are set.
  int32_t pairs = rc == 0 ? kMaxOffsetPairs : rc;
  if (list) {
    const PCRE2_SIZE* offsets = pcre2_get_ovector_pointer(data.get());
    for (int32_t i = 0; i < pairs; ++i) {
      PCRE2_SIZE start = offsets[2 * i];
      PCRE2_SIZE end = offsets[2 * i + 1];
      if (start == PCRE2_UNSET || end < start) {
        list->emplace_back();
      } else {
        list->emplace_back(text.c_str() + start, static_cast<int32_t>(end - start));
      }
    }
  }
  return pairs;
}

bool Regex::matches(const TqString& text) { return run(text, nullptr) > 0; }

bool Regex::captures(const TqString& text, std::vector<TqString>& list) {
  list.clear();
  return run(text, &list) > 0;
}

}  // namespace tq

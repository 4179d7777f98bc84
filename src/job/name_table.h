// Tables of names for the bits of a flag set or the values of an enumeration.
//
// The names are part of the external interface: configuration files, job-type descriptors and
// the text form of records carry them, so each table spells them exactly as users write them.
// A table lists its entries in writing order; an entry marked kReadOnly is a spelling the
// reader accepts and the writer never produces.
//
// Bit sets share three conversions:
//   bitsToText  the names of the set bits in writing order, joined by "," without blanks;
//               bits without a name are ignored; "0" when no named bit is set.
//   textToBits  a text that passes the integer test (TqString::isInteger: an optional leading
//               '-', then digits) is its decimal value, unnamed bits included. Otherwise the
//               text is split with splitList() (blanks around items dropped, quotes and
//               braces group) and every item that equals a name exactly sets that name's bits;
//               unknown items set nothing; an empty text gives 0.
//   validate    true for a text that passes the integer test, or whose items all name a
//               non-zero value. An empty text has no items and so is valid (it reads as 0).
// Enumerations (statuses) use valueOf and nameOf instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "records/tq_string.h"

namespace tq {

enum NameOption : uint8_t {
  kWritten = 0,
  kReadOnly = 1,  // accepted by the reader, never written
};

struct NameEntry {
  const char* name;
  int32_t value;
  uint8_t options = kWritten;
};

class NameTable {
 public:
  template <size_t N>
  constexpr explicit NameTable(const NameEntry (&entries)[N]) : entries_(entries), count_(N) {}

  TqString bitsToText(int32_t bits) const;
  int32_t textToBits(const TqString& text) const;
  bool validate(const TqString& text) const;

  // The value of the entry named exactly `name` (case matters); `fallback` when there is none.
  int32_t valueOf(std::string_view name, int32_t fallback = 0) const;
  // The written name of `value`; `fallback` when no entry has it.
  const char* nameOf(int32_t value, const char* fallback = nullptr) const;

  size_t size() const { return count_; }
  const NameEntry& entry(size_t i) const { return entries_[i]; }

 private:
  const NameEntry* find(std::string_view name) const;

  const NameEntry* entries_;
  size_t count_;
};

}  // namespace tq

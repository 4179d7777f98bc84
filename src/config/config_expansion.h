// The two "$" expansion passes of sectioned configuration files.
//
// A value is cut into pieces: runs of blanks (space, TAB); the single characters '.', '{', '}',
// '\', '$' and CR; and runs of other characters.
//
// The first pass runs as a value is stored into a section S: "$self" and "$this" (also
// "${self}" ...) become "$S", so a reference keeps pointing at the section that defined it,
// also after the value is inherited by another section.
//
// The second pass runs once the file is read, over every key of every section the parse
// created, with that section as C (current) and T (self):
//   $N.K  $N._   the value of K in section N, itself expanded (with T = N); "_" gives N.
//                A missing section drops "$N" and keeps ".K" as text; a missing key is empty.
//   $K   $_     the value of K in C as currently stored (not expanded further); "_" gives C's
//                name. "self" and "this" as N or K stand for T's name.
//   ${...}       the same, the closing '}' consumed.
//   A '$' not followed by a name (last in the value, or before a blank or one of the single
//   characters) is kept as it is, so share paths such as \\srv\c$\data survive.
// Bounds (config/config_limits.h): a chain of references deeper than kMaxReferenceDepth is cut
// there, leaving the reference as written, so a reference that leads back to itself ends. A
// value that would grow beyond kMaxExpandedLength or follow more than kMaxReferencesPerValue
// references stays as stored, and so do all values once the budget of the parse is spent. The
// budget counts the bytes each value reads as well as those it writes, a referenced value again
// each time a reference reads it, so the whole pass costs time within the budget.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "config/config_limits.h"
#include "config/config_record.h"

namespace tq {

std::vector<std::string_view> splitExpansionPieces(std::string_view value);

// The first pass, for a value stored into the section named `section`.
TqString expandSelfReferences(const TqString& value, const TqString& section);

// What one parse may still spend on the second pass: bytes read and written, and references.
struct ExpansionBudget {
  int64_t bytes = kMaxExpansionBytesPerParse;
  int64_t references = kMaxReferencesPerParse;
};

// The second pass of `value` with `current` as C and T. False (and `out` unspecified) when a
// bound was reached: the caller keeps the stored value.
bool expandReferences(const TqString& value, const ConfigRecord& current,
                      const ConfigHash& sections, ExpansionBudget& budget, TqString& out);

}  // namespace tq

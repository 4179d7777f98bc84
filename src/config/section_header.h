// Section names from the text of a header of a sectioned configuration file.
//
// A text of only digits, ',', '-', 'x' and 'X' that does not begin with 'x', 'X' or ',' is a
// number list (config/number_list.h): "1-3" names 1, 2 and 3, in plain decimal; an empty
// header names nothing. Any other text is split at commas outside brackets (blanks, CR and LF
// dropped); an item with a bracketed number list names one section per number, padded to the
// digit count of the list's first number: "render[01-03],edit" names render01, render02,
// render03 and edit, while "render01-render03" names itself. Empty items name nothing.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "records/tq_string.h"

namespace tq {

struct HeaderNameLimits {
  int32_t names;  // most names
  int64_t bytes;  // most bytes of all names together
};

// At most `limits.names` names of at most `limits.bytes` bytes together. `truncated` tells
// whether the header named more names, `out_of_bytes` whether the names it named took more
// bytes; the names before the one that did not fit are returned either way. The cost is linear
// in the header and in the bytes returned.
std::vector<TqString> sectionNamesOfHeader(std::string_view header, HeaderNameLimits limits,
                                           bool& truncated, bool& out_of_bytes);
// The same without a bound on bytes.
std::vector<TqString> sectionNamesOfHeader(std::string_view header, int32_t limit, bool& truncated);

}  // namespace tq

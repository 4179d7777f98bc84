// Fuzzing entry for the parenthesised package parser, for a libFuzzer target or a test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tq {

// Parses the bytes as a parenthesised package, renders the tree in all three forms and checks
// that writing is stable: parsing the written form and writing again gives the same text, and
// no parsed tree is deeper than kMaxPackageDepth. Returns 0, or 1 when a check fails.
int fuzzPackageParser(const uint8_t* data, size_t size);

}  // namespace tq

// Fuzzing entries for the three expression syntaxes, for a libFuzzer target or a test.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tq {

// Each parses the bytes with its syntax, then evaluates the tree, checks definedness and
// collects variables, once without hooks and once through a resolver. Returns 0, or 1 when the
// tree is deeper than kMaxExpressionDepth or evaluation is not repeatable.
int fuzzInfixExpression(const uint8_t* data, size_t size);
int fuzzWordExpression(const uint8_t* data, size_t size);
// Also splits the bytes as a comma list.
int fuzzListExpression(const uint8_t* data, size_t size);

}  // namespace tq

// Limits that protect the decoders from hostile input. Every decoder of the library obeys them:
// an input of N bytes costs time linear in N and memory within max(64 MiB, 16 x N) at its peak.
// Input beyond a limit ends quietly, as a truncated input does, unless the constant says
// otherwise. Every limit leaves room for the largest honest input, a job list of 10,000 render
// jobs with 100 work items each, in either form.
#pragma once

#include <cstdint>

namespace tq {

// Deepest nesting of records inside records (binary stream and text form) and of nodes inside
// a package tree. A record nested deeper than this is left at its defaults and the containing
// record goes on after it.
constexpr int kMaxNestingDepth = 64;

// What one decode may build, in bytes of memory: the larger of the floor and the factor times
// the input's length. Where a few bytes of input stand for a large object (a list element of a
// dozen bytes becomes a whole default job of about 2.5 KB, an empty "<object/>" becomes an
// element frame), the reader charges what it builds against this budget. Once it is spent the
// reader builds nothing more: a binary list or hash ends there, as at a truncated field, the
// text reader files no further elements (the records already filed are read), and the package
// parser closes every open node. Strings cost no more than the bytes that carry them and are
// not charged. An honest job list builds about 2 to 5 bytes of records and element frames per
// byte of input, so 8 leaves room; a spent budget keeps the reader within 16 x N.
constexpr int64_t kDecodeBudgetFloor = int64_t{32} << 20;
constexpr int64_t kDecodeBudgetPerInputByte = 8;

// What the budget charges for one allocation besides its object's own size: the allocator's
// header and the pointer that holds it.
constexpr int64_t kDecodeAllocationCost = 32;

// What a hash entry costs besides its key and value records: the buffer of its key, its share
// of the slot arrays (a table may hold four slots per entry) and of the table's growth.
constexpr int64_t kDecodeHashEntryCost = 160;

// Deepest nesting of elements of any name in the text form. A record nests two elements deep
// per level (the field element, then "object"), so this is far above what kMaxNestingDepth lets
// a writer produce. A text nested deeper is refused as malformed (result 4): the XML parser
// keeps a tag per open element, and this bounds them.
constexpr int kMaxTextElementDepth = 1024;

}  // namespace tq

// Limits that protect the decoders from hostile input. Every decoder of the library obeys them;
// input beyond a limit ends quietly, as a truncated input does.
#pragma once

#include <cstdint>

namespace tq {

// Deepest nesting of records inside records (binary stream and text form) and of nodes inside
// a package tree. A record nested deeper than this is left at its defaults and the containing
// record goes on after it.
constexpr int kMaxNestingDepth = 64;

}  // namespace tq

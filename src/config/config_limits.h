// Limits of the configuration readers. Configuration text comes from files anyone on the
// machine may have written, so no input can make a reader run without end or fill the memory;
// input beyond a limit is cut off as documented at each constant, and reading goes on.
#pragma once

#include <cstdint>

namespace tq {

// Most numbers one number list holds ("1-4000000000" stops after this many).
inline constexpr int32_t kMaxNumberListLength = 1000000;

// Sectioned files (config/sectioned_config.h):
// Most sections one header names ("[node[1-99999]]"); the rest are skipped with a warning on
// the error stream.
inline constexpr int32_t kMaxSectionsPerHeader = 4096;
// Most sections one configuration holds; headers naming more are skipped with a warning.
inline constexpr int32_t kMaxSections = 65536;
// Most values one parse stores into sections (an assignment to N sections stores N; an
// inherited parent stores each of its keys into each child). The rest of the input is then
// ignored, with a warning, as if it had ended there.
inline constexpr int32_t kMaxStoresPerParse = 2000000;
// Most section names the headers of one parse may name together, counting a name again each
// time a header names it. Past the bound the rest of the input is ignored, with a warning.
inline constexpr int64_t kMaxHeaderNamesPerParse = int64_t{1} << 20;
// Most bytes (keys and values together) one parse stores into sections. Every store copies its
// value, so one long value assigned to a header of thousands of sections would otherwise ask
// for thousands of copies. Past the bound the rest of the input is ignored, with a warning.
inline constexpr int64_t kMaxStoredBytesPerParse = int64_t{64} << 20;

// "$" references:
// Deepest chain of "$section.key" references followed while expanding one value. A reference
// met at this depth is left as written, which is also what becomes of a reference that leads
// back to itself (a key a whose value is $self.a).
inline constexpr int kMaxReferenceDepth = 16;
// Largest text one value may expand to, and most references followed for it. A value that
// would need more is left as it was stored (unexpanded).
inline constexpr int32_t kMaxExpandedLength = 1 << 20;
inline constexpr int32_t kMaxReferencesPerValue = 100000;
// The same for all values of one parse together; values met after either is spent are left
// unexpanded.
inline constexpr int64_t kMaxExpandedBytesPerParse = int64_t{32} << 20;
inline constexpr int64_t kMaxReferencesPerParse = 1000000;

}  // namespace tq

// Limits of the configuration readers. Configuration text comes from files anyone on the
// machine may have written, so no input can make a reader run without end or fill the memory:
// an input of N bytes costs time linear in N and memory within max(64 MiB, 16 x N). Input
// beyond a limit is cut off as documented at each constant, and reading goes on or ends quietly
// as said there; the configuration files' readers say so with a "WARNING: " line on the error
// stream. Every limit leaves room many times over for the largest honest files (a "tq.conf" of
// a few thousand keys, a path-map file of a few hundred sections).
//
// The comma-list splitter sits below this layer and keeps its bound beside it:
// kMaxListItems in records/split_list.h.
#pragma once

#include <cstdint>

namespace tq {

// --- flat files ("tq.conf", "/.tq.conf", "job.conf") ----------------------------------------
// Most keys one "config" record takes from text. A line that would add a key past the bound
// ends the parse, with a warning; what was read before stays (values of keys already there
// may still be replaced until then).
inline constexpr int32_t kMaxConfigKeys = 65536;
// Most supervisor hosts "supervisor_host" and "tq_supervisor" name together; later names are
// ignored, with a warning. Each one is tried in turn when a client looks for a supervisor.
inline constexpr int32_t kMaxSupervisorHosts = 1024;

// --- number lists ---------------------------------------------------------------------------
// Most numbers one number list holds ("1-4000000000" stops after this many).
inline constexpr int32_t kMaxNumberListLength = 1000000;

// --- sectioned files (config/sectioned_config.h) ---------------------------------------------
// Most sections one header names ("[node[1-99999]]"); the rest are skipped with a warning.
inline constexpr int32_t kMaxSectionsPerHeader = 4096;
// Most sections one configuration holds; headers naming more are skipped with a warning. An
// empty section costs about 900 bytes.
inline constexpr int32_t kMaxSections = 8192;
// Most section names the headers of one parse may name together, counting a name again each
// time a header names it, and most bytes those names may hold together. A header of a long
// name and a number list names thousands of copies of that name, so the bytes are counted, not
// only the names. Past either bound the rest of the input is ignored, with a warning.
inline constexpr int64_t kMaxHeaderNamesPerParse = int64_t{1} << 20;
inline constexpr int64_t kMaxHeaderNameBytesPerParse = int64_t{1} << 20;
// Most values one parse stores into sections (an assignment to N sections stores N; an
// inherited parent stores each of its keys into each child), each costing a table entry of
// about 330 bytes. The rest of the input is then ignored, with a warning, as if it had ended
// there.
inline constexpr int32_t kMaxStoresPerParse = 32768;
// Most bytes (keys and values together) one parse stores into sections. Every store copies its
// value, so one long value assigned to a header of thousands of sections would otherwise ask
// for thousands of copies. Past the bound the rest of the input is ignored, with a warning.
inline constexpr int64_t kMaxStoredBytesPerParse = int64_t{4} << 20;
// Most warnings one parse writes; one more line says that the others were left out. Texts from
// the input that a warning repeats (a header, a parent name) are cut to kMaxWarningTextLength
// bytes, followed by "...".
inline constexpr int32_t kMaxWarningsPerParse = 64;
inline constexpr int32_t kMaxWarningTextLength = 200;

// --- "$" references -------------------------------------------------------------------------
// Deepest chain of "$section.key" references followed while expanding one value. A reference
// met at this depth is left as written, which is also what becomes of a reference that leads
// back to itself (a key a whose value is $self.a).
inline constexpr int kMaxReferenceDepth = 16;
// Largest text one value may expand to, and most references followed for it. A value that
// would need more is left as it was stored (unexpanded).
inline constexpr int32_t kMaxExpandedLength = 1 << 20;
inline constexpr int32_t kMaxReferencesPerValue = 100000;
// Most bytes the second pass of one parse may read and write together, counting a referenced
// value each time a reference makes it read it again, and most references it may follow.
// Values met after either is spent are left unexpanded.
inline constexpr int64_t kMaxExpansionBytesPerParse = int64_t{4} << 20;
inline constexpr int64_t kMaxReferencesPerParse = 1000000;

// --- expressions (config/expression.h) ------------------------------------------------------
// Deepest expression tree the parser builds (a leaf is level 1), and deepest nesting of
// parentheses. Evaluation, isDefined(), variables() and destruction recurse once per level, so
// this bounds their stack use. A chain of operators of one strength nests one level per
// operator (a + b + c + ... has as many levels as terms). Text that needs more parses into the
// single node kTooDeepOperator.
inline constexpr int kMaxExpressionDepth = 256;
// Most nodes (leaves and operators) one parse builds, each about 200 bytes. Text that needs
// more parses into the single node kTooLargeOperator, and the text after the token that passed
// the bound is not read.
inline constexpr int32_t kMaxExpressionNodes = 65536;

// --- the env text form (config/env_record.h) --------------------------------------------------
// Most variables and most drive mounts one text adds. Reading the text form ends at the line
// that would pass either bound, as at an empty line; drive-map text past the mount bound adds
// no further drives (targets of drives already there are still replaced). A process
// environment holds a few hundred variables and a machine 26 drives.
inline constexpr int32_t kMaxEnvVariables = 65536;
inline constexpr int32_t kMaxMounts = 1024;

}  // namespace tq

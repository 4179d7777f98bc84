// File tests and helpers on library strings.
//
// The MAX_PATH rule: a path of kMaxPath (260) characters or more is never handed to the system.
// The tests below log "WARNING: <path> exceeds MAX_PATH." under the log lock instead and answer
// false.
#pragma once

#include <cstdint>

#include "records/tq_string.h"

namespace tq {

inline constexpr int32_t kMaxPath = 260;

// True, after logging the warning, when `path` breaks the MAX_PATH rule.
bool exceedsMaxPath(const TqString& path);

bool pathExists(const TqString& path);
bool isDirectory(const TqString& path);
// Windows: the hidden attribute. POSIX: a base name that starts with '.'.
bool isHidden(const TqString& path);
// Windows: clears the hidden attribute. POSIX: nothing can be cleared; true only when the file
// exists and is not a dot-file (see platform/file_system.h).
bool clearHidden(const TqString& path);
// See platform/file_access.h for the rule on each platform and the warnings logged.
bool everyoneHasFullAccess(const TqString& path);

// How readWholeFile opens the file. Text mode is what configuration readers want (on Windows
// CR LF becomes LF and a Ctrl-Z byte ends the text); binary mode returns the bytes unchanged and
// is the one for carrying a file's contents elsewhere.
enum class ReadMode { kText, kBinary };

// The whole file, or "" when it does not exist (MAX_PATH rule applies) or cannot be opened.
TqString readWholeFile(const TqString& path, ReadMode mode = ReadMode::kText);
// Writes the bytes unchanged, truncating the file first; false when it cannot be opened or
// written (the file is then left alone, or partly written).
bool writeFile(const TqString& path, const TqString& data);
// The same, appending.
bool appendFile(const TqString& path, const TqString& data);
// Appends to `out` the bytes from byte `offset` to the end or, when `limit` is positive, at most
// `limit` bytes. Answers the file position after the last byte read (to continue from there),
// or -1 when the file does not exist, cannot be opened, or `offset` is negative.
int64_t readFileFrom(const TqString& path, int64_t offset, int64_t limit, TqString& out);
int64_t readFileFrom(const TqString& path, int64_t offset, TqString& out);

// The text after the last '/' or '\' (the whole path when there is none).
TqString baseName(const TqString& path);
// The text before the last '/' or '\' (empty when there is none).
TqString directoryName(const TqString& path);

// Creates an empty file when none exists; true when the file exists afterwards.
bool createIfMissing(const TqString& path);
// "kervu" + a process-wide counter (1 for the first call) + ".tmp". A name only: callers put it
// in a directory of their own choosing.
TqString temporaryName();

}  // namespace tq

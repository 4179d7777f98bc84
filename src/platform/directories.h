// The two system directories every default path is built on.
//
// windowsDirectory(): the home of the machine-wide "tq.conf". On Windows it is what
// GetWindowsDirectoryA reports; on POSIX systems "/etc" stands in for it.
// temporaryDirectory(): where temporary and cache files go. On Windows it is what GetTempPathA
// reports; on POSIX systems $TMPDIR, or "/tmp" when that is unset or empty.
//
// Both can be redirected on every platform, so that tests and unusual installations never touch
// the real ones:
//   TQWINDIR    replaces the Windows directory (POSIX: replaces "/etc")
//   TQTEMPDIR   replaces the temporary directory
// A variable that is unset or empty does not redirect.
//
// Each answer has one trailing '\' or '/' removed ("C:\TEMP\" becomes "C:\TEMP"); a failing
// system query gives the empty text.
#pragma once

#include <string>
#include <string_view>

namespace tq::platform {

inline constexpr const char* kWindowsDirectoryVariable = "TQWINDIR";
inline constexpr const char* kTemporaryDirectoryVariable = "TQTEMPDIR";

std::string windowsDirectory();
std::string temporaryDirectory();

// Removes one trailing '\' or '/', if there is one.
std::string trimOneTrailingSeparator(std::string_view path);

// What the system itself reports, before redirection and trimming ("" on failure).
std::string systemWindowsDirectory();
std::string systemTemporaryDirectory();

}  // namespace tq::platform

// Whether "Everyone" may do everything with a file.
//
// Windows: the file's discretionary access list is read and walked in order. The first
// access-allowed entry for Everyone (S-1-1-0) decides: true when its mask holds every specific
// file right (0x1 to 0x100). An access-denied entry for Everyone that comes before it and
// denies any of those rights answers false, as Windows itself would refuse them. Failures log
// one of these lines under the log lock and answer false:
//   "WARNING: unable to get file security DACL [<error>]"
//   "WARNING: DACL missing."
//   "WARNING: unable to get access control list information."
//   "WARNING: unable to lookup Everyone SID record."
//
// POSIX systems have no such list; there the answer is true when the permission bits give
// "other" read, write and execute (the owner's and group's bits do not matter, since everyone
// else already has every right). A file that cannot be examined logs the first warning above
// with the errno value and answers false.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tq::platform {

inline constexpr uint32_t kAllSpecificFileRights = 0x1FF;

// One entry of an access list, as far as the Everyone check cares.
struct AccessEntry {
  enum class Kind { kAllowed, kDenied, kOther };
  Kind kind = Kind::kOther;
  bool everyone = false;  // the entry's SID is valid and equals S-1-1-0
  uint32_t mask = 0;
};

// The decision over a walked list (see above).
bool everyoneGrantedFullAccess(const std::vector<AccessEntry>& entries);
// POSIX rule on st_mode bits.
bool otherBitsGrantFullAccess(uint32_t mode);

bool everyoneHasFullAccess(const std::string& path);

// For tests: replaces the file's access list with `entries`, in order (entries not for Everyone
// name the Administrators group). Windows only; false elsewhere or when the system refuses.
bool setAccessListForTest(const std::string& path, const std::vector<AccessEntry>& entries);

}  // namespace tq::platform

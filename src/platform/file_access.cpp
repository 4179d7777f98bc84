#include "platform/file_access.h"

namespace tq::platform {

bool everyoneGrantedFullAccess(const std::vector<AccessEntry>& entries) {
  for (const AccessEntry& entry : entries) {
    if (!entry.everyone) continue;
    if (entry.kind == AccessEntry::Kind::kDenied && (entry.mask & kAllSpecificFileRights) != 0) {
      return false;
    }
    if (entry.kind == AccessEntry::Kind::kAllowed) {
      return (entry.mask & kAllSpecificFileRights) == kAllSpecificFileRights;
    }
  }
  return false;
}

bool otherBitsGrantFullAccess(uint32_t mode) { return (mode & 07u) == 07u; }

}  // namespace tq::platform

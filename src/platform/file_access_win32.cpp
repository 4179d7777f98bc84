#include <windows.h>
// windows.h first: the headers below build on its types.
#include <sddl.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/file_access.h"
#include "platform/file_system.h"
#include "platform/log_sink.h"

namespace tq::platform {
namespace {

void warnNoDacl(DWORD error) {
  logLine("WARNING: unable to get file security DACL [" + std::to_string(error) + "]");
}

struct LocalFreeDeleter {
  void operator()(void* p) const { LocalFree(p); }
};

// Reads the file's security descriptor with its access list; empty on failure (logged).
std::vector<unsigned char> readSecurityDescriptor(const std::string& path) {
  DWORD needed = 0;
  if (GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, nullptr, 0, &needed) ||
      GetLastError() != ERROR_INSUFFICIENT_BUFFER || needed == 0) {
    warnNoDacl(GetLastError());
    return {};
  }
  std::vector<unsigned char> buffer(needed);
  if (!GetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, buffer.data(), needed, &needed)) {
    warnNoDacl(GetLastError());
    return {};
  }
  return buffer;
}

AccessEntry describe(const ACE_HEADER* header, PSID everyone) {
  AccessEntry entry;
  const ACCESS_MASK* mask = nullptr;
  PSID sid = nullptr;
  if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
    auto* ace = reinterpret_cast<const ACCESS_ALLOWED_ACE*>(header);
    entry.kind = AccessEntry::Kind::kAllowed;
    mask = &ace->Mask;
    sid = const_cast<DWORD*>(&ace->SidStart);
  } else if (header->AceType == ACCESS_DENIED_ACE_TYPE) {
    auto* ace = reinterpret_cast<const ACCESS_DENIED_ACE*>(header);
    entry.kind = AccessEntry::Kind::kDenied;
    mask = &ace->Mask;
    sid = const_cast<DWORD*>(&ace->SidStart);
  } else {
    return entry;
  }
  entry.mask = *mask;
  entry.everyone = IsValidSid(sid) && EqualSid(sid, everyone);
  return entry;
}

}  // namespace

bool everyoneHasFullAccess(const std::string& path) {
  if (!usablePath(path)) {
    warnNoDacl(ERROR_INVALID_PARAMETER);
    return false;
  }
  std::vector<unsigned char> descriptor = readSecurityDescriptor(path);
  if (descriptor.empty()) return false;

  BOOL present = FALSE;
  BOOL defaulted = FALSE;
  PACL acl = nullptr;
  if (!GetSecurityDescriptorDacl(descriptor.data(), &present, &acl, &defaulted)) {
    warnNoDacl(GetLastError());
    return false;
  }
  if (!present || !acl) {
    logLine("WARNING: DACL missing.");
    return false;
  }
  ACL_SIZE_INFORMATION size_info;
  if (!GetAclInformation(acl, &size_info, sizeof(size_info), AclSizeInformation)) {
    logLine("WARNING: unable to get access control list information.");
    return false;
  }
  PSID raw_everyone = nullptr;
  if (!ConvertStringSidToSidA("S-1-1-0", &raw_everyone)) {
    logLine("WARNING: unable to lookup Everyone SID record.");
    return false;
  }
  std::unique_ptr<void, LocalFreeDeleter> everyone(raw_everyone);

  std::vector<AccessEntry> entries;
  for (DWORD i = 0; i < size_info.AceCount; ++i) {
    void* ace = nullptr;
    if (!GetAce(acl, i, &ace) || !ace) continue;
    entries.push_back(describe(static_cast<const ACE_HEADER*>(ace), everyone.get()));
  }
  return everyoneGrantedFullAccess(entries);
}

bool setAccessListForTest(const std::string& path, const std::vector<AccessEntry>& entries) {
  PSID everyone = nullptr;
  PSID administrators = nullptr;
  if (!ConvertStringSidToSidA("S-1-1-0", &everyone)) return false;
  std::unique_ptr<void, LocalFreeDeleter> everyone_owner(everyone);
  if (!ConvertStringSidToSidA("S-1-5-32-544", &administrators)) return false;
  std::unique_ptr<void, LocalFreeDeleter> administrators_owner(administrators);

  DWORD size = sizeof(ACL);
  for (const AccessEntry& entry : entries) {
    size += sizeof(ACCESS_ALLOWED_ACE) + GetLengthSid(entry.everyone ? everyone : administrators);
  }
  std::vector<unsigned char> acl_buffer(size);
  PACL acl = reinterpret_cast<PACL>(acl_buffer.data());
  if (!InitializeAcl(acl, size, ACL_REVISION)) return false;
  for (const AccessEntry& entry : entries) {
    PSID sid = entry.everyone ? everyone : administrators;
    BOOL added = entry.kind == AccessEntry::Kind::kDenied
                     ? AddAccessDeniedAce(acl, ACL_REVISION, entry.mask, sid)
                     : AddAccessAllowedAce(acl, ACL_REVISION, entry.mask, sid);
    if (!added) return false;
  }
  SECURITY_DESCRIPTOR descriptor;
  if (!InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION) ||
      !SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE)) {
    return false;
  }
  return SetFileSecurityA(path.c_str(), DACL_SECURITY_INFORMATION, &descriptor) != 0;
}

}  // namespace tq::platform

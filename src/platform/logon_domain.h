// The account domain of the user this process runs as.
//
// Windows: the process token is opened for querying (OpenProcessToken), its statistics read
// (GetTokenInformation, TokenStatistics), and the logon session they name asked for its data
// (LsaGetLogonSessionData); the logon domain name comes back in UTF-16 and is converted to the
// ANSI code page (WideCharToMultiByte). The computer's NetBIOS name comes from
// GetComputerNameExA. POSIX systems have no logon sessions of this kind: the answer there is
// always "not known", and callers use their configured domain or "." (the local machine).
#pragma once

#include <string>

namespace tq::platform {

struct LogonDomain {
  std::string domain;    // the logon session's domain name
  std::string computer;  // this computer's NetBIOS name
};

// False when any of the queries fails (always on POSIX systems); `out` is then unspecified.
bool currentLogonDomain(LogonDomain& out);

}  // namespace tq::platform

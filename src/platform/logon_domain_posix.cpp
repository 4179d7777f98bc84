#include "platform/logon_domain.h"

namespace tq::platform {

bool currentLogonDomain(LogonDomain&) { return false; }

}  // namespace tq::platform

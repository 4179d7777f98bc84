#include "platform/drives.h"

namespace tq::platform {

uint32_t logicalDriveMask() { return 0; }

std::string networkDriveTarget(const std::string&) { return std::string(); }

std::string driveDeviceName(const std::string&) { return std::string(); }

}  // namespace tq::platform

// Drive letters and what they stand for.
//
// Windows: logicalDriveMask() is GetLogicalDrives(); networkDriveTarget() asks the network
// provider (WNetGetConnectionA) for the remote name of a connected network drive
// ("\\server\share"); driveDeviceName() asks QueryDosDeviceA what the drive name stands for and
// answers the first name of the list ("\??\C:\work" for a substituted drive,
// "\Device\HarddiskVolume1" for a local disk).
// POSIX systems have no drive letters: the mask is 0 and both names are empty.
// Every query answers "" (or 0) on failure; nothing is reported.
#pragma once

#include <cstdint>
#include <string>

namespace tq::platform {

// Bit n (0..25) set: drive letter 'A' + n exists.
uint32_t logicalDriveMask();

// REQUIRES: drive is a letter and a colon ("Z:"); anything else answers "".
std::string networkDriveTarget(const std::string& drive);
std::string driveDeviceName(const std::string& drive);

// "A:" for 0 ... "Z:" for 25; "" outside that range.
std::string driveName(int index);

}  // namespace tq::platform

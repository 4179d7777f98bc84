// Drive mounts: what a drive letter stands for, found on the live system or given as text, and
// the credentials a mount target may carry.
//
// A mount maps a drive ("Z:") to a target: a plain path (a UNC path \\server\share for a network
// drive, or the directory a substituted drive stands for) or a path with credentials in front,
// user@path or user:password@path.
#pragma once

#include <cstdint>

#include "records/basic_records.h"
#include "records/tq_string.h"

namespace tq {

// The system queries that mount capture needs. The default answers come from the operating
// system (platform/drives.h); tests substitute their own.
class DriveProbe {
 public:
  virtual ~DriveProbe() = default;
  // Bit n (0..25) set: drive letter 'A' + n exists.
  virtual uint32_t logicalDriveMask() const;
  // The network provider's remote name of the drive, or "" when it is not a network drive.
  virtual TqString networkTarget(const TqString& drive) const;
  // The first device name the drive stands for, or "".
  virtual TqString deviceName(const TqString& drive) const;
};

// Adds one mount per drive of the mask that stands for something elsewhere: a network drive
// maps to its remote name; otherwise a device name of the form \??\target (longer than six
// characters) maps to the target. Local disks add nothing.
void captureDriveMounts(const DriveProbe& probe, StringHash& mounts);

// Adds the mounts of lines "drive|target" (a further '|' ends the target). Blanks and CRs around
// the drive and the target are dropped and a drive letter is upper-cased, so that an indented
// braced value in a configuration file maps the drive the system reports. Lines without a '|'
// or with an empty drive add nothing. A drive already present gets the new target; no drive is
// added once the table holds kMaxMounts (config/config_limits.h).
void addMountsFromText(const TqString& text, StringHash& mounts);

// Splits a mount target into user, password and path. A target without '@' is all path, and so
// is one that already starts as a path (\\server..., X:\..., X:/..., /...): such a path may
// hold an '@' of its own, as a WebDAV share (\\server@SSL\DavWWWRoot) or a directory name does.
// Otherwise the user runs to the first ':' or '@'; after a ':' the password runs to the next
// '@'; the path is everything after that '@'. The password is marked secure.
void splitMountTarget(const TqString& target, TqString& user, TqString& password, TqString& path);

}  // namespace tq

// Who and where this process is: network adapter hardware addresses, user and host name.
//
// userName(): Windows asks the network provider (WNetGetUserA). POSIX systems take the name of
// the effective user from the password database, else $LOGNAME, else $USER.
// hostName(): gethostname() (on Windows with Winsock started for the call).
// adapterAddresses(): Windows reads the adapter list with GetAdaptersInfo into a buffer of
// 20480 bytes (a list that does not fit gives no addresses); Linux reads the link-layer
// addresses of the interfaces (getifaddrs, AF_PACKET); other POSIX systems give none.
// All answer empty on failure.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tq::platform {

using HardwareAddress = std::array<uint8_t, 6>;

std::vector<HardwareAddress> adapterAddresses();
// The first address whose six bytes are not all zero.
std::optional<HardwareAddress> firstNonZeroAddress(const std::vector<HardwareAddress>& addresses);

std::string userName();
std::string hostName();

}  // namespace tq::platform

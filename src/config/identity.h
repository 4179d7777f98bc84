// Who and where this process is, as library strings.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "records/basic_records.h"
#include "records/tq_string.h"

namespace tq {

// The text of the first network adapter whose six address bytes are not all zero
// ("00:1A:2B:3C:4D:5E"); empty when there is none.
TqString macAddressText();
// The same choice over a given adapter list.
TqString macAddressText(const std::vector<std::array<uint8_t, 6>>& adapters);
// macAddressText() as the "macaddress" record that messages carry.
MacAddress macAddress();
// The user's name ("" when it cannot be found); see platform/identity.h.
TqString userName();
// The host's name ("" when it cannot be found).
TqString hostName();

}  // namespace tq

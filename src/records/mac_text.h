// The text of a hardware (MAC) address: six bytes as two upper-case hexadecimal digits each,
// joined with ':' ("00:1A:2B:3C:4D:5E"), or empty when there is no address.
#pragma once

#include <array>
#include <cstdint>

#include "records/tq_string.h"

namespace tq {

// The address a machine without a usable adapter is known by.
inline constexpr const char* kDefaultMacAddressText = "00:00:00:00:00:00";

// "00:1A:2B:3C:4D:5E" for the six bytes.
TqString formatMacAddress(const std::array<uint8_t, 6>& bytes);
// Reads a text back: it is cut at ':' and each part gives the value of its first two hexadecimal
// digits, printed again as two upper-case digits ("0:1a:2B" gives "00:1A:2B"). When every part
// is zero the result is empty.
TqString normalizeMacAddressText(const TqString& text);
// Six parts of one or more hexadecimal digits, each at most 255, separated by ':', and nothing
// after the sixth.
bool isValidMacAddressText(const TqString& text);

}  // namespace tq

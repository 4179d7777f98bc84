#include "config/identity.h"

#include "platform/identity.h"
#include "records/mac_text.h"

namespace tq {

TqString macAddressText(const std::vector<std::array<uint8_t, 6>>& adapters) {
  std::optional<platform::HardwareAddress> chosen = platform::firstNonZeroAddress(adapters);
  return chosen ? formatMacAddress(*chosen) : TqString();
}

TqString macAddressText() { return macAddressText(platform::adapterAddresses()); }

MacAddress macAddress() {
  MacAddress record;
  record.value = macAddressText();
  return record;
}

TqString userName() { return TqString(std::string_view(platform::userName())); }

TqString hostName() { return TqString(std::string_view(platform::hostName())); }

}  // namespace tq

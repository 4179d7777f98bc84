#include "platform/drives.h"

namespace tq::platform {

std::string driveName(int index) {
  if (index < 0 || index > 25) return std::string();
  return std::string{static_cast<char>('A' + index), ':'};
}

}  // namespace tq::platform

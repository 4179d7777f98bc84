// The plug-in's string table: every text the plug-in itself shows the host, by id.
#pragma once

#include <cstdint>

namespace tq::plugin {

enum StringId : int32_t {
  kStringNone = 0,
  kStringCommandName = 1,
  kStringAddProblem = 2,
};

inline constexpr int32_t kMaxStringSize = 256;

// The text of `id`; "" for an id the table does not hold.
const char* stringText(int32_t id);

}  // namespace tq::plugin

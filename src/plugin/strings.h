// The plug-in's string table: every text the plug-in itself shows the host, by id.
#pragma once

#include <cstdint>

namespace tq::plugin {

enum StringId : int32_t {
  kStringNone = 0,
  kStringCommandName = 1,
  kStringAddProblem = 2,
  // What the user reads when the window or an action could not be done, followed by the
  // reason (one of the texts below).
  kStringWindowProblem = 3,
  kStringSubmitProblem = 4,
  kStringBrowseProblem = 10,
  // Reasons; a suite's name and version, or an item number, follows.
  kStringNoSuite = 5,
  kStringNoWindow = 6,
  kStringNoItem = 7,
  kStringNoList = 8,
  kStringNoEntry = 9,
};

inline constexpr int32_t kMaxStringSize = 256;

// The text of `id`; "" for an id the table does not hold.
const char* stringText(int32_t id);

}  // namespace tq::plugin

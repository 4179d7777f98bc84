#include "transport/limits.h"

namespace tq {
namespace {

int32_t& frameLimit() {
  static int32_t limit = kDefaultMaxFrameBody;
  return limit;
}

}  // namespace

int32_t maxFrameBody() { return frameLimit(); }

void setMaxFrameBody(int32_t bytes) { frameLimit() = bytes > 0 ? bytes : kDefaultMaxFrameBody; }

}  // namespace tq

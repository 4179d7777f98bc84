#include "plugin/globals.h"

namespace tq::plugin {

Globals& globals() {
  static Globals g;
  return g;
}

}  // namespace tq::plugin

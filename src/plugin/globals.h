// The plug-in's globals: one set per process, written by the entry point and the command hook,
// read by every callback. All calls come on the host's user-interface thread.
#pragma once

#include <cstdint>

#include "plugin/host_api.h"
#include "plugin/window_items.h"

namespace tq::plugin {

struct Globals {
  const tq_BasicSuite* basic = nullptr;
  tq_PluginId plugin = 0;
  int32_t major_version = 0;
  int32_t minor_version = 0;
  tq_Command command = 0;  // "Kerv! Render"; 0 until obtained
  tq_DialogRef window = nullptr;
  tq_ItemRef items[kItemCount + 1] = {};  // by item number, 1 to kItemCount

  tq_ItemRef item(int32_t number) const { return items[number]; }
};

Globals& globals();

}  // namespace tq::plugin

// The plug-in's globals: one set per process, written by the entry point and the command hook,
// read by every callback. All calls come on the host's user-interface thread.
#pragma once

#include <cstdint>

#include "plugin/host_api.h"
#include "plugin/window_items.h"

namespace tq::plugin {

struct Globals {
  const SPBasicSuite* basic = nullptr;
  AEGP_PluginID plugin = 0;
  A_long major_version = 0;
  A_long minor_version = 0;
  AEGP_Command command = 0;  // "Kerv! Render"; 0 until obtained
  ADMDialogRef window = nullptr;
  ADMItemRef items[kItemCount + 1] = {};  // by item number, 1 to kItemCount

  ADMItemRef item(int32_t number) const { return items[number]; }
};

Globals& globals();

}  // namespace tq::plugin

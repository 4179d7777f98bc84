// The hooks the entry point registers with the host.
#pragma once

#include "plugin/host_api.h"

namespace tq::plugin {

// "Kerv! Render": replaces the submission window with a fresh one. Other commands pass
// through untouched.
tq_HostError commandHook(void* refcon, tq_Command command, tq_Bool* handled);
// Enables the command while the project holds at least one composition.
tq_HostError updateMenuHook(void* refcon);

tq_HostError entryPoint(const tq_BasicSuite* basic, int32_t major_version, int32_t minor_version,
                        tq_PluginId plugin);

}  // namespace tq::plugin

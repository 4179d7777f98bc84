// The entry point's work and the two hooks it registers with the host.
#pragma once

#include <string>

#include "plugin/host_api.h"
#include "plugin/suite_handler.h"

namespace tq::plugin {

// "Kerv! Render": replaces the submission window with a fresh one and says the command was
// handled; a window that cannot be made is reported to the user. Other commands pass through
// untouched.
A_Err commandHook(AEGP_GlobalRefcon plugin_refcon, AEGP_CommandRefcon refcon, AEGP_Command command,
                  AEGP_HookPriority priority, A_Boolean already_handled, A_Boolean* handled);
// Enables the command while the project holds at least one composition.
A_Err updateMenuHook(AEGP_GlobalRefcon plugin_refcon, AEGP_UpdateMenuRefcon refcon,
                     AEGP_WindowType active_window);

A_Err entryPoint(const SPBasicSuite* basic, A_long major_version, A_long minor_version,
                 AEGP_PluginID plugin, AEGP_GlobalRefcon* global_refcon);

// Shows `text` to the user through the Utility suite. A_Err_NONE when it was shown; the
// report's own error, or 516 when the suite is missing, otherwise.
A_Err reportToUser(SuiteHandler& suites, const std::string& text);

}  // namespace tq::plugin

// The entry point and the two hooks the host calls.
#include "plugin/callback_guard.h"
#include "plugin/globals.h"
#include "plugin/hooks.h"
#include "plugin/project_items.h"
#include "plugin/strings.h"
#include "plugin/suite_handler.h"
#include "plugin/window.h"

namespace tq::plugin {

namespace {

// Registration, steps 2 to 6; the first failure ends it.
A_Err registerPlugin(SuiteHandler& suites) {
  Globals& g = globals();
  const AEGP_CommandSuite1* commands = suites.command();
  if (commands == nullptr) return suites.error();
  AEGP_Command command = 0;
  A_Err err = commands->AEGP_GetUniqueCommand(&command);
  if (err != A_Err_NONE) return err;
  if (command == 0) return kMissingSuiteError;
  g.command = command;
  err = commands->AEGP_InsertMenuCommand(command, stringText(kStringCommandName),
                                         AEGP_Menu_COMPOSITION, AEGP_MENU_INSERT_SORTED);
  if (err != A_Err_NONE) return err;
  commands->AEGP_EnableCommand(command);
  const AEGP_RegisterSuite3* reg = suites.reg();
  if (reg == nullptr) return suites.error();
  err = reg->AEGP_RegisterCommandHook(g.plugin, AEGP_HP_BeforeAE, AEGP_Command_ALL, commandHook,
                                      nullptr);
  if (err != A_Err_NONE) return err;
  return reg->AEGP_RegisterUpdateMenuHook(g.plugin, updateMenuHook, nullptr);
}

}  // namespace

A_Err reportToUser(SuiteHandler& suites, const std::string& text) {
  const AEGP_UtilitySuite3* utility = suites.utility();
  if (utility == nullptr) return suites.error();
  return utility->AEGP_ReportInfo(globals().plugin, text.c_str());
}

A_Err commandHook(AEGP_GlobalRefcon, AEGP_CommandRefcon, AEGP_Command command, AEGP_HookPriority,
                  A_Boolean, A_Boolean* handled) {
  return guardHostCall([&]() -> A_Err {
    Globals& g = globals();
    if (g.command == 0 || command != g.command) return A_Err_NONE;
    // The command is ours whatever becomes of the window: the host has nothing to do for it.
    if (handled != nullptr) *handled = 1;
    SuiteHandler suites(g.basic);
    destroyWindow(suites);
    std::string why;
    if (createWindow(suites, why)) return A_Err_NONE;
    // The user learns why; only a problem that cannot even be shown goes back to the host.
    return reportToUser(suites, stringText(kStringWindowProblem) + why);
  });
}

A_Err updateMenuHook(AEGP_GlobalRefcon, AEGP_UpdateMenuRefcon, AEGP_WindowType) {
  return guardHostCall([&]() -> A_Err {
    Globals& g = globals();
    SuiteHandler suites(g.basic);
    int32_t count = 0;
    A_Err err = countCompositions(suites, count);
    if (err != A_Err_NONE) return err;
    const AEGP_CommandSuite1* commands = suites.command();
    if (commands == nullptr) return suites.error();
    return count >= 1 ? commands->AEGP_EnableCommand(g.command)
                      : commands->AEGP_DisableCommand(g.command);
  });
}

A_Err entryPoint(const SPBasicSuite* basic, A_long major_version, A_long minor_version,
                 AEGP_PluginID plugin, AEGP_GlobalRefcon* global_refcon) {
  Globals& g = globals();
  // A fresh start: nothing of an earlier load (a window of another host session) is kept.
  g = Globals();
  g.basic = basic;
  g.plugin = plugin;
  g.major_version = major_version;
  g.minor_version = minor_version;
  // The host hands this back to every hook; the globals are the plug-in's state.
  if (global_refcon != nullptr) *global_refcon = reinterpret_cast<AEGP_GlobalRefcon>(&g);
  SuiteHandler suites(basic);
  if (registerPlugin(suites) == A_Err_NONE) return A_Err_NONE;
  return reportToUser(suites, stringText(kStringAddProblem));
}

}  // namespace tq::plugin

extern "C" A_Err GPMain_tq(struct SPBasicSuite* pica_basicP, A_long major_versionL,
                           A_long minor_versionL, const A_char*, const A_char*,
                           AEGP_PluginID aegp_plugin_id, AEGP_GlobalRefcon* global_refconP) {
  return tq::plugin::guardHostCall([&] {
    return tq::plugin::entryPoint(pica_basicP, major_versionL, minor_versionL, aegp_plugin_id,
                                  global_refconP);
  });
}

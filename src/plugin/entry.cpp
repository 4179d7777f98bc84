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
tq_HostError registerPlugin(SuiteHandler& suites) {
  Globals& g = globals();
  const tq_CommandSuite1* commands = suites.command();
  if (commands == nullptr) return suites.error();
  tq_Command command = 0;
  tq_HostError err = commands->GetUniqueCommand(&command);
  if (err != TQ_HOST_OK) return err;
  if (command == 0) return TQ_HOST_SUITE_MISSING;
  g.command = command;
  err = commands->InsertMenuCommand(command, stringText(kStringCommandName), TQ_MENU_COMPOSITION,
                                    TQ_MENU_INSERT_SORTED);
  if (err != TQ_HOST_OK) return err;
  commands->EnableCommand(command);
  const tq_RegisterSuite4* reg = suites.reg();
  if (reg == nullptr) return suites.error();
  err = reg->RegisterCommandHook(g.plugin, TQ_HOOK_BEFORE_HOST, TQ_ALL_COMMANDS, commandHook,
                                 nullptr);
  if (err != TQ_HOST_OK) return err;
  return reg->RegisterUpdateMenuHook(g.plugin, updateMenuHook, nullptr);
}

}  // namespace

tq_HostError commandHook(void*, tq_Command command, tq_Bool* handled) {
  return guardHostCall([&]() -> tq_HostError {
    Globals& g = globals();
    if (g.command == 0 || command != g.command) return TQ_HOST_OK;
    SuiteHandler suites(g.basic);
    tq_HostError err = destroyWindow(suites);
    if (err == TQ_HOST_OK) err = createWindow(suites);
    // The command is ours whatever became of the window: the host has nothing to do for it.
    if (handled != nullptr) *handled = 1;
    return err;
  });
}

tq_HostError updateMenuHook(void*) {
  return guardHostCall([&]() -> tq_HostError {
    Globals& g = globals();
    SuiteHandler suites(g.basic);
    int32_t count = 0;
    tq_HostError err = countCompositions(suites, count);
    if (err != TQ_HOST_OK) return err;
    const tq_CommandSuite1* commands = suites.command();
    if (commands == nullptr) return suites.error();
    return count >= 1 ? commands->EnableCommand(g.command) : commands->DisableCommand(g.command);
  });
}

tq_HostError entryPoint(const tq_BasicSuite* basic, int32_t major_version, int32_t minor_version,
                        tq_PluginId plugin) {
  Globals& g = globals();
  // A fresh start: nothing of an earlier load (a window of another host session) is kept.
  g = Globals();
  g.basic = basic;
  g.plugin = plugin;
  g.major_version = major_version;
  g.minor_version = minor_version;
  SuiteHandler suites(basic);
  if (registerPlugin(suites) == TQ_HOST_OK) return TQ_HOST_OK;
  const tq_UtilitySuite7* utility = suites.utility();
  if (utility == nullptr) return suites.error();
  return utility->ReportInfo(plugin, stringText(kStringAddProblem));
}

}  // namespace tq::plugin

extern "C" tq_HostError GPMain_tq(const tq_BasicSuite* basic, int32_t major_version,
                                  int32_t minor_version, const char*, const char*,
                                  tq_PluginId plugin) {
  return tq::plugin::guardHostCall(
      [&] { return tq::plugin::entryPoint(basic, major_version, minor_version, plugin); });
}

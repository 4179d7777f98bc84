// The entry point and the two hooks, driven by the simulated host through the plug-in's real
// exported symbol: registration and its failures, the menu state, the command, and what a
// suite that cannot be acquired does inside each callback.
#include <gtest/gtest.h>

#include "hostsim/simulator.h"
#include "plugin_fixture.h"

namespace tq::test {
namespace {

using hostsim::SuiteFailure;

TEST_F(PluginTest, EntryPointInsertsTheCommandAndRegistersBothHooks) {
  load();
  EXPECT_EQ(sim.entryResult(), TQ_HOST_OK);
  ASSERT_NE(command(), nullptr);
  EXPECT_EQ(command()->menu, TQ_MENU_COMPOSITION);
  EXPECT_EQ(command()->position, TQ_MENU_INSERT_SORTED);
  EXPECT_TRUE(command()->enabled);
  ASSERT_EQ(host.command_hooks.size(), 1u);
  EXPECT_EQ(host.command_hooks[0].plugin, 7);
  EXPECT_EQ(host.command_hooks[0].priority, TQ_HOOK_BEFORE_HOST);
  EXPECT_EQ(host.command_hooks[0].command, TQ_ALL_COMMANDS);
  EXPECT_EQ(host.command_hooks[0].refcon, nullptr);
  ASSERT_EQ(host.update_hooks.size(), 1u);
  EXPECT_EQ(host.update_hooks[0].plugin, 7);
  EXPECT_TRUE(host.reports.empty());
  // The entry point needs the command and register suites only, and gives both back.
  EXPECT_EQ(host.acquisitions(TQ_COMMAND_SUITE), 1);
  EXPECT_EQ(host.acquisitions(TQ_REGISTER_SUITE), 1);
  EXPECT_EQ(host.acquisitions(TQ_UTILITY_SUITE), 0);
  EXPECT_EQ(host.releases(TQ_COMMAND_SUITE), 1);
  EXPECT_EQ(host.releases(TQ_REGISTER_SUITE), 1);
}

TEST_F(PluginTest, CommandFollowsTheCompositionsAtEachMenuUpdate) {
  load();
  EXPECT_EQ(sim.updateMenus(), TQ_HOST_OK);
  EXPECT_FALSE(command()->enabled) << "an empty project";
  host.addItem(1, "footage.mov");
  EXPECT_EQ(sim.updateMenus(), TQ_HOST_OK);
  EXPECT_FALSE(command()->enabled) << "footage is no composition";
  host.addItem(TQ_ITEM_COMPOSITION, "Main");
  EXPECT_FALSE(command()->enabled) << "nothing changes before the next update";
  EXPECT_EQ(sim.updateMenus(), TQ_HOST_OK);
  EXPECT_TRUE(command()->enabled);
  EXPECT_FALSE(sim.chooseMenu("no such command"));
  host.project_items.clear();
  EXPECT_EQ(sim.updateMenus(), TQ_HOST_OK);
  EXPECT_FALSE(command()->enabled);
  EXPECT_FALSE(sim.chooseMenu(kCommandName)) << "a disabled command cannot be chosen";
}

TEST_F(PluginTest, SecondCommandReplacesTheWindowWithAFreshOne) {
  open({"A", "B"});
  hostsim::Dialog* first = host.liveDialog();
  ASSERT_TRUE(sim.type(plugin::kName, "first"));
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  ASSERT_TRUE(sim.pick(plugin::kCompositionList, "B"));
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  EXPECT_TRUE(first->destroyed);
  EXPECT_EQ(host.liveDialogCount(), 1);
  EXPECT_NE(host.liveDialog(), first);
  EXPECT_EQ(item(plugin::kName).text, "");
  EXPECT_TRUE(item(plugin::kQueueRadio).on);
  EXPECT_FALSE(item(plugin::kCompositionRadio).on);
  ASSERT_EQ(item(plugin::kCompositionList).entries.size(), 2u);
  EXPECT_TRUE(item(plugin::kCompositionList).entries[0]->selected);
}

TEST_F(PluginTest, OtherCommandsPassThroughUntouched) {
  open();
  hostsim::Dialog* window = host.liveDialog();
  hostsim::Simulator::CommandResult result = sim.chooseCommand(command()->id + 1);
  EXPECT_FALSE(result.handled);
  EXPECT_EQ(result.error, TQ_HOST_OK);
  ASSERT_EQ(sim.hostHandled().size(), 1u);
  EXPECT_EQ(sim.hostHandled()[0], command()->id + 1);
  EXPECT_EQ(host.liveDialog(), window);
  EXPECT_FALSE(window->destroyed);
  EXPECT_EQ(host.dialogs.size(), 1u);
}

TEST_F(PluginTest, NoCommandIdReportsTheProblemOnceAndRegistersNothing) {
  for (bool zero_id : {false, true}) {
    hostsim::SimHost h;
    hostsim::Simulator s(h);
    if (zero_id)
      h.next_command = 0;
    else
      h.failCall("Command.GetUniqueCommand");
    ASSERT_TRUE(s.load(TQ_PLUGIN_PATH)) << s.error();
    EXPECT_EQ(s.entryResult(), TQ_HOST_OK) << "the report's own answer";
    ASSERT_EQ(h.reports.size(), 1u) << zero_id;
    EXPECT_EQ(h.reports[0], kAddProblem);
    EXPECT_TRUE(h.commands.empty());
    EXPECT_TRUE(h.command_hooks.empty());
    EXPECT_TRUE(h.update_hooks.empty());
    EXPECT_EQ(h.outstanding(), 0);
    EXPECT_EQ(s.unbalancedCallbacks(), 0);
  }
}

TEST_F(PluginTest, EachLaterRegistrationFailureStopsThere) {
  struct Row {
    const char* call;
    bool command_inserted;
    size_t command_hooks;
    size_t update_hooks;
  };
  const Row rows[] = {
      {"Command.InsertMenuCommand", false, 0, 0},
      {"Register.RegisterCommandHook", true, 0, 0},
      {"Register.RegisterUpdateMenuHook", true, 1, 0},
  };
  for (const Row& row : rows) {
    hostsim::SimHost h;
    hostsim::Simulator s(h);
    h.failCall(row.call);
    ASSERT_TRUE(s.load(TQ_PLUGIN_PATH)) << s.error();
    ASSERT_EQ(h.reports.size(), 1u) << row.call;
    EXPECT_EQ(h.reports[0], kAddProblem);
    EXPECT_EQ(!h.commands.empty(), row.command_inserted) << row.call;
    EXPECT_EQ(h.command_hooks.size(), row.command_hooks) << row.call;
    EXPECT_EQ(h.update_hooks.size(), row.update_hooks) << row.call;
    EXPECT_EQ(h.callCount("Register.RegisterUpdateMenuHook"), row.command_hooks == 1 ? 1 : 0)
        << row.call;
    EXPECT_EQ(h.outstanding(), 0) << row.call;
    EXPECT_EQ(s.unbalancedCallbacks(), 0);
  }
}

TEST_F(PluginTest, FailureReportAnswersTheReportsOwnResult) {
  host.failCall("Command.GetUniqueCommand");
  host.failCall("Utility.ReportInfo");
  load();
  EXPECT_EQ(sim.entryResult(), hostsim::kSimError);
  EXPECT_EQ(host.callCount("Utility.ReportInfo"), 1) << "reported once";
}

TEST_F(PluginTest, MissingSuiteAtTheEntryPointIsReportedAs516WhenNothingCanReport) {
  for (SuiteFailure how : {SuiteFailure::kError, SuiteFailure::kEmpty}) {
    hostsim::SimHost h;
    hostsim::Simulator s(h);
    h.failSuite(TQ_REGISTER_SUITE, how);
    ASSERT_TRUE(s.load(TQ_PLUGIN_PATH)) << s.error();
    EXPECT_EQ(s.entryResult(), TQ_HOST_OK);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_TRUE(h.command_hooks.empty());
    EXPECT_EQ(h.outstanding(), 0);
    EXPECT_EQ(h.releases(TQ_REGISTER_SUITE), 0) << "nothing released that was not acquired";
    EXPECT_EQ(h.unbalanced_releases, 0);
  }
  hostsim::SimHost h;
  hostsim::Simulator s(h);
  h.failSuite(TQ_COMMAND_SUITE);
  h.failSuite(TQ_UTILITY_SUITE, SuiteFailure::kEmpty);
  ASSERT_TRUE(s.load(TQ_PLUGIN_PATH)) << s.error();
  EXPECT_EQ(s.entryResult(), TQ_HOST_SUITE_MISSING);
  EXPECT_TRUE(h.reports.empty());
  EXPECT_EQ(h.outstanding(), 0);
}

TEST_F(PluginTest, MissingSuiteInAHookAnswers516AndChangesNothing) {
  host.addItem(TQ_ITEM_COMPOSITION, "A");
  load();
  command()->enabled = false;
  for (const char* suite : {TQ_ITEM_SUITE, TQ_PROJ_SUITE, TQ_COMMAND_SUITE}) {
    host.clearFailures();
    host.failSuite(suite);
    EXPECT_EQ(sim.updateMenus(), TQ_HOST_SUITE_MISSING) << suite;
    EXPECT_FALSE(command()->enabled) << suite;
    EXPECT_EQ(host.outstanding(), 0) << suite;
  }
  host.clearFailures();
  command()->enabled = true;
  // No half-made window: whatever suite is missing, no dialog stays.
  for (const char* suite :
       {TQ_DIALOG_SUITE, TQ_DIALOG_ITEM_SUITE, TQ_ENTRY_SUITE, TQ_ITEM_SUITE, TQ_PROJ_SUITE}) {
    host.clearFailures();
    host.failSuite(suite, SuiteFailure::kEmpty);
    hostsim::Simulator::CommandResult result;
    ASSERT_TRUE(sim.chooseMenu(kCommandName, &result));
    EXPECT_EQ(result.error, TQ_HOST_SUITE_MISSING) << suite;
    EXPECT_TRUE(result.handled) << suite;
    EXPECT_EQ(host.liveDialogCount(), 0) << suite;
  }
  host.clearFailures();
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  EXPECT_EQ(host.liveDialogCount(), 1) << "a later command makes the window after all";
}

TEST_F(PluginTest, AnyFailingCallWhileMakingTheWindowLeavesNoWindow) {
  host.addItem(TQ_ITEM_COMPOSITION, "A");
  load();
  const char* calls[] = {"Dialog.Create",
                         "Dialog.Show",
                         "Dialog.Size",
                         "DialogItem.Create",
                         "DialogItem.SetText",
                         "DialogItem.Enable",
                         "DialogItem.SetBooleanValue",
                         "DialogItem.SetNotifyProc",
                         "DialogItem.GetList",
                         "Entry.Create",
                         "Entry.SetText",
                         "Entry.Activate",
                         "Entry.Select",
                         "Item.GetItemName"};
  for (const char* call : calls) {
    for (int32_t after : {0, 3}) {
      host.clearFailures();
      host.failCall(call, after);
      hostsim::Simulator::CommandResult result = sim.chooseCommand(command()->id);
      if (host.callCount(call) <= after) continue;  // the call came too rarely to fail
      EXPECT_NE(result.error, TQ_HOST_OK) << call << " after " << after;
      EXPECT_EQ(host.liveDialogCount(), 0) << call << " after " << after;
    }
  }
  host.clearFailures();
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  EXPECT_EQ(host.liveDialogCount(), 1);
  EXPECT_EQ(host.liveDialog()->items.size(), static_cast<size_t>(plugin::kItemCount));
}

TEST_F(PluginTest, HooksAcquireOnlyWhatTheyUseAndReleaseIt) {
  host.addItem(TQ_ITEM_COMPOSITION, "A");
  load();
  ASSERT_EQ(sim.updateMenus(), TQ_HOST_OK);
  EXPECT_EQ(host.acquisitions(TQ_PROJ_SUITE), 1);
  EXPECT_EQ(host.acquisitions(TQ_ITEM_SUITE), 1);
  EXPECT_EQ(host.acquisitions(TQ_COMMAND_SUITE), 2);  // the entry point's and the hook's
  EXPECT_EQ(host.acquisitions(TQ_DIALOG_SUITE), 0);
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  // Each suite once per callback, however many calls were made through it.
  EXPECT_EQ(host.acquisitions(TQ_DIALOG_ITEM_SUITE), 1);
  EXPECT_EQ(host.acquisitions(TQ_ENTRY_SUITE), 1);
  EXPECT_GT(host.callCount("DialogItem.Create"), 40);
  for (const char* suite : {TQ_COMMAND_SUITE, TQ_REGISTER_SUITE, TQ_ITEM_SUITE, TQ_PROJ_SUITE,
                            TQ_DIALOG_SUITE, TQ_DIALOG_ITEM_SUITE, TQ_ENTRY_SUITE})
    EXPECT_EQ(host.acquisitions(suite), host.releases(suite)) << suite;
}

}  // namespace
}  // namespace tq::test

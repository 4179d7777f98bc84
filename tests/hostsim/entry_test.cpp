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
  EXPECT_EQ(sim.entryResult(), A_Err_NONE);
  ASSERT_NE(command(), nullptr);
  EXPECT_EQ(command()->menu, AEGP_Menu_COMPOSITION);
  EXPECT_EQ(command()->position, AEGP_MENU_INSERT_SORTED);
  EXPECT_TRUE(command()->enabled);
  ASSERT_EQ(host.command_hooks.size(), 1u);
  EXPECT_EQ(host.command_hooks[0].plugin, 7);
  EXPECT_EQ(host.command_hooks[0].priority, AEGP_HP_BeforeAE);
  EXPECT_EQ(host.command_hooks[0].command, AEGP_Command_ALL);
  EXPECT_EQ(host.command_hooks[0].refcon, nullptr);
  ASSERT_EQ(host.update_hooks.size(), 1u);
  EXPECT_EQ(host.update_hooks[0].plugin, 7);
  EXPECT_TRUE(host.reports.empty());
  EXPECT_NE(host.global_refcon, nullptr) << "the refcon the host hands back to every hook";
  // The entry point needs the command and register suites only, and gives both back.
  EXPECT_EQ(host.acquisitions(kAEGPCommandSuite), 1);
  EXPECT_EQ(host.acquisitions(kAEGPRegisterSuite), 1);
  EXPECT_EQ(host.acquisitions(kAEGPUtilitySuite), 0);
  EXPECT_EQ(host.releases(kAEGPCommandSuite), 1);
  EXPECT_EQ(host.releases(kAEGPRegisterSuite), 1);
}

TEST_F(PluginTest, CommandFollowsTheCompositionsAtEachMenuUpdate) {
  load();
  EXPECT_EQ(sim.updateMenus(), A_Err_NONE);
  EXPECT_FALSE(command()->enabled) << "an empty project";
  host.addItem(AEGP_ItemType_FOOTAGE, "footage.mov");
  EXPECT_EQ(sim.updateMenus(), A_Err_NONE);
  EXPECT_FALSE(command()->enabled) << "footage is no composition";
  host.addItem(AEGP_ItemType_COMP, "Main");
  EXPECT_FALSE(command()->enabled) << "nothing changes before the next update";
  EXPECT_EQ(sim.updateMenus(), A_Err_NONE);
  EXPECT_TRUE(command()->enabled);
  EXPECT_FALSE(sim.chooseMenu("no such command"));
  host.project_items.clear();
  EXPECT_EQ(sim.updateMenus(), A_Err_NONE);
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
  EXPECT_EQ(result.error, A_Err_NONE);
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
    EXPECT_EQ(s.entryResult(), A_Err_NONE) << "the report's own answer";
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
    h.failSuite(kAEGPRegisterSuite, how);
    ASSERT_TRUE(s.load(TQ_PLUGIN_PATH)) << s.error();
    EXPECT_EQ(s.entryResult(), A_Err_NONE);
    ASSERT_EQ(h.reports.size(), 1u);
    EXPECT_TRUE(h.command_hooks.empty());
    EXPECT_EQ(h.outstanding(), 0);
    EXPECT_EQ(h.releases(kAEGPRegisterSuite), 0) << "nothing released that was not acquired";
    EXPECT_EQ(h.unbalanced_releases, 0);
  }
  hostsim::SimHost h;
  hostsim::Simulator s(h);
  h.failSuite(kAEGPCommandSuite);
  h.failSuite(kAEGPUtilitySuite, SuiteFailure::kEmpty);
  ASSERT_TRUE(s.load(TQ_PLUGIN_PATH)) << s.error();
  EXPECT_EQ(s.entryResult(), plugin::kMissingSuiteError);
  EXPECT_TRUE(h.reports.empty());
  EXPECT_EQ(h.outstanding(), 0);
}

TEST_F(PluginTest, MissingSuiteInAHookAnswers516AndChangesNothing) {
  host.addItem(AEGP_ItemType_COMP, "A");
  load();
  command()->enabled = false;
  for (const char* suite : {kAEGPItemSuite, kAEGPProjSuite, kAEGPCommandSuite}) {
    host.clearFailures();
    host.failSuite(suite);
    EXPECT_EQ(sim.updateMenus(), plugin::kMissingSuiteError) << suite;
    EXPECT_FALSE(command()->enabled) << suite;
    EXPECT_EQ(host.outstanding(), 0) << suite;
  }
  host.clearFailures();
  command()->enabled = true;
  // No half-made window: whatever suite is missing, no dialog stays, the command counts as
  // handled and the user reads which suite the host lacks.
  const struct {
    const char* suite;
    const char* reason;
  } rows[] = {
      {kADMDialogSuite, "\"ADM Dialog Suite\" version 8"},
      {kADMItemSuite, "\"ADM Item Suite\" version 8"},
      {kADMEntrySuite, "\"ADM Entry Suite\" version 5"},
      {kAEGPItemSuite, "\"AEGP Item Suite\" version 7"},
      {kAEGPProjSuite, "\"AEGP Proj Suite\" version 5"},
  };
  for (const auto& row : rows) {
    host.clearFailures();
    host.reports.clear();
    host.failSuite(row.suite, SuiteFailure::kEmpty);
    hostsim::Simulator::CommandResult result;
    ASSERT_TRUE(sim.chooseMenu(kCommandName, &result));
    EXPECT_EQ(result.error, A_Err_NONE) << row.suite;
    EXPECT_TRUE(result.handled) << row.suite;
    EXPECT_EQ(host.liveDialogCount(), 0) << row.suite;
    ASSERT_EQ(host.reports.size(), 1u) << row.suite;
    EXPECT_EQ(host.reports[0], std::string("tq: The submission window could not be made: the "
                                           "host offers no ") +
                                   row.reason);
  }
  host.clearFailures();
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  EXPECT_EQ(host.liveDialogCount(), 1) << "a later command makes the window after all";
  // Nothing to show the problem with: the host gets the error.
  host.failSuite(kADMDialogSuite);
  host.failSuite(kAEGPUtilitySuite);
  EXPECT_EQ(sim.chooseCommand(command()->id).error, plugin::kMissingSuiteError);
}

// ADM operations report no errors: the plug-in sees a failure only as a null reference, and
// a window it cannot complete is destroyed with the reason shown. A call that fails without a
// sign (a text not set) leaves the window as the host made it.
TEST_F(PluginTest, FailingHostCallsWhileMakingTheWindow) {
  host.addItem(AEGP_ItemType_COMP, "A");
  load();
  const struct {
    const char* call;
    const char* reason;  // null: the plug-in cannot tell, and the window stays
  } rows[] = {
      {"Dialog.Create", "the host made no window"},
      {"DialogItem.Create", "the host made no item 1"},
      {"DialogItem.GetList", "the host gave no entry list for item 7"},
      {"Entry.Create", "the host made no list entry for item 7"},
      {"Item.GetItemName", "the project's items could not be read (error 1)"},
      {"Dialog.Show", nullptr},
      {"Dialog.Size", nullptr},
      {"DialogItem.SetText", nullptr},
      {"DialogItem.Enable", nullptr},
      {"DialogItem.SetBooleanValue", nullptr},
      {"DialogItem.SetNotifyProc", nullptr},
      {"Entry.SetText", nullptr},
      {"Entry.Activate", nullptr},
      {"Entry.Select", nullptr},
  };
  for (const auto& row : rows) {
    host.clearFailures();
    host.reports.clear();
    host.failCall(row.call);
    hostsim::Simulator::CommandResult result = sim.chooseCommand(command()->id);
    EXPECT_EQ(result.error, A_Err_NONE) << row.call;
    EXPECT_TRUE(result.handled) << row.call;
    EXPECT_GT(host.callCount(row.call), 0) << row.call;
    if (row.reason == nullptr) {
      EXPECT_EQ(host.liveDialogCount(), 1) << row.call;
      EXPECT_TRUE(host.reports.empty()) << row.call;
      continue;
    }
    EXPECT_EQ(host.liveDialogCount(), 0) << row.call;
    ASSERT_EQ(host.reports.size(), 1u) << row.call;
    EXPECT_EQ(host.reports[0],
              std::string("tq: The submission window could not be made: ") + row.reason);
  }
  host.clearFailures();
  host.failCall("DialogItem.Create", 20);
  sim.chooseCommand(command()->id);
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0],
            "tq: The submission window could not be made: the host made no "
            "item 21");
  host.clearFailures();
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  EXPECT_EQ(host.liveDialogCount(), 1);
  EXPECT_EQ(host.liveDialog()->items.size(), static_cast<size_t>(plugin::kItemCount));
}

TEST_F(PluginTest, HooksAcquireOnlyWhatTheyUseAndReleaseIt) {
  host.addItem(AEGP_ItemType_COMP, "A");
  load();
  ASSERT_EQ(sim.updateMenus(), A_Err_NONE);
  EXPECT_EQ(host.acquisitions(kAEGPProjSuite), 1);
  EXPECT_EQ(host.acquisitions(kAEGPItemSuite), 1);
  EXPECT_EQ(host.acquisitions(kAEGPCommandSuite), 2);  // the entry point's and the hook's
  EXPECT_EQ(host.acquisitions(kADMDialogSuite), 0);
  ASSERT_TRUE(sim.chooseMenu(kCommandName));
  // Each suite once per callback, however many calls were made through it.
  EXPECT_EQ(host.acquisitions(kADMItemSuite), 1);
  EXPECT_EQ(host.acquisitions(kADMEntrySuite), 1);
  EXPECT_GT(host.callCount("DialogItem.Create"), 40);
  for (const char* suite : {kAEGPCommandSuite, kAEGPRegisterSuite, kAEGPItemSuite, kAEGPProjSuite,
                            kADMDialogSuite, kADMItemSuite, kADMEntrySuite})
    EXPECT_EQ(host.acquisitions(suite), host.releases(suite)) << suite;
}

}  // namespace
}  // namespace tq::test

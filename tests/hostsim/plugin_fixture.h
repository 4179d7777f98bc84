// A simulated host with the plug-in loaded through its exported entry point. Every test ends by
// checking that no callback left a suite acquired and that nothing was released twice.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "hostsim/simulator.h"
#include "plugin/suite_handler.h"
#include "plugin/window_items.h"

namespace tq::test {

inline constexpr const char* kCommandName = "Kerv! Render";
inline constexpr const char* kAddProblem = "tq: Problems encountered during add.";

class PluginTest : public ::testing::Test {
 protected:
  void TearDown() override {
    EXPECT_EQ(sim.unbalancedCallbacks(), 0) << "a callback kept suites acquired";
    EXPECT_EQ(host.unbalanced_releases, 0) << "a suite was released that was not acquired";
    EXPECT_EQ(host.outstanding(), 0);
    EXPECT_TRUE(host.unknown_requests.empty()) << host.unknown_requests.front();
    EXPECT_TRUE(host.traps.empty()) << host.traps.front();
    EXPECT_TRUE(host.misuses.empty()) << host.misuses.front();
    EXPECT_EQ(sim.undefaultedNotifications(), undefaulted_notifications)
        << "a notification procedure kept the host from its standard part";
  }
  void load(int32_t major = 16, int32_t minor = 22) {
    ASSERT_TRUE(sim.load(TQ_PLUGIN_PATH, major, minor)) << sim.error();
  }
  // Loads the plug-in with these compositions in the project and opens the window.
  void open(std::initializer_list<const char*> compositions = {"A"}) {
    for (const char* name : compositions) host.addItem(AEGP_ItemType_COMP, name);
    load();
    ASSERT_EQ(sim.updateMenus(), A_Err_NONE);
    hostsim::Simulator::CommandResult result;
    ASSERT_TRUE(sim.chooseMenu(kCommandName, &result)) << sim.error();
    ASSERT_TRUE(result.handled);
    ASSERT_EQ(result.error, A_Err_NONE);
    ASSERT_NE(host.liveDialog(), nullptr);
  }
  hostsim::MenuCommand* command() { return host.commandNamed(kCommandName); }
  hostsim::DialogItem& item(int32_t number) {
    hostsim::DialogItem* i = sim.item(number);
    EXPECT_NE(i, nullptr) << number;
    static hostsim::DialogItem none;
    return i != nullptr ? *i : none;
  }
  // The numbers of the disabled items of the open window.
  std::vector<int32_t> disabledItems() {
    std::vector<int32_t> numbers;
    for (int32_t n = 1; n <= plugin::kItemCount; ++n)
      if (!item(n).enabled) numbers.push_back(n);
    return numbers;
  }

  hostsim::SimHost host;
  hostsim::Simulator sim{host};
  // Notifications a test expects to reach the plug-in without the host's DefaultNotify (when
  // it takes the item suite away).
  int32_t undefaulted_notifications = 0;
};

}  // namespace tq::test

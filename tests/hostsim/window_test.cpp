// The submission window as the host sees it: its item table (pinned by a golden file), the
// mode procedure, the composition list and the browse procedure.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "plugin_fixture.h"

namespace tq::test {
namespace {

std::string readFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

const std::vector<int32_t> kCompositionItems = {2, 4, 5, 7, 9, 11};

TEST_F(PluginTest, ItemTableMatchesTheGoldenFile) {
  open({"A", "B"});
  std::string golden = readFile(TQ_TEST_SOURCE_DIR "/hostsim/golden/window_items.txt");
  ASSERT_FALSE(golden.empty());
  EXPECT_EQ(sim.itemTable(), golden);
  hostsim::Dialog* window = host.liveDialog();
  EXPECT_EQ(window->name, "kervsubmit");
  EXPECT_EQ(window->style, kADMFloatingDialogStyle);
  EXPECT_EQ(window->resource_id, 0) << "no platform dialog resource";
  EXPECT_EQ(window->options, 0);
  EXPECT_EQ(window->width, 600);
  EXPECT_EQ(window->height, 550);
  EXPECT_TRUE(window->shown);
  EXPECT_EQ(window->items.size(), 44u);
}

TEST_F(PluginTest, FreshWindowIsInWholeQueueModeWithTheSixCompositionItemsDisabled) {
  open();
  EXPECT_TRUE(item(plugin::kQueueRadio).on);
  EXPECT_FALSE(item(plugin::kCompositionRadio).on);
  EXPECT_EQ(disabledItems(), kCompositionItems);
  for (int32_t n : {16, 18, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38, 40, 42, 43})
    EXPECT_TRUE(item(n).enabled) << n;
  EXPECT_FALSE(sim.type(plugin::kOutputFile, "x")) << "a disabled field takes no typing";
  EXPECT_FALSE(sim.click(plugin::kBrowse));
  EXPECT_EQ(item(plugin::kStatus).selectedEntry(), nullptr);
  EXPECT_EQ(item(plugin::kStatus).text, "");
}

TEST_F(PluginTest, RadioButtonsAreAlwaysOpposite) {
  open();
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  EXPECT_TRUE(item(plugin::kCompositionRadio).on);
  EXPECT_FALSE(item(plugin::kQueueRadio).on);
  EXPECT_TRUE(disabledItems().empty());
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));  // again: nothing changes
  EXPECT_TRUE(item(plugin::kCompositionRadio).on);
  EXPECT_FALSE(item(plugin::kQueueRadio).on);
  EXPECT_TRUE(disabledItems().empty());
  ASSERT_TRUE(sim.click(plugin::kQueueRadio));
  EXPECT_FALSE(item(plugin::kCompositionRadio).on);
  EXPECT_TRUE(item(plugin::kQueueRadio).on);
  EXPECT_EQ(disabledItems(), kCompositionItems);
  ASSERT_TRUE(sim.click(plugin::kQueueRadio));
  EXPECT_FALSE(item(plugin::kCompositionRadio).on);
  EXPECT_EQ(disabledItems(), kCompositionItems);
}

TEST_F(PluginTest, ModeProcedureWithoutItsSuiteChangesNothing) {
  open();
  host.failSuite(kADMItemSuite);
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  undefaulted_notifications = 1;
  // Not even the host's own part: that happens in the item suite's DefaultNotify.
  EXPECT_FALSE(item(plugin::kCompositionRadio).on);
  EXPECT_TRUE(item(plugin::kQueueRadio).on);
  EXPECT_EQ(disabledItems(), kCompositionItems);
}

TEST_F(PluginTest, CompositionsAreListedInProjectOrderWithTheFirstSelected) {
  host.addItem(AEGP_ItemType_FOOTAGE, "footage");
  open({"A", "B"});
  const auto& entries = item(plugin::kCompositionList).entries;
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0]->text, "A");
  EXPECT_EQ(entries[1]->text, "B");
  EXPECT_TRUE(entries[0]->selected);
  EXPECT_FALSE(entries[1]->selected);
  EXPECT_TRUE(entries[0]->active);
  EXPECT_TRUE(entries[1]->active);
}

TEST_F(PluginTest, ProjectWithoutCompositionsLeavesTheListEmpty) {
  host.addItem(AEGP_ItemType_FOOTAGE, "footage");
  load();
  ASSERT_EQ(sim.chooseCommand(command()->id).error, A_Err_NONE);
  EXPECT_TRUE(item(plugin::kCompositionList).entries.empty());
}

TEST_F(PluginTest, BrowseOpensTheFileDialogWithTheFieldAsStart) {
  open();
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  ASSERT_TRUE(sim.type(plugin::kOutputFile, "D:/renders/old.avi"));
  host.file_answers.push_back({true, "D:/renders/new.mov"});
  ASSERT_TRUE(sim.click(plugin::kBrowse));
  ASSERT_EQ(host.file_dialog_calls.size(), 1u);
  const hostsim::FileDialogCall& call = host.file_dialog_calls[0];
  EXPECT_EQ(call.prompt, "Select Output File Name");
  EXPECT_EQ(call.start, "D:/renders/old.avi");
  EXPECT_EQ(call.default_name, "");
  EXPECT_EQ(item(plugin::kOutputFile).text, "D:/renders/new.mov");
}

TEST_F(PluginTest, CancelledFileDialogKeepsTheText) {
  open();
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  ASSERT_TRUE(sim.type(plugin::kOutputFile, "D:/keep.avi"));
  host.file_answers.push_back({false, ""});
  ASSERT_TRUE(sim.click(plugin::kBrowse));
  EXPECT_EQ(item(plugin::kOutputFile).text, "D:/keep.avi");
  host.failCall("AdmBasic.StandardPutFileDialog");
  ASSERT_TRUE(sim.click(plugin::kBrowse));
  EXPECT_EQ(item(plugin::kOutputFile).text, "D:/keep.avi") << "a failing dialog keeps it too";
}

// The host's file path record holds a path of 299 bytes and its NUL.
TEST_F(PluginTest, BrowseStartsFromAtMost299BytesAndEmptyFieldGivesNoStart) {
  open();
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  host.file_answers.push_back({false, ""});
  ASSERT_TRUE(sim.click(plugin::kBrowse));
  std::string long_path(400, 'p');
  ASSERT_TRUE(sim.type(plugin::kOutputFile, long_path));
  host.file_answers.push_back({true, std::string(500, 'q')});
  ASSERT_TRUE(sim.click(plugin::kBrowse));
  ASSERT_EQ(host.file_dialog_calls.size(), 2u);
  EXPECT_EQ(host.file_dialog_calls[0].start, std::nullopt);
  EXPECT_EQ(host.file_dialog_calls[1].start, std::string(299, 'p'));
  EXPECT_EQ(item(plugin::kOutputFile).text, std::string(299, 'q'));
}

TEST_F(PluginTest, BrowseWithoutTheBasicSuiteSaysSo) {
  open();
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  ASSERT_TRUE(sim.type(plugin::kOutputFile, "D:/keep.avi"));
  host.failSuite(kADMBasicSuite);
  ASSERT_TRUE(sim.click(plugin::kBrowse));
  ASSERT_EQ(host.reports.size(), 1u);
  EXPECT_EQ(host.reports[0],
            "tq: Browse... could not run: the host offers no \"ADM Basic Suite\" version 2");
  EXPECT_EQ(item(plugin::kOutputFile).text, "D:/keep.avi");
}

TEST_F(PluginTest, PopupsTakeAPickedEntryOrAnyTypedName) {
  open();
  ASSERT_TRUE(sim.click(plugin::kCompositionRadio));
  ASSERT_TRUE(sim.pick(plugin::kOutputModule, "Animated GIF"));
  EXPECT_EQ(item(plugin::kOutputModule).text, "Animated GIF");
  ASSERT_TRUE(sim.type(plugin::kRenderSettings, "My Own Settings"));
  EXPECT_EQ(item(plugin::kRenderSettings).text, "My Own Settings");
  ASSERT_TRUE(sim.pick(plugin::kStatus, "blocked"));
  EXPECT_EQ(item(plugin::kStatus).text, "blocked");
  EXPECT_FALSE(sim.pick(plugin::kStatus, "done")) << sim.error();
}

}  // namespace
}  // namespace tq::test

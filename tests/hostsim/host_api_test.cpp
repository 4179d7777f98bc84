// The host's tables as the plug-in declares them and the simulator serves them: every suite at
// its whole length, every entry the plug-in calls at the index the host gives it, and every
// entry the simulator does not serve a trap. Under Wine this runs on 32-bit Windows, where an
// entry is 4 bytes; natively the same indices hold with 8-byte pointers.
#include <gtest/gtest.h>

#include <cstddef>
#include <cstring>
#include <vector>

#include "hostsim/sim_host.h"

namespace tq::test {
namespace {

struct Entry {
  const char* name;
  size_t offset;
  size_t index;  // as the host's own table numbers it
};
#define AT(Suite, member, index) \
  Entry { #member, offsetof(Suite, member), index }

struct Layout {
  const char* suite;
  size_t size;
  size_t entries;
  std::vector<Entry> called;
};

TEST(HostTables, EverySuiteHasItsLengthAndTheCalledEntriesTheirPlaces) {
  const Layout layouts[] = {
      {"SP Basic Suite 4",
       sizeof(SPBasicSuite),
       7,
       {AT(SPBasicSuite, AcquireSuite, 0), AT(SPBasicSuite, ReleaseSuite, 1)}},
      {"AEGP Command Suite 1",
       sizeof(AEGP_CommandSuite1),
       8,
       {AT(AEGP_CommandSuite1, AEGP_GetUniqueCommand, 0),
        AT(AEGP_CommandSuite1, AEGP_InsertMenuCommand, 1),
        AT(AEGP_CommandSuite1, AEGP_EnableCommand, 4),
        AT(AEGP_CommandSuite1, AEGP_DisableCommand, 5)}},
      {"AEGP Register Suite 4",
       sizeof(AEGP_RegisterSuite3),
       9,
       {AT(AEGP_RegisterSuite3, AEGP_RegisterCommandHook, 0),
        AT(AEGP_RegisterSuite3, AEGP_RegisterUpdateMenuHook, 1)}},
      {"AEGP Utility Suite 7",
       sizeof(AEGP_UtilitySuite3),
       25,
       {AT(AEGP_UtilitySuite3, AEGP_ReportInfo, 0)}},
      {"AEGP Item Suite 7",
       sizeof(AEGP_ItemSuite5),
       22,
       {AT(AEGP_ItemSuite5, AEGP_GetNextItem, 0), AT(AEGP_ItemSuite5, AEGP_GetItemType, 4),
        AT(AEGP_ItemSuite5, AEGP_GetItemName, 6)}},
      {"AEGP Proj Suite 5",
       sizeof(AEGP_ProjSuite3),
       5,
       {AT(AEGP_ProjSuite3, AEGP_GetProjectByIndex, 1), AT(AEGP_ProjSuite3, AEGP_GetProjectPath, 3),
        AT(AEGP_ProjSuite3, AEGP_GetProjectRootFolder, 4)}},
      {"ADM Dialog Suite 8",
       sizeof(ADMDialogSuite8),
       99,
       {AT(ADMDialogSuite8, Create, 0), AT(ADMDialogSuite8, Destroy, 4),
        AT(ADMDialogSuite8, Show, 31), AT(ADMDialogSuite8, Size, 42)}},
      {"ADM Item Suite 8",
       sizeof(ADMItemSuite8),
       160,
       {AT(ADMItemSuite8, Create, 0), AT(ADMItemSuite8, SetNotifyProc, 10),
        AT(ADMItemSuite8, DefaultNotify, 12), AT(ADMItemSuite8, GetList, 25),
        AT(ADMItemSuite8, Enable, 35), AT(ADMItemSuite8, SetText, 75),
        AT(ADMItemSuite8, GetText, 77), AT(ADMItemSuite8, GetTextLength, 79),
        AT(ADMItemSuite8, SetBooleanValue, 92), AT(ADMItemSuite8, GetBooleanValue, 93)}},
      {"ADM List Suite 3",
       sizeof(ADMListSuite3),
       37,
       {AT(ADMListSuite3, IndexSelectedEntry, 28), AT(ADMListSuite3, NumberOfSelectedEntries, 30)}},
      {"ADM Entry Suite 5",
       sizeof(ADMEntrySuite5),
       58,
       {AT(ADMEntrySuite5, Create, 0), AT(ADMEntrySuite5, Select, 12),
        AT(ADMEntrySuite5, Activate, 18), AT(ADMEntrySuite5, SetText, 45),
        AT(ADMEntrySuite5, GetText, 47), AT(ADMEntrySuite5, GetTextLength, 49)}},
      {"ADM Basic Suite 2",
       sizeof(ADMBasicSuite2),
       25,
       {AT(ADMBasicSuite2, StandardPutFileDialog, 12)}},
  };
  const size_t slot = sizeof(void*);
  for (const Layout& layout : layouts) {
    EXPECT_EQ(layout.size, layout.entries * slot) << layout.suite;
    for (const Entry& entry : layout.called)
      EXPECT_EQ(entry.offset, entry.index * slot) << layout.suite << ": " << entry.name;
  }
}

// Calls entry `index` of a served table as the plug-in would reach it (a trap takes no
// arguments and the caller removes them, so the call is safe whatever the entry's signature).
void callEntry(const void* table, size_t index) {
  using Function = A_long (*)();
  Function f = nullptr;
  std::memcpy(&f, static_cast<const char*>(table) + index * sizeof(void*), sizeof f);
  ASSERT_NE(f, nullptr);
  f();
}

TEST(HostTables, EntriesBesideTheServedOnesAreTraps) {
  const struct {
    const char* name;
    int32_t version;
    std::vector<size_t> unserved;  // neighbours of the entries the plug-in calls, and the last
  } suites[] = {
      {kAEGPCommandSuite, 1, {2, 3, 6, 7}},
      {kAEGPRegisterSuite, 4, {2, 8}},
      {kAEGPUtilitySuite, 7, {1, 24}},
      {kAEGPItemSuite, 7, {1, 3, 5, 7, 21}},
      {kAEGPProjSuite, 5, {0, 2}},
      {kADMDialogSuite, 8, {1, 3, 5, 30, 32, 41, 43, 98}},
      {kADMItemSuite, 8, {1, 9, 11, 13, 24, 26, 34, 36, 74, 76, 78, 80, 91, 94, 159}},
      {kADMListSuite, 3, {27, 29, 31, 36}},
      {kADMEntrySuite, 5, {1, 11, 13, 17, 19, 44, 46, 48, 50, 57}},
      {kADMBasicSuite, 2, {11, 13, 24}},
  };
  hostsim::SimHost host;
  host.print_problems = false;
  for (const auto& suite : suites) {
    const void* table = hostsim::suiteTable(suite.name, suite.version);
    ASSERT_NE(table, nullptr) << suite.name;
    for (size_t index : suite.unserved) {
      host.traps.clear();
      callEntry(table, index);
      ASSERT_EQ(host.traps.size(), 1u) << suite.name << " entry " << index;
      EXPECT_NE(host.traps[0].find(std::string(suite.name) + " " + std::to_string(suite.version) +
                                   ": entry " + std::to_string(index) + " "),
                std::string::npos)
          << host.traps[0];
    }
  }
  host.traps.clear();
  for (size_t index = 2; index < 7; ++index) callEntry(host.basicSuite(), index);
  EXPECT_EQ(host.traps.size(), 5u) << "the broker serves only acquisition and release";
}

}  // namespace
}  // namespace tq::test

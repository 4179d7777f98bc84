#include "job/names.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace tq {
namespace {

TEST(JobFlagNamesTest, WritesNamedBitsInWritingOrder) {
  EXPECT_EQ(kJobFlagNames.bitsToText(0x30), TqString("expand,export_environment"));
  EXPECT_EQ(kJobFlagNames.bitsToText(0x60), TqString("thrifty,expand"));
  EXPECT_EQ(kJobFlagNames.bitsToText(0x1), TqString("uninterruptible"));
  EXPECT_EQ(kJobFlagNames.bitsToText(0x404), TqString("grid,mail"));
}

TEST(JobFlagNamesTest, NoNamedBitWritesZero) {
  EXPECT_EQ(kJobFlagNames.bitsToText(0), TqString("0"));
  EXPECT_EQ(kJobFlagNames.bitsToText(0x80), TqString("0"));
  // An unnamed bit beside named ones is left out.
  EXPECT_EQ(kJobFlagNames.bitsToText(0x84), TqString("grid"));
}

TEST(JobFlagNamesTest, ReadsNamesAndNumbers) {
  EXPECT_EQ(kJobFlagNames.textToBits("grid, mail"), 0x404);
  EXPECT_EQ(kJobFlagNames.textToBits("uninterruptable"), 1);
  EXPECT_EQ(kJobFlagNames.textToBits("uninterruptible"), 1);
  EXPECT_EQ(kJobFlagNames.textToBits("12"), 12);
  EXPECT_EQ(kJobFlagNames.textToBits("128"), 128);  // numbers keep unnamed bits
  EXPECT_EQ(kJobFlagNames.textToBits("grid,grid"), 4);
  EXPECT_EQ(kJobFlagNames.textToBits(""), 0);
  EXPECT_EQ(kJobFlagNames.textToBits("Grid"), 0);  // names are case-sensitive
}

TEST(JobFlagNamesTest, UnknownNamesSetNothingAndAreInvalid) {
  EXPECT_EQ(kJobFlagNames.textToBits("bogus"), 0);
  EXPECT_FALSE(kJobFlagNames.validate("bogus"));
  EXPECT_EQ(kJobFlagNames.textToBits("grid,bogus"), 4);
  EXPECT_FALSE(kJobFlagNames.validate("grid,bogus"));
  EXPECT_FALSE(kJobFlagNames.validate("grid,"));  // an empty item names nothing
  EXPECT_FALSE(kJobFlagNames.validate("12x"));
}

TEST(JobFlagNamesTest, ValidTexts) {
  EXPECT_TRUE(kJobFlagNames.validate("12"));
  EXPECT_TRUE(kJobFlagNames.validate("-3"));
  EXPECT_TRUE(kJobFlagNames.validate("grid, mail"));
  EXPECT_TRUE(kJobFlagNames.validate("uninterruptable,expand"));
  EXPECT_TRUE(kJobFlagNames.validate(""));
}

TEST(JobFlagNamesTest, QuotedItemsAreComparedWithTheirQuotes) {
  // The splitter keeps quotes in the item, so a quoted name is not a name.
  EXPECT_EQ(kJobFlagNames.textToBits("\"grid\",mail"), 0x400);
}

TEST(NameTablesTest, EveryWrittenNameReadsBackToItsValue) {
  const NameTable* tables[] = {&kJobFlagNames,        &kPermissionNames, &kCallbackLanguageNames,
                               &kScopeNames,          &kJobScopeNames,   &kClientFlagNames,
                               &kLazyNames,           &kWorkerFlagNames, &kSupervisorFlagNames,
                               &kSupervisorStateNames};
  for (const NameTable* table : tables) {
    int32_t all = 0;
    std::set<std::string> names;
    for (size_t i = 0; i < table->size(); ++i) {
      const NameEntry& e = table->entry(i);
      EXPECT_TRUE(names.insert(e.name).second) << e.name;
      EXPECT_EQ(table->textToBits(e.name), e.value) << e.name;
      if (!(e.options & kReadOnly)) {
        EXPECT_EQ(table->bitsToText(e.value), TqString(e.name));
        EXPECT_EQ(all & e.value, 0) << e.name << " shares a bit";
        all |= e.value;
      }
    }
    // All bits at once come back through the names.
    EXPECT_EQ(table->textToBits(table->bitsToText(all)), all);
    EXPECT_TRUE(table->validate(table->bitsToText(all)));
  }
}

TEST(NameTablesTest, WritingOrderIsNotValueOrder) {
  EXPECT_EQ(kSupervisorStateNames.bitsToText(0x7),
            TqString("reject_submit,stop_activity,enforce_password"));
  EXPECT_EQ(kWorkerFlagNames.bitsToText(0x63), TqString("dynamic,dedicated,rotate_logs,ssl"));
  EXPECT_EQ(kSupervisorFlagNames.bitsToText(0xE04),
            TqString("heartbeat_monitor,running_monitor,stub_optimize,rotate_logs"));
  EXPECT_EQ(kPermissionNames.bitsToText(0x40100001), TqString("submit_job,admin"));  // 0x100000
}

}  // namespace
}  // namespace tq

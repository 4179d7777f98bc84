#include "job/status.h"

#include <gtest/gtest.h>

namespace tq {
namespace {

TEST(StatusNamesTest, NamesAndValues) {
  struct {
    const char* name;
    int32_t value;
  } const cases[] = {{"none", 0},        {"saved", 5},     {"complete", 16}, {"warning", 21},
                     {"failed", 32},     {"killed", 48},   {"blocked", 272}, {"paused", 293},
                     {"suspended", 304}, {"pending", 320}, {"waiting", 323}, {"badlogin", 325},
                     {"running", 336}};
  for (const auto& c : cases) {
    EXPECT_EQ(statusValue(c.name), c.value) << c.name;
    EXPECT_STREQ(statusName(c.value), c.name);
  }
}

TEST(StatusNamesTest, UnknownNamesAndValues) {
  EXPECT_EQ(statusValue("Running"), 0);
  EXPECT_EQ(statusValue("running "), 0);
  EXPECT_EQ(statusValue(""), 0);
  EXPECT_STREQ(statusName(999), "none");
  EXPECT_STREQ(statusName(-1), "none");
  EXPECT_STREQ(statusName(0x100), "none");
}

TEST(StatusTestsTest, EachStatusAnswersOnlyItsOwnTest) {
  using Check = bool (*)(const Status&);
  struct {
    int32_t value;
    Check test;
  } const cases[] = {
      {kStatusNone, isNone},       {kStatusSaved, isSaved},     {kStatusComplete, isComplete},
      {kStatusWarning, isWarning}, {kStatusFailed, isFailed},   {kStatusKilled, isKilled},
      {kStatusBlocked, isBlocked}, {kStatusPaused, isPaused},   {kStatusSuspended, isSuspended},
      {kStatusPending, isPending}, {kStatusWaiting, isWaiting}, {kStatusBadlogin, isBadlogin},
      {kStatusRunning, isRunning}};
  for (const auto& row : cases) {
    for (const auto& other : cases) {
      EXPECT_EQ(other.test(Status(row.value)), row.value == other.value)
          << row.value << " against test of " << other.value;
    }
  }
}

TEST(StatusTestsTest, ActiveInProgressAndSortWeight) {
  for (int32_t v : {kStatusBlocked, kStatusPaused, kStatusSuspended, kStatusPending, kStatusWaiting,
                    kStatusBadlogin, kStatusRunning}) {
    EXPECT_TRUE(isActive(Status(v))) << v;
    EXPECT_EQ(sortWeight(Status(v)), -256) << v;
  }
  for (int32_t v :
       {kStatusNone, kStatusSaved, kStatusComplete, kStatusWarning, kStatusFailed, kStatusKilled}) {
    EXPECT_FALSE(isActive(Status(v))) << v;
    EXPECT_EQ(sortWeight(Status(v)), 1) << v;
  }
  EXPECT_TRUE(isInProgress(Status(kStatusRunning)));
  EXPECT_TRUE(isInProgress(Status(kStatusWaiting)));
  EXPECT_TRUE(isInProgress(Status(kStatusSuspended)));
  EXPECT_FALSE(isInProgress(Status(kStatusPending)));
  EXPECT_FALSE(isInProgress(Status(kStatusPaused)));
}

}  // namespace
}  // namespace tq

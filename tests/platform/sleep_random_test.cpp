#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "platform/random.h"
#include "platform/sleep.h"

namespace tq::platform {
namespace {

TEST(SleepTest, InstalledFunctionReceivesEveryPause) {
  std::vector<int32_t> asked;
  {
    ScopedSleepFunction recording([&](int32_t ms) { asked.push_back(ms); });
    sleepMilliseconds(10000);
    sleepMilliseconds(0);
    sleepMilliseconds(-5);  // counts as 0
  }
  EXPECT_EQ(asked, (std::vector<int32_t>{10000, 0, 0}));
  // Back to the real sleep: a short pause really waits.
  auto start = std::chrono::steady_clock::now();
  sleepMilliseconds(20);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(15));
}

TEST(SleepTest, ScopesNestAndRestoreInOrder) {
  std::vector<int> who;
  ScopedSleepFunction outer([&](int32_t) { who.push_back(1); });
  {
    ScopedSleepFunction inner([&](int32_t) { who.push_back(2); });
    sleepMilliseconds(1);
  }
  sleepMilliseconds(1);
  EXPECT_EQ(who, (std::vector<int>{2, 1}));
}

TEST(RandomTest, InstalledSourceIsUsedAndRestored) {
  {
    ScopedRandomSource fixed([] { return 7; });
    EXPECT_EQ(randomNumber(), 7);
    EXPECT_EQ(randomBelow(5), 2);
  }
  seedRandom(1);
  int32_t a = randomNumber();
  seedRandom(1);
  EXPECT_EQ(randomNumber(), a);  // the default generator again, repeatable from a seed
}

TEST(RandomTest, DefaultNumbersStayInRangeAndVary) {
  seedRandom(12345);
  bool varied = false;
  int32_t first = randomNumber();
  for (int i = 0; i < 1000; ++i) {
    int32_t n = randomNumber();
    ASSERT_GE(n, 0);
    ASSERT_LE(n, kRandomMax);
    varied = varied || n != first;
    int32_t below = randomBelow(3);
    ASSERT_GE(below, 0);
    ASSERT_LT(below, 3);
  }
  EXPECT_TRUE(varied);
  EXPECT_EQ(randomBelow(0), 0);
  EXPECT_EQ(randomBelow(-4), 0);
}

TEST(RandomTest, NegativeSourceValuesStillGiveAnIndex) {
  ScopedRandomSource fixed([] { return -7; });
  int32_t below = randomBelow(5);
  EXPECT_GE(below, 0);
  EXPECT_LT(below, 5);
}

}  // namespace
}  // namespace tq::platform

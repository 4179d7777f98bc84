#include "config/number_list.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace tq {
namespace {

using Numbers = std::vector<int32_t>;

Numbers numbersOf(const char* text, int32_t order = NumberList::kAsWritten) {
  return NumberList(text, order).numbers();
}

TEST(NumberListTest, ItemForms) {
  EXPECT_EQ(numbersOf("7"), Numbers({7}));
  EXPECT_EQ(numbersOf("1-3"), Numbers({1, 2, 3}));
  EXPECT_EQ(numbersOf("3-1"), Numbers({3, 2, 1}));
  EXPECT_EQ(numbersOf("1-9x4"), Numbers({1, 5, 9}));
  EXPECT_EQ(numbersOf("1-10x4"), Numbers({1, 5, 9}));
  EXPECT_EQ(numbersOf("10-1x4"), Numbers({10, 6, 2}));
  EXPECT_EQ(numbersOf("1-9x-4"), Numbers({1, 5, 9}));  // the step's sign is dropped
  EXPECT_EQ(numbersOf("1-3x0"), Numbers({1, 2, 3}));   // 0 counts as 1
  EXPECT_EQ(numbersOf("1-9X4"), Numbers({2, 3, 4, 6, 7, 8}));
  EXPECT_EQ(numbersOf("9-1X4"), Numbers({8, 7, 6, 4, 3, 2}));
  EXPECT_EQ(numbersOf("1-9X1"), Numbers());
  EXPECT_EQ(numbersOf("-2-2"), Numbers({-2, -1, 0, 1, 2}));
  EXPECT_EQ(numbersOf("2--1"), Numbers({2, 1, 0, -1}));
}

TEST(NumberListTest, ListsBlanksAndWhereParsingStops) {
  EXPECT_EQ(numbersOf("1, 5 - 7 ,\t2\n"), Numbers({1, 5, 6, 7, 2}));
  EXPECT_EQ(numbersOf("1,2,a,3"), Numbers({1, 2}));
  EXPECT_EQ(numbersOf("1,2 3"), Numbers({1, 2}));
  EXPECT_EQ(numbersOf("5-"), Numbers({5}));
  EXPECT_EQ(numbersOf(""), Numbers());
  EXPECT_EQ(numbersOf("-"), Numbers());
  EXPECT_EQ(numbersOf(",1"), Numbers());
  EXPECT_EQ(numbersOf("3,3,1"), Numbers({3, 3, 1}));
}

TEST(NumberListTest, PaddingWidthComesFromTheFirstNumber) {
  EXPECT_EQ(NumberList("001-120").width(), 3);
  EXPECT_EQ(NumberList("-05-3").width(), 2);
  EXPECT_EQ(NumberList("7,0001").width(), 1);
  EXPECT_EQ(NumberList("").width(), 0);
}

TEST(NumberListTest, Orderings) {
  EXPECT_EQ(numbersOf("5,1,3,3", NumberList::kAscending), Numbers({1, 3, 3, 5}));
  EXPECT_EQ(numbersOf("5,1,3,3", NumberList::kDescending), Numbers({5, 3, 3, 1}));
  EXPECT_EQ(numbersOf("1-9", NumberList::kBinary), Numbers({1, 9, 5, 3, 7, 2, 4, 6, 8}));
  EXPECT_EQ(numbersOf("4,3,2,1", NumberList::kBinary), Numbers({1, 4, 2, 3}));
  EXPECT_EQ(numbersOf("3,1,2", NumberList::kBinary), Numbers({1, 2, 3}));
  EXPECT_EQ(numbersOf("2,1", 99), Numbers({2, 1}));
}

TEST(NumberListTest, BinaryOrderVisitsEveryPositionOnce) {
  for (int n = 0; n < 40; ++n) {
    Numbers sorted;
    for (int i = 0; i < n; ++i) sorted.push_back(i);
    Numbers order = NumberList::binaryOrder(sorted);
    std::sort(order.begin(), order.end());
    EXPECT_EQ(order, sorted) << n;
  }
}

TEST(NumberListTest, CompactText) {
  EXPECT_EQ(NumberList("").compactText(), TqString(""));
  EXPECT_EQ(NumberList("4").compactText(), TqString("4"));
  EXPECT_EQ(NumberList("9,2").compactText(), TqString("2,9"));
  EXPECT_EQ(NumberList("3,2,1,2").compactText(), TqString("1-3"));
  EXPECT_EQ(NumberList("1-9x4").compactText(), TqString("1-9x4"));
  EXPECT_EQ(NumberList("1,2,4,6,7").compactText(), TqString("1,2-6x2,7"));
  EXPECT_EQ(NumberList("1,2,3,5,7,9,20").compactText(), TqString("1-3,5-9x2,20"));
  EXPECT_EQ(NumberList("001-120").compactText(), TqString("001-120"));
  EXPECT_EQ(NumberList("08-10,1").compactText(), TqString("1,08-10"));
  EXPECT_EQ(NumberList("-3-3x3").compactText(), TqString("-3-3x3"));
}

TEST(NumberListTest, HugeRangesStopAtTheLimit) {
  NumberList all("1-2147483647");
  EXPECT_EQ(all.count(), kMaxNumberListLength);
  EXPECT_TRUE(all.truncated());
  NumberList complement("-2147483648-2147483647X2");
  EXPECT_EQ(complement.count(), kMaxNumberListLength);
  NumberList none("-2147483648-2147483647X1");  // ends at once
  EXPECT_EQ(none.count(), 0);
  NumberList few("-2147483648-2147483647x2147483647");
  EXPECT_EQ(few.numbers(), Numbers({INT32_MIN, -1, 2147483646}));
  NumberList limited;
  limited.parse("1-10", NumberList::kAsWritten, 4);
  EXPECT_EQ(limited.numbers(), Numbers({1, 2, 3, 4}));
  EXPECT_TRUE(limited.truncated());
  limited.parse("1-4", NumberList::kAsWritten, 4);
  EXPECT_FALSE(limited.truncated());
}

TEST(NumberListTest, OutOfRangeNumbersAreClamped) {
  EXPECT_EQ(numbersOf("99999999999999999999999"), Numbers({INT32_MAX}));
  EXPECT_EQ(numbersOf("-99999999999"), Numbers({INT32_MIN}));
}

}  // namespace
}  // namespace tq

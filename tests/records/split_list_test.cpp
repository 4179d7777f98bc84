#include "records/split_list.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tq {
namespace {

std::vector<std::string> split(const std::string& text) {
  std::vector<std::string> out;
  for (const TqString& item : splitListItems(text)) out.push_back(item.str());
  return out;
}

using Items = std::vector<std::string>;

TEST(SplitListTest, CommasTrimmingAndEmptyItems) {
  EXPECT_EQ(split("a, b"), (Items{"a", "b"}));
  EXPECT_EQ(split("  one ,\ttwo\t, three  "), (Items{"one", "two", "three"}));
  EXPECT_EQ(split("a,,b"), (Items{"a", "", "b"}));
  EXPECT_EQ(split("a,"), (Items{"a", ""}));
  EXPECT_EQ(split(","), (Items{"", ""}));
  EXPECT_EQ(split(" "), (Items{""}));
  EXPECT_TRUE(split("").empty());
}

TEST(SplitListTest, QuotesAndBracesGroupAndAreKept) {
  EXPECT_EQ(split("a,'b,c',{d,{e,f}},\"g\\\"h,i\""),
            (Items{"a", "'b,c'", "{d,{e,f}}", "\"g\\\"h,i\""}));
  EXPECT_EQ(split("x'1,2'y, z"), (Items{"x'1,2'y", "z"}));
  EXPECT_EQ(split("{'},a"), (Items{"{'}", "a"}));  // quotes mean nothing inside braces
  // Unclosed parts run to the end of the text.
  EXPECT_EQ(split("a,'b,c"), (Items{"a", "'b,c"}));
  EXPECT_EQ(split("a,{b,{c}"), (Items{"a", "{b,{c}"}));
  EXPECT_EQ(split("'ab\\"), (Items{"'ab\\"}));
}

TEST(SplitListTest, CarriageReturnsAreBlanksAndSplittingAlwaysAdvances) {
  EXPECT_EQ(split("a\r,\rb\r\n"), (Items{"a", "b"}));
  EXPECT_EQ(split("\r"), (Items{""}));
  EXPECT_EQ(split("\r\r,\r"), (Items{"", ""}));
  EXPECT_EQ(split("x\r\ry"), (Items{"x\r\ry"}));
  EXPECT_EQ(split("'\r',{\r}"), (Items{"'\r'", "{\r}"}));

  EXPECT_EQ(splitListItems(std::string(1000000, '\r')).size(), 1u);
}

TEST(SplitListTest, ItemsPastTheBoundAreLeftOutButCanStillBeVisited) {
  std::string many;
  for (int i = 0; i < kMaxListItems + 10; ++i) many += std::to_string(i) + ",";
  std::vector<TqString> items = splitListItems(many);
  ASSERT_EQ(items.size(), static_cast<size_t>(kMaxListItems));
  EXPECT_EQ(items.front().str(), "0");
  EXPECT_EQ(items.back().str(), std::to_string(kMaxListItems - 1));

  StringList list;
  list.append(TqString("kept"));
  splitList(TqString(std::string_view(many)), list);
  EXPECT_EQ(list.count(), kMaxListItems + 1);

  int64_t seen = 0;
  std::string last;
  forEachListItem(many, [&](std::string_view item) {
    ++seen;
    last = std::string(item);
    return true;
  });
  EXPECT_EQ(seen, kMaxListItems + 11);  // the empty item after the last comma too
  EXPECT_EQ(last, "");

  int stopped_after = 0;
  forEachListItem("a,b,c", [&](std::string_view) { return ++stopped_after < 2; });
  EXPECT_EQ(stopped_after, 2);
}

TEST(SplitListTest, SplitListAppendsToAStringList) {
  StringList list;
  list.append(TqString("kept"));
  splitList("ssl, restrict_domain ,'a,b'", list);
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list[0].str(), "kept");
  EXPECT_EQ(list[1].str(), "ssl");
  EXPECT_EQ(list[2].str(), "restrict_domain");
  EXPECT_EQ(list[3].str(), "'a,b'");
  splitList("", list);
  EXPECT_EQ(list.count(), 4);
}

}  // namespace
}  // namespace tq

#include "config/regex.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tq {
namespace {

std::vector<std::string> texts(const std::vector<TqString>& list) {
  std::vector<std::string> out;
  for (const TqString& t : list) out.push_back(t.str());
  return out;
}

TEST(RegexTest, MatchesAnywhereInTheText) {
  Regex regex("fr(a|e)me");
  EXPECT_TRUE(regex.matches("render frame 12"));
  EXPECT_TRUE(regex.matches("freme"));
  EXPECT_FALSE(regex.matches("FRAME"));
  EXPECT_FALSE(regex.matches(""));
  EXPECT_TRUE(Regex("^$").matches(""));
  EXPECT_TRUE(regex.error().empty());
}

TEST(RegexTest, CaseInsensitiveIsBitZero) {
  Regex regex("frame");
  regex.setCaseInsensitive(true);
  EXPECT_EQ(regex.options() & Regex::kCaseInsensitive, 1);
  EXPECT_TRUE(regex.matches("FRAME"));
  regex.setCaseInsensitive(false);
  EXPECT_FALSE(regex.matches("FRAME"));
  regex.setOptions(Regex::kCaseInsensitive);
  EXPECT_TRUE(regex.matches("Frame"));
}

TEST(RegexTest, CapturesWholeMatchAndGroups) {
  Regex regex("(\\w+)_(\\d+)(x)?\\.exr");
  std::vector<TqString> list{TqString("stale")};
  ASSERT_TRUE(regex.captures("out/beauty_0042.exr", list));
  // The unmatched last group is not reported, as the match sets only groups 0 to 2.
  EXPECT_EQ(texts(list), (std::vector<std::string>{"beauty_0042.exr", "beauty", "0042"}));

  Regex middle("(a)?(b)");
  ASSERT_TRUE(middle.captures("b", list));
  EXPECT_EQ(texts(list), (std::vector<std::string>{"b", "", "b"}));

  EXPECT_FALSE(regex.captures("nothing here", list));
  EXPECT_TRUE(list.empty());
}

TEST(RegexTest, CapturesStopAtThirtyFourPairs) {
  std::string pattern;
  std::string subject;
  for (int i = 0; i < 40; ++i) {
    pattern += "(.)";
    subject += static_cast<char>('a' + i % 26);
  }
  Regex regex{TqString(pattern)};
  std::vector<TqString> list;
  ASSERT_TRUE(regex.captures(TqString(subject), list));
  ASSERT_EQ(list.size(), 34u);
  EXPECT_EQ(list[0].str(), subject);
  EXPECT_EQ(list[33].str(), std::string(1, 'a' + 32 % 26));
}

TEST(RegexTest, TextsMayHoldAnyByte) {
  Regex regex("b\\x00c");
  EXPECT_TRUE(regex.matches(TqString("ab\0cd", 5)));
  EXPECT_FALSE(regex.matches("abcd"));
}

TEST(RegexTest, CompileErrorIsKeptAndAnswersFalse) {
  Regex regex("(unclosed");
  std::vector<TqString> list{TqString("stale")};
  EXPECT_FALSE(regex.matches("unclosed"));
  EXPECT_FALSE(regex.error().empty());
  EXPECT_NE(regex.error().str().find("missing"), std::string::npos) << regex.error();
  EXPECT_FALSE(regex.captures("(unclosed", list));
  EXPECT_TRUE(list.empty());

  Regex fine("ok");
  EXPECT_TRUE(fine.matches("ok"));
  EXPECT_TRUE(fine.error().empty());
}

TEST(RegexTest, RunawayBacktrackingGivesUpInsteadOfHanging) {
  Regex regex("(a+)+$");
  std::string subject(40, 'a');
  subject += 'b';
  EXPECT_FALSE(regex.matches(TqString(subject)));
}

}  // namespace
}  // namespace tq

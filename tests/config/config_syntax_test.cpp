// The pieces of the sectioned reader: tokens, header names and the expansion passes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_expansion.h"
#include "config/config_tokens.h"
#include "config/section_header.h"

namespace tq {
namespace {

std::vector<std::string> tokenTexts(const char* text) {
  std::vector<std::string> out;
  for (const ConfigToken& t : tokenizeConfig(text)) {
    out.push_back((t.is(ConfigToken::kWord) ? "w:" : "p:") + t.text.str());
  }
  return out;
}

using Texts = std::vector<std::string>;

TEST(ConfigTokensTest, WordsPunctuationAndComments) {
  EXPECT_EQ(tokenTexts("[a.b]:c = d#x\r\n"),
            Texts({"p:[", "w:a.b", "p:]", "p::", "w:c", "p:=", "w:d", "p:\r", "p:\n"}));
  EXPECT_EQ(tokenTexts("a\\b}"), Texts({"w:a", "p:\\", "w:b", "p:}"}));
  EXPECT_EQ(tokenTexts("  # only a comment"), Texts());
}

TEST(ConfigTokensTest, BracedAndQuotedText) {
  EXPECT_EQ(tokenTexts("{a {b\\}\nc}d"), Texts({"w:a {b}\nc", "w:d"}));
  EXPECT_EQ(tokenTexts("{}"), Texts({"w:"}));
  EXPECT_EQ(tokenTexts("{open"), Texts({"w:open"}));
  EXPECT_EQ(tokenTexts("\"a \\\"b\\\" \\n\"x"), Texts({"p:\"", "w:a \"b\" \\n", "p:\"", "w:x"}));
  // A quote ends at the line end, which it takes with it.
  EXPECT_EQ(tokenTexts("\"open\nk"), Texts({"p:\"", "w:open", "p:\"", "w:k"}));
  EXPECT_EQ(tokenTexts("\"open"), Texts({"p:\"", "w:open", "p:\""}));
}

std::vector<std::string> headerNames(const char* header, int32_t limit = 100) {
  bool truncated = false;
  std::vector<std::string> out;
  for (const TqString& n : sectionNamesOfHeader(header, limit, truncated)) out.push_back(n.str());
  return out;
}

TEST(SectionHeaderTest, NumberListHeaders) {
  EXPECT_EQ(headerNames("01-03"), Texts({"1", "2", "3"}));  // plain decimal
  EXPECT_EQ(headerNames("1-9x4,20"), Texts({"1", "5", "9", "20"}));
  EXPECT_EQ(headerNames(""), Texts());
  EXPECT_EQ(headerNames("x1"), Texts({"x1"}));
  EXPECT_EQ(headerNames(",1"), Texts({"1"}));  // a name list: the empty item names nothing
}

TEST(SectionHeaderTest, NameListsAndBracketedNumbers) {
  EXPECT_EQ(headerNames("r[001-002]x,edit"), Texts({"r001x", "r002x", "edit"}));
  EXPECT_EQ(headerNames("a, b ,,c"), Texts({"a", "b", "c"}));
  EXPECT_EQ(headerNames("n[1,3]"), Texts({"n1", "n3"}));  // the comma is inside brackets
  EXPECT_EQ(headerNames("n[]"), Texts());
  EXPECT_EQ(headerNames("n[abc]"), Texts());
  EXPECT_EQ(headerNames("n[2"), Texts({"n2"}));
  EXPECT_EQ(headerNames("n["), Texts({"n["}));
}

TEST(SectionHeaderTest, LimitAndTruncation) {
  bool truncated = false;
  EXPECT_EQ(sectionNamesOfHeader("n[1-5]", 5, truncated).size(), 5u);
  EXPECT_FALSE(truncated);
  EXPECT_EQ(sectionNamesOfHeader("n[1-6]", 5, truncated).size(), 5u);
  EXPECT_TRUE(truncated);
  EXPECT_EQ(sectionNamesOfHeader("a,b,c", 2, truncated).size(), 2u);
  EXPECT_TRUE(truncated);
  EXPECT_EQ(sectionNamesOfHeader("1-2147483647", 3, truncated).size(), 3u);
  EXPECT_TRUE(truncated);
}

TEST(SectionHeaderTest, ByteLimitCountsEveryGeneratedName) {
  bool truncated = false;
  bool out_of_bytes = false;
  // Ten names of four bytes each: "ab01" ... "ab10".
  EXPECT_EQ(sectionNamesOfHeader("ab[01-10]", {100, 40}, truncated, out_of_bytes).size(), 10u);
  EXPECT_FALSE(truncated || out_of_bytes);
  std::vector<TqString> cut = sectionNamesOfHeader("ab[01-10]", {100, 39}, truncated, out_of_bytes);
  EXPECT_EQ(cut.size(), 9u);
  EXPECT_TRUE(out_of_bytes);
  EXPECT_FALSE(truncated);
  EXPECT_EQ(cut.back().str(), "ab09");
  // Plain names count too, and so do number-list headers.
  EXPECT_EQ(sectionNamesOfHeader("abc,de,f", {100, 5}, truncated, out_of_bytes).size(), 2u);
  EXPECT_TRUE(out_of_bytes);
  EXPECT_EQ(sectionNamesOfHeader("1-100", {100, 9}, truncated, out_of_bytes).size(), 9u);
  EXPECT_TRUE(out_of_bytes);
  // Millions of empty items cost nothing but the scan.
  std::string commas(3000000, ',');
  EXPECT_EQ(headerNames((commas + "a" + commas).c_str()), Texts({"a"}));
}

Texts piecesOf(const char* value) {
  Texts out;
  for (std::string_view p : splitExpansionPieces(value)) out.emplace_back(p);
  return out;
}

TEST(ConfigExpansionTest, PiecesAndCarriageReturns) {
  EXPECT_EQ(piecesOf("${a}.b  c\\d"), Texts({"$", "{", "a", "}", ".", "b", "  ", "c", "\\", "d"}));
  // A CR is a piece of its own, so splitting always moves on.
  EXPECT_EQ(piecesOf("a\rb\r\r"), Texts({"a", "\r", "b", "\r", "\r"}));
  EXPECT_EQ(piecesOf("a\nb"), Texts({"a\nb"}));
  EXPECT_EQ(piecesOf(""), Texts());
}

TEST(ConfigExpansionTest, FirstPassNamesTheDefiningSection) {
  EXPECT_EQ(expandSelfReferences("$self.root\\bin", "farm"), TqString("$farm.root\\bin"));
  EXPECT_EQ(expandSelfReferences("${this}", "farm"), TqString("${farm}"));
  EXPECT_EQ(expandSelfReferences("self $ self $", "farm"), TqString("self $ self $"));
  EXPECT_EQ(expandSelfReferences("$thisone", "farm"), TqString("$thisone"));
}

TEST(ConfigExpansionTest, SecondPassEdgeCases) {
  ConfigHash sections;
  ConfigRecord s;
  s.setName("s");
  s.set("k", "K");
  sections.insert("s", s);
  const ConfigRecord& current = *sections.find("s");
  ExpansionBudget budget;
  TqString out;
  auto expand = [&](const char* v) {
    EXPECT_TRUE(expandReferences(v, current, sections, budget, out)) << v;
    return out.str();
  };
  EXPECT_EQ(expand("a$"), "a$");  // a '$' that starts no reference stays
  EXPECT_EQ(expand("a${"), "a${");
  EXPECT_EQ(expand("${k}x"), "Kx");
  EXPECT_EQ(expand("${s.k}}"), "K}");
  EXPECT_EQ(expand("$s."), "");
  EXPECT_EQ(expand("$self.k$this._"), "Ks");
  EXPECT_EQ(expand("$none.k"), ".k");
  EXPECT_EQ(expand("cost $$k"), "cost $K");  // the first '$' names nothing and stays
}

TEST(ConfigExpansionTest, BudgetsEndExpansion) {
  ConfigHash sections;
  ConfigRecord s;
  s.setName("s");
  s.set("k", "K");
  sections.insert("s", s);
  ExpansionBudget budget;
  budget.references = 1;
  TqString out;
  EXPECT_TRUE(expandReferences("$s.k", *sections.find("s"), sections, budget, out));
  EXPECT_FALSE(expandReferences("$s.k", *sections.find("s"), sections, budget, out));
  ExpansionBudget small;
  small.bytes = 3;
  EXPECT_FALSE(expandReferences("abcd", *sections.find("s"), sections, small, out));
}

}  // namespace
}  // namespace tq

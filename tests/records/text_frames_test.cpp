// The text reader's frames: what each element is filed under, whatever order readers ask in.
#include "records/text_frames.h"

#include <gtest/gtest.h>

#include <string>

#include "records/basic_records.h"
#include "records/decode_budget.h"

namespace tq {
namespace {

struct Parsed {
  DecodeBudget budget{0};
  TextDocument document;
  int result;
  explicit Parsed(const std::string& text)
      : result(parseTextFrames(text.data(), static_cast<int32_t>(text.size()), budget, document)) {}
  const TextFrame& frame() const { return *document.root().object("undef_obj"); }
};

std::string framed(const std::string& body) {
  return "<pack><version>1</version><object type = 'x'>" + body + "</object></pack>";
}

std::string scalarOf(const TextFrame& frame, TextKey key) {
  std::string_view text;
  return frame.scalar(key, text) ? std::string(text) : std::string("<none>");
}

TEST(TextFramesTest, RepeatedNamesAreNumberedAndFoundInAnyOrder) {
  Parsed p(framed("<a>0</a><b>x</b><a>1</a><a>2</a><b>y</b>"));
  ASSERT_EQ(p.result, kTextDecoded);
  const TextFrame& f = p.frame();
  // Out of the written order, by generated names and by base and index alike.
  EXPECT_EQ(scalarOf(f, "a2"), "2");
  EXPECT_EQ(scalarOf(f, "b1"), "y");
  EXPECT_EQ(scalarOf(f, TextKey("a", 0)), "0");
  EXPECT_EQ(scalarOf(f, TextKey("a", 1)), "1");
  EXPECT_EQ(scalarOf(f, "b"), "x");
  EXPECT_EQ(scalarOf(f, "a1"), "1");
  EXPECT_EQ(scalarOf(f, "a3"), "<none>");
  EXPECT_EQ(scalarOf(f, "a01"), "<none>");
  EXPECT_EQ(scalarOf(f, "a0"), "<none>");
  EXPECT_EQ(scalarOf(f, "c"), "<none>");
  EXPECT_EQ(scalarOf(f, TextKey("a", -1)), "<none>");
}

TEST(TextFramesTest, ScalarsAndObjectsAreNumberedApart) {
  // A record field leaves a scalar (its white space) and an object under the same name.
  Parsed p(
      framed("<r>\n<object type = 'y'><v>1</v></object>\n</r><r>t</r>"
             "<r><object type = 'y'><v>2</v></object></r>"));
  ASSERT_EQ(p.result, kTextDecoded);
  const TextFrame& f = p.frame();
  ASSERT_NE(f.object("r1"), nullptr);
  EXPECT_EQ(scalarOf(*f.object("r1"), "v"), "2");
  EXPECT_EQ(scalarOf(*f.object("r"), "v"), "1");
  EXPECT_EQ(f.object("r2"), nullptr);
  EXPECT_EQ(scalarOf(f, "r"), "\n\n");
  EXPECT_EQ(scalarOf(f, "r1"), "t");
  EXPECT_EQ(scalarOf(f, "r2"), "");
}

TEST(TextFramesTest, WrittenNamesThatLookGeneratedKeepTheFirstFreeNumber) {
  // "item1" written by hand takes that name; the second "item" goes on to "item2", and a
  // later hand-written "item1" becomes "item11".
  Parsed p(framed("<item>a</item><item1>c</item1><item>b</item><item1>d</item1>"));
  ASSERT_EQ(p.result, kTextDecoded);
  const TextFrame& f = p.frame();
  EXPECT_EQ(scalarOf(f, "item2"), "b");
  EXPECT_EQ(scalarOf(f, "item11"), "d");
  EXPECT_EQ(scalarOf(f, TextKey("item", 1)), "c");
  EXPECT_EQ(scalarOf(f, "item"), "a");
  EXPECT_EQ(scalarOf(f, "item3"), "<none>");

  StringList list;
  std::string text =
      "<pack><version>1</version><object type = 'string_list'>"
      "<item>a</item><item1>c</item1><item>b</item></object></pack>";
  ASSERT_EQ(list.decodeText(text.data(), static_cast<int32_t>(text.size())), kTextDecoded);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list[1], TqString("c"));
  EXPECT_EQ(list[2], TqString("b"));
}

TEST(TextFramesTest, AFrameWithManyNamesCountsEachOfThem) {
  std::string body;
  for (int round = 0; round < 3; ++round)
    for (int n = 0; n < 200; ++n)
      body += "<n" + std::to_string(n) + "_>" + std::to_string(round) + "</n" + std::to_string(n) +
              "_>";
  Parsed p(framed(body));
  ASSERT_EQ(p.result, kTextDecoded);
  const TextFrame& f = p.frame();
  for (int n = 199; n >= 0; n -= 7) {
    std::string name = "n" + std::to_string(n) + "_";
    EXPECT_EQ(scalarOf(f, TextKey(name, 2)), "2") << name;
    EXPECT_EQ(scalarOf(f, TextKey(name, 0)), "0") << name;
    EXPECT_EQ(scalarOf(f, TextKey(name, 3)), "<none>") << name;
  }
}

TEST(TextFramesTest, RecordsReadFieldsWrittenInAnyOrderAndFarApart) {
  // Nine record fields between two scalars put the second past the reader's look-ahead.
  std::string body = "<value>7</value>";
  for (int i = 0; i < 9; ++i) body += "<r><object type = 'y'></object></r>";
  body += "<unset>1</unset>";
  Parsed p(framed(body));
  ASSERT_EQ(p.result, kTextDecoded);
  EXPECT_EQ(scalarOf(p.frame(), "unset"), "1");
  EXPECT_EQ(scalarOf(p.frame(), "value"), "7");

  JobId id;
  std::string reversed =
      "<pack><version>1</version><object type = 'job_id'>"
      "<sub_id>3</sub_id><id>42</id></object></pack>";
  ASSERT_EQ(id.decodeText(reversed.data(), static_cast<int32_t>(reversed.size())), kTextDecoded);
  EXPECT_EQ(id.id, 42);
  EXPECT_EQ(id.sub_id, 3);
}

TEST(TextFramesTest, NamesWithHighBytesAreFiledAsTheirLatin1Bytes) {
  std::string text = "<?xml version='1.0' encoding='ISO-8859-1'?>" + framed("<n\xe9>v</n\xe9>");
  Parsed p(text);
  ASSERT_EQ(p.result, kTextDecoded);
  EXPECT_EQ(scalarOf(p.frame(), "n\xe9"), "v");
}

// The reader takes a long text in pieces: names, escapes and values cut at any point between
// two pieces read back whole, and a fault in a later piece still fails the whole text.
TEST(TextFramesTest, ALongTextReadsBackWholeAcrossThePiecesItIsReadIn) {
  StringList list;
  std::string value;
  for (int i = 0; i < 9000; ++i) {
    value.assign(static_cast<size_t>(20 + i % 97), static_cast<char>('a' + i % 26));
    value.insert(static_cast<size_t>(i % 13), i % 3 == 0 ? "&<>\"'" : "\xe9 ");
    list.append(TqString(value.c_str()));
  }
  ASSERT_GT(list.encodeText(), 3 * 256 * 1024);  // several pieces, the later ones larger
  std::string text = "<pack>\n" + std::string(list.encoded()) + "\n</pack>";
  StringList back;
  ASSERT_EQ(back.decodeText(text.data(), static_cast<int32_t>(text.size())), kTextDecoded);
  ASSERT_EQ(back.count(), list.count());
  for (int32_t i = 0; i < list.count(); ++i) ASSERT_EQ(back[i], list[i]) << i;

  for (size_t at : {text.size() - 20, text.size() / 2, size_t{256 * 1024 + 3}}) {
    SCOPED_TRACE("fault at " + std::to_string(at));
    std::string broken = text;
    broken[at] = '\x01';  // never allowed in the markup
    StringList none;
    EXPECT_EQ(none.decodeText(broken.data(), static_cast<int32_t>(broken.size())), kTextMalformed);
    EXPECT_EQ(none.decodeText(text.data(), static_cast<int32_t>(at)), kTextMalformed);
  }
}

}  // namespace
}  // namespace tq

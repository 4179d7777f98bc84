#include "config/config_record.h"

#include <gtest/gtest.h>

#include <string>

#include "config/config_limits.h"
#include "config/file_util.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

ConfigRecord parsed(const char* text) {
  ConfigRecord config;
  config.setText(text);
  return config;
}

TEST(FlatConfigTest, BareQuotedAndBracedValues) {
  ConfigRecord c = parsed(
      "bare = two words\n"
      "single = 'two words'\n"
      "double = \"two\twords\"\n"
      "braced = {outer {inner}\nnext line}\n"
      "after = 1\n");
  EXPECT_EQ(c.get("bare"), TqString("two"));
  EXPECT_EQ(c.get("single"), TqString("two words"));
  EXPECT_EQ(c.get("double"), TqString("two\twords"));
  EXPECT_EQ(c.get("braced"), TqString("outer {inner}\nnext line"));
  EXPECT_EQ(c.get("after"), TqString("1"));
  EXPECT_EQ(c.count(), 5);
  EXPECT_TRUE(c.isLoaded());
}

TEST(FlatConfigTest, CommentsHeadersAndRepeatedKeys) {
  ConfigRecord c = parsed(
      "# commented = 1\n"
      "foo # bar = 1\n"
      "[section] a = 1\n"
      "a = 2\n"
      "stray words\n"
      "b = x # trailing comment = 3\n");
  EXPECT_FALSE(c.has("commented"));
  EXPECT_FALSE(c.has("foo"));
  EXPECT_EQ(c.get("bar"), TqString("1"));
  EXPECT_EQ(c.get("a"), TqString("2"));
  EXPECT_EQ(c.get("b"), TqString("x"));
  EXPECT_FALSE(c.has("trailingcomment"));
  EXPECT_EQ(c.count(), 3);
}

TEST(FlatConfigTest, KeysLoseTheirBlanks) {
  ConfigRecord c = parsed("client timeout = 5\r\n\tx\t=\ty\r\n");
  EXPECT_EQ(c.get("clienttimeout"), TqString("5"));
  EXPECT_EQ(c.get("x"), TqString("y"));
}

TEST(FlatConfigTest, EmptyValuesAndEndsOfText) {
  ConfigRecord c = parsed("empty =\ncrlf =\r\nlast = end");
  EXPECT_TRUE(c.has("empty"));
  EXPECT_EQ(c.get("empty"), TqString(""));
  EXPECT_TRUE(c.has("crlf"));
  EXPECT_EQ(c.get("last"), TqString("end"));
  // Text that ends right after the '=' (or before it) gives no entry.
  EXPECT_FALSE(parsed("a =").has("a"));
  EXPECT_FALSE(parsed("a =  ").has("a"));
  EXPECT_EQ(parsed("a").count(), 0);
  // Unclosed quotes and braces keep what they hold.
  EXPECT_EQ(parsed("a = 'open").get("a"), TqString("open"));
  EXPECT_EQ(parsed("a = {open {x}").get("a"), TqString("open {x}"));
  EXPECT_EQ(parsed("a = \"to the line end\nb = 2").get("b"), TqString("2"));
}

TEST(FlatConfigTest, BareValuesStopAtHighBytesAndCarriageReturns) {
  ConfigRecord c = parsed("a = caf\xe9 rest\nb = x\ry = 1\nc = 'caf\xe9 au lait'\n");
  EXPECT_EQ(c.get("a"), TqString("caf"));
  EXPECT_EQ(c.get("b"), TqString("x"));
  EXPECT_FALSE(c.has("y"));  // the rest of b's line is skipped
  EXPECT_EQ(c.get("c"), TqString("caf\xe9 au lait"));
}

TEST(FlatConfigTest, AccessorsOnAMissingKey) {
  ConfigRecord c;
  EXPECT_FALSE(c.isLoaded());
  EXPECT_TRUE(c.get("absent").empty());
  EXPECT_FALSE(c.remove("absent"));
  c.set("k", "v");
  c.set("k", "w");
  EXPECT_EQ(c.get("k"), TqString("w"));
  EXPECT_TRUE(c.remove("k"));
  EXPECT_FALSE(c.has("k"));
}

TEST(FlatConfigTest, KeysCopyAndContainment) {
  ConfigRecord a = parsed("x = 1\ny = 2\n");
  ConfigRecord b = parsed("y = 3\nz = 4\n");
  StringList keys;
  a.keys(keys);
  ASSERT_EQ(keys.count(), 2);
  EXPECT_TRUE((keys[0] == "x" && keys[1] == "y") || (keys[0] == "y" && keys[1] == "x"));

  EXPECT_FALSE(a.equals(b));
  a.copyFrom(b);
  EXPECT_EQ(a.get("x"), TqString("1"));
  EXPECT_EQ(a.get("y"), TqString("3"));
  EXPECT_TRUE(a.equals(b));   // every key of b is in a with b's value
  EXPECT_FALSE(b.equals(a));  // but x is not in b
  a.copyFrom(a);
  EXPECT_EQ(a.count(), 3);
}

TEST(FlatConfigWriterTest, ValueForms) {
  ConfigRecord c;
  c.set("plain", "value");
  c.set("blank", "two words");
  c.set("lines", "one\ntwo");
  EXPECT_EQ(parsed("plain = 1").toText(), TqString("plain = 1\n"));
  TqString text = c.toText();
  EXPECT_NE(text.view().find("plain = value\n"), std::string_view::npos);
  EXPECT_NE(text.view().find("blank = \"two words\"\n"), std::string_view::npos);
  EXPECT_NE(text.view().find("lines = {one\ntwo}\n"), std::string_view::npos);
}

TEST(FlatConfigWriterTest, EveryWrittenValueReadsBack) {
  // Values that the plain three forms would corrupt are written in a form that reads back.
  const char* values[] = {"plain",     "",           "two words",  "one\ntwo",
                          "a#b",       "caf\xe9",    "\"quoted\"", "'single'",
                          "{braced}",  "say \"hi\"", "it's \"x\"", "{ a }\n{ b }",
                          "tab\there", "C:\\dir\\x", "$self.root", "x=y"};
  ConfigRecord c;
  int i = 0;
  for (const char* v : values) c.set(TqString("k") + TqString(i++), v);
  ConfigRecord back = parsed(c.toText().c_str());
  ASSERT_EQ(back.count(), c.count());
  i = 0;
  for (const char* v : values) {
    EXPECT_EQ(back.get(TqString("k") + TqString(i++)), TqString(v)) << v;
  }
}

TEST(FlatConfigWriterTest, CarriageReturnsAreTheOnlyLoss) {
  ConfigRecord c;
  c.set("k", "a\r\nb");
  EXPECT_EQ(c.toText(), TqString("k = {a\r\nb}\n"));
  EXPECT_EQ(parsed(c.toText().c_str()).get("k"), TqString("a\nb"));
}

TEST(FlatConfigWriterTest, UnpairedBracesNeverRunIntoTheNextEntries) {
  ConfigRecord c;
  c.set("a", "}\nevil = 1");
  c.set("b", "open {\nnever closed");
  c.set("c", "both ' and \" and {");
  TqString text = c.toText();
  ConfigRecord back = parsed(text.c_str());
  EXPECT_EQ(back.count(), 3) << text;
  EXPECT_FALSE(back.has("evil"));
  EXPECT_EQ(back.get("a"), TqString("{}\nevil = 1"));
  EXPECT_EQ(back.get("b"), TqString("open {\nnever closed}"));
  EXPECT_EQ(back.get("c"), TqString("both ' and \" and {}"));
}

TEST(FlatConfigFileTest, ReadsAFileAndReportsAMissingOne) {
  test::TempDir dir;
  TqString path(dir.file("tq.conf"));
  ASSERT_TRUE(writeFile(path, "a = 1\r\nb = 'x y'\r\n"));
  ConfigRecord c(path);
  EXPECT_TRUE(c.isLoaded());
  EXPECT_EQ(c.get("a"), TqString("1"));
  EXPECT_EQ(c.get("b"), TqString("x y"));

  ConfigRecord missing(TqString(dir.file("absent.conf")));
  EXPECT_FALSE(missing.isLoaded());
  EXPECT_EQ(missing.count(), 0);
  ConfigRecord directory{TqString(dir.path())};
  EXPECT_FALSE(directory.isLoaded());

  ASSERT_TRUE(writeFile(TqString(dir.file("empty.conf")), ""));
  ConfigRecord empty(TqString(dir.file("empty.conf")));
  EXPECT_TRUE(empty.isLoaded());
}

TEST(FlatConfigFileTest, ALargeFileIsReadWhole) {
  test::TempDir dir;
  TqString text;
  for (int i = 0; i < 2000; ++i) {
    text.append("key");
    text.append(i);
    text.append(" = value\n");
  }
  TqString path(dir.file("big.conf"));
  ASSERT_TRUE(writeFile(path, text));
  ConfigRecord c(path);
  EXPECT_EQ(c.count(), 2000);
  EXPECT_EQ(c.get("key1999"), TqString("value"));
}

// Decimal keys: the ones the key hash places worst.
std::string decimalKeys(int from, int to, const char* value) {
  std::string text;
  for (int i = from; i < to; ++i) text += std::to_string(i) + " = " + value + "\n";
  return text;
}

TEST(FlatConfigTest, KeysPastTheBoundEndTheParseWithAWarning) {
  std::string text = decimalKeys(0, kMaxConfigKeys, "a") + "0 = replaced\n" +
                     decimalKeys(kMaxConfigKeys, kMaxConfigKeys + 3, "b") + "1 = late\n";
  ConfigRecord c;
  testing::internal::CaptureStderr();
  c.setText(TqString(std::string_view(text)));
  std::string errors = testing::internal::GetCapturedStderr();
  EXPECT_EQ(errors, "WARNING: more than " + std::to_string(kMaxConfigKeys) +
                        " configuration keys; the rest is skipped.\n");
  EXPECT_EQ(c.count(), kMaxConfigKeys);
  EXPECT_EQ(c.get("0"), TqString("replaced"));  // a known key may still change before the end
  EXPECT_EQ(c.get(TqString(kMaxConfigKeys - 1)), TqString("a"));
  EXPECT_FALSE(c.has(TqString(kMaxConfigKeys)));
  EXPECT_EQ(c.get("1"), TqString("a"));  // after the end
}

TEST(FlatConfigTest, ExactlyTheBoundOfKeysIsReadQuietly) {
  std::string text = decimalKeys(0, kMaxConfigKeys, "v") + decimalKeys(0, 100, "again");
  ConfigRecord c;
  testing::internal::CaptureStderr();
  c.setText(TqString(std::string_view(text)));
  EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
  EXPECT_EQ(c.count(), kMaxConfigKeys);
  EXPECT_EQ(c.get("99"), TqString("again"));
}

TEST(ConfigTemplateTest, FillsValuesCommentsDefaultsAndAppendsTheRest) {
  ConfigRecord c = parsed("client_timeout = 250\nsupervisor_host = 'a b'\nzeta = 1\nalpha = 2\n");
  TqString merged = c.mergeIntoTemplateText(
      "# tq.conf template\n"
      "\n"
      "client_timeout = 600000   # milliseconds\n"
      "#supervisor_host = farm\n"
      "worker_port = 50011\n"
      "# worker_logmode = remote\n"
      "client_timeout = 1\n"
      "# these are not included in the template\n");
  EXPECT_EQ(merged, TqString("# tq.conf template\n"
                             "\n"
                             "client_timeout = 250\n"
                             "supervisor_host = \"a b\"\n"
                             "#worker_port = 50011\n"
                             "# worker_logmode = remote\n"
                             "# these are not included in the template\n"
                             "alpha = 2\n"
                             "zeta = 1\n"
                             "\n"));
}

TEST(ConfigTemplateTest, BracedValuesStayOneLineAndMergingTwiceIsStable) {
  ConfigRecord c = parsed("extra = x\n");
  TqString once = c.mergeIntoTemplateText("code = {line one\nline two}\nplain text\n");
  EXPECT_EQ(once, TqString("#code = {line one\nline two}\nplain text\n"
                           "# these are not included in the template\nextra = x\n\n"));
  // The merged text used as the next template does not repeat the trailer.
  TqString twice = c.mergeIntoTemplateText(once);
  EXPECT_EQ(twice.view().find("not included"), std::string_view::npos);
  EXPECT_NE(twice.view().find("extra = x\n"), std::string_view::npos);
}

TEST(ConfigTemplateTest, ManyKeysOnALineAndManyLinesMergeInOnePass) {
  ConfigRecord c = parsed("b = 2\n");
  // A key the record has is written once in all; its other lines give nothing.
  std::string text;
  for (int i = 0; i < 20000; ++i) text += "b = 1\n\n";
  TqString merged = c.mergeIntoTemplateText(TqString(std::string_view(text)));
  EXPECT_EQ(merged.str(), "b = 2\n" + std::string(20000, '\n'));
  // Keys the record lacks comment a line out once, however many the line holds.
  merged = c.mergeIntoTemplateText("a = 1 c = 1 d = 1\n");
  EXPECT_EQ(merged.str(),
            "#a = 1 c = 1 d = 1\n# these are not included in the template\nb = 2\n\n");
  // Twenty thousand distinct keys the record lacks: each line is commented out, no trailer.
  std::string keys;
  for (int i = 0; i < 20000; ++i) keys += "k" + std::to_string(i) + "x = 0\n";
  merged = c.mergeIntoTemplateText(TqString(std::string_view(keys)));
  EXPECT_EQ(merged.view().substr(0, 9), "#k0x = 0\n");
  EXPECT_NE(merged.view().find("#k19999x = 0\n"), std::string_view::npos);
  EXPECT_NE(merged.view().find("# these are not included in the template\nb = 2\n"),
            std::string_view::npos);
}

TEST(ConfigTemplateTest, AMissingTemplateFileGivesTheTrailerOnly) {
  test::TempDir dir;
  ConfigRecord c = parsed("a = 1\n");
  EXPECT_EQ(c.mergeIntoTemplate(TqString(dir.file("none.tpl"))),
            TqString("# these are not included in the template\na = 1\n\n"));
  TqString path(dir.file("t.tpl"));
  ASSERT_TRUE(writeFile(path, "a = 0\n"));
  EXPECT_EQ(c.mergeIntoTemplate(path), TqString("a = 1\n"));
}

TEST(ConfigDumpTest, ItemsInAscendingKeyOrder) {
  ConfigRecord c = parsed("b = 2\na = 1\n");
  testing::internal::CaptureStdout();
  c.dump();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "items: 2\n0: a=1\n1: b=2\n");
}

TEST(ConfigRecordCodecTest, BinaryAndTextRoundTrip) {
  ConfigRecord c = parsed("a = 1\nb = 'two words'\n");
  c.address.value = 0x7f000001;
  c.setName("farm");
  ASSERT_GT(c.encode(), 0);
  ConfigRecord back;
  ASSERT_EQ(back.decode(c.buffer(), c.bufferLength()), kDecoded);
  EXPECT_EQ(back.get("b"), TqString("two words"));
  EXPECT_EQ(back.address.value, 0x7f000001);
  EXPECT_EQ(back.name(), TqString("farm"));
  EXPECT_FALSE(back.isLoaded());  // the loaded flag does not travel

  ASSERT_GT(c.encodeText(), 0);
  ConfigRecord from_text;
  std::string text = "<pack>\n" + std::string(c.encoded()) + "\n</pack>";
  ASSERT_EQ(from_text.decodeText(text.data(), static_cast<int32_t>(text.size())), kTextDecoded);
  EXPECT_EQ(from_text.get("a"), TqString("1"));
  EXPECT_EQ(from_text.name(), TqString("farm"));
}

TEST(ConfigRecordCodecTest, ListAndHashShareIdAndTypeName) {
  EXPECT_EQ(ConfigList::kClassId, 51);
  EXPECT_EQ(ConfigHash::kClassId, 51);
  EXPECT_STREQ(ConfigList().typeName(), "config_list");
  EXPECT_STREQ(ConfigHash().typeName(), "config_list");

  ConfigList list;
  list.append(parsed("a = 1\n"));
  list.append(parsed("b = 2\n"));
  ASSERT_GT(list.encode(), 0);
  ConfigList list_back;
  ASSERT_EQ(list_back.decode(list.buffer(), list.bufferLength()), kDecoded);
  ASSERT_EQ(list_back.count(), 2);
  EXPECT_EQ(list_back[1].get("b"), TqString("2"));

  ConfigHash hash;
  hash.insert("s", parsed("k = v\n"));
  ASSERT_GT(hash.encode(), 0);
  ConfigHash hash_back;
  ASSERT_EQ(hash_back.decode(hash.buffer(), hash.bufferLength()), kDecoded);
  ASSERT_NE(hash_back.find("s"), nullptr);
  EXPECT_EQ(hash_back.find("s")->get("k"), TqString("v"));
}

}  // namespace
}  // namespace tq

// The text form: the exact written layout, reading back, escaping and hostile markup.
#include "records/text_form.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "records/limits.h"
#include "records/record_file.h"
#include "support/sample_records.h"
#include "support/temp_dir.h"

namespace tq::test {
namespace {

std::string encodeText(Object& r) {
  r.encodeText();
  return std::string(r.encoded());
}

int decodeText(Object& r, const std::string& text) {
  return r.decodeText(text.data(), static_cast<int32_t>(text.size()));
}

std::string wrap(const std::string& text) { return "<pack>\n" + text + "\n</pack>"; }

const char kJobIdText[] =
    "<version>1</version>\n"
    "<object type = 'job_id'>\n"
    "\t<id>42</id>\n"
    "\t<sub_id>3</sub_id>\n"
    "</object>";

const char kJobIdListText[] =
    "<version>1</version>\n"
    "<object type = 'job_id_list'>\n"
    "\t<item>\n"
    "\t\t<object type = 'job_id'>\n"
    "\t\t\t<id>42</id>\n"
    "\t\t\t<sub_id>3</sub_id>\n"
    "\t\t</object>\n"
    "\t</item>\n"
    "</object>";

TEST(TextFormTest, JobIdAndItsListAreWrittenByteForByte) {
  JobId id(42, 3);
  EXPECT_EQ(encodeText(id), kJobIdText);
  EXPECT_EQ(id.bufferLength(), static_cast<int32_t>(sizeof kJobIdText - 1));
  JobIdList list;
  list.append(JobId(42, 3));
  EXPECT_EQ(encodeText(list), kJobIdListText);
}

TEST(TextFormTest, WorkedExamplesLoadBack) {
  TempDir dir;
  std::string path = dir.file("id.txt");
  JobId id(42, 3);
  int32_t written = id.saveText(path.c_str());
  EXPECT_EQ(written, static_cast<int32_t>(sizeof kJobIdText - 1));
  EXPECT_EQ(readTextFile(path), kJobIdText);
  JobId back;
  EXPECT_EQ(back.loadText(path.c_str()), static_cast<int32_t>(wrap(kJobIdText).size()));
  EXPECT_EQ(back.id, 42);
  EXPECT_EQ(back.sub_id, 3);

  JobIdList list;
  ASSERT_EQ(decodeText(list, wrap(kJobIdListText)), kTextDecoded);
  ASSERT_EQ(list.count(), 1);
  EXPECT_EQ(list[0].id, 42);
}

TEST(TextFormTest, BareOutputHasTwoRootsAndIsRefused) {
  JobId id(1, 2);
  JobId target(5, 6);
  EXPECT_EQ(decodeText(target, encodeText(id)), kTextMalformed);
  EXPECT_EQ(target.id, 5);
}

TEST(TextFormTest, VersionResultCodes) {
  JobId id(5, 6);
  EXPECT_EQ(decodeText(id, "<pack><object type = 'job_id'><id>1</id></object></pack>"),
            kTextNoVersion);
  EXPECT_EQ(decodeText(id,
                       "<pack><version>2</version><object type = 'job_id'><id>1</id>"
                       "</object></pack>"),
            kTextBadVersion);
  EXPECT_EQ(id.id, 5);
  EXPECT_EQ(decodeText(id, "<pack><version>1</version></pack>"), kTextDecoded);
  EXPECT_EQ(id.id, 5);
  EXPECT_EQ(decodeText(id, "<pack><version>1</version><object><id>7</id></pack>"), kTextMalformed);
}

TEST(TextFormTest, EveryKindRoundTripsExceptBinaryOnlyFields) {
  Sample s;
  s.number = -5;
  s.letter = 'z';
  s.text = "multi\nline\ttext";
  s.flag = true;
  s.job = JobId(9, 10);
  s.shared_text = "x";
  s.shared_int = 1;
  s.hidden = 44;
  std::string text = encodeText(s);
  EXPECT_EQ(text.find("44"), std::string::npos);
  Sample back;
  ASSERT_EQ(decodeText(back, wrap(text)), kTextDecoded);
  EXPECT_EQ(back.number, -5);
  EXPECT_EQ(back.letter, 'z');
  EXPECT_EQ(back.text, s.text);
  EXPECT_TRUE(back.flag);
  EXPECT_EQ(back.job.id, 9);
  EXPECT_EQ(back.job.sub_id, 10);
  EXPECT_EQ(back.shared_text, TqString("x"));
  EXPECT_EQ(back.shared_int, 1);
  EXPECT_EQ(back.hidden, 0);
  EXPECT_EQ(encodeText(back), encodeText(s));
}

// A digit is not a valid element name, so a record using one cannot be read back from text;
// the name is still written as the record's format has it.
TEST(TextFormTest, DigitNamesAreWrittenAsGiven) {
  DigitName s;
  s.digit = "d";
  std::string text = encodeText(s);
  EXPECT_NE(text.find("\t<2>d</2>\n"), std::string::npos);
  DigitName back;
  EXPECT_EQ(decodeText(back, wrap(text)), kTextMalformed);
}

TEST(TextFormTest, MarkupCharactersAndCarriageReturnsSurvive) {
  Sample s;
  s.text = "A&B <path> \"q\" 'a' ]]> line\r\nend";
  s.letter = '<';
  std::string text = encodeText(s);
  EXPECT_NE(text.find("<text>A&amp;B &lt;path&gt; \"q\" 'a' ]]&gt; line&#13;\nend</text>"),
            std::string::npos);
  Sample back;
  ASSERT_EQ(decodeText(back, wrap(text)), kTextDecoded);
  EXPECT_EQ(back.text, s.text);
  EXPECT_EQ(back.letter, '<');
}

TEST(TextFormTest, IntegersAndValuesOfEveryShortLengthAreWrittenExactly) {
  // The digit writer works two digits at a time and the value copy in moves of up to 16
  // bytes: every boundary of both against the plain answer.
  for (int32_t v :
       {0,     1,      9,          10, 11, 99,  100, 101,  999,   1000,        65535,
        99999, 100000, 2147483647, -1, -9, -10, -99, -100, -1000, -2147483647, INT32_MIN}) {
    char digits[12];
    EXPECT_EQ(TextWriter::formatInt(digits, v), std::to_string(v));
  }
  const std::string source = "0123456789abcdefghijklmnopqrstuvwxyzABCDEFGHIJ";
  for (size_t n = 0; n <= 40; ++n) {
    std::string out(48, '#');
    auto* end = copyValue(reinterpret_cast<uint8_t*>(out.data()), source.data(), n);
    EXPECT_EQ(end - reinterpret_cast<uint8_t*>(out.data()), static_cast<ptrdiff_t>(n));
    EXPECT_EQ(out, source.substr(0, n) + std::string(48 - n, '#')) << n;
  }
}

TEST(TextFormTest, HighBytesComeBackUnchanged) {
  Sample s;
  const char latin1[] = {'c',
                         'a',
                         'f',
                         static_cast<char>(0xE9),
                         ' ',
                         static_cast<char>(0xC3),
                         static_cast<char>(0xA9),
                         ' ',
                         static_cast<char>(0xFF),
                         0};
  s.text = latin1;
  Sample back;
  ASSERT_EQ(decodeText(back, wrap(encodeText(s))), kTextDecoded);
  EXPECT_EQ(back.text, s.text);
}

TEST(TextFormTest, ListsKeepOrderAndEmptyListsWriteNoItems) {
  JobIdList list;
  for (int i = 0; i < 3; ++i) list.append(JobId(i, 0));
  JobIdList back;
  ASSERT_EQ(decodeText(back, wrap(encodeText(list))), kTextDecoded);
  ASSERT_EQ(back.count(), 3);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(back[i].id, i);

  JobIdList empty;
  std::string text = encodeText(empty);
  EXPECT_EQ(text.find("item"), std::string::npos);
  JobIdList none;
  ASSERT_EQ(decodeText(none, wrap(text)), kTextDecoded);
  EXPECT_EQ(none.count(), 0);

  StringList strings;
  strings.append("b");
  strings.append("a");
  StringList strings_back;
  decodeText(strings_back, wrap(encodeText(strings)));
  ASSERT_EQ(strings_back.count(), 2);
  EXPECT_EQ(strings_back[0], TqString("b"));
}

// Plans are kept for the shallower depths and made at every write for the deeper ones; both
// must give the same lines, at every depth and wherever the buffer grows.
std::string tabs(int n) { return std::string(static_cast<size_t>(n), '\t'); }

TEST(TextFormTest, LinesAreExactAtEveryDepthAndBufferSize) {
  const int kDepth =
      24;  // the innermost lines are 48 tabs deep, past the depths whose plans are kept
  auto top = makeNest(kDepth);
  std::string expected = "<version>1</version>\n<object type = 'nest'>\n";
  int level = 1;
  for (int i = 0; i < kDepth; ++i, level += 2) {
    expected += tabs(level) + "<level>" + std::to_string(i) + "</level>\n";
    if (i + 1 < kDepth)
      expected += tabs(level) + "<inner>\n" + tabs(level + 1) + "<object type = 'nest'>\n";
  }
  for (int i = kDepth - 1; i > 0; --i) {
    level -= 2;
    expected += tabs(level - 1) + "</object>\n" + tabs(level - 2) + "</inner>\n";
  }
  expected += "</object>";
  EXPECT_EQ(encodeText(*top), expected);

  // Lists of every length up to 300 items cross the buffer's growth at every offset.
  JobIdList list;
  std::string items;
  for (int n = 1; n <= 300; ++n) {
    list.append(JobId(n, -n));
    items += "\t<item>\n\t\t<object type = 'job_id'>\n\t\t\t<id>" + std::to_string(n) +
             "</id>\n\t\t\t<sub_id>" + std::to_string(-n) + "</sub_id>\n\t\t</object>\n\t</item>\n";
    int32_t length = list.encodeText();
    ASSERT_EQ(std::string(list.encoded()),
              "<version>1</version>\n<object type = 'job_id_list'>\n" + items + "</object>")
        << n << " items";
    ASSERT_EQ(list.buffer()[length], 0) << "the text is followed by a zero byte";
  }
}

TEST(TextFormTest, HashesUseKeyAndElementPairs) {
  IntHash hash;
  hash.insert("one", 1);
  hash.insert("two", 2);
  std::string text = encodeText(hash);
  EXPECT_NE(text.find("\t<key>"), std::string::npos);
  EXPECT_NE(text.find("\t<element>"), std::string::npos);
  IntHash back;
  ASSERT_EQ(decodeText(back, wrap(text)), kTextDecoded);
  EXPECT_EQ(back.count(), 2);
  EXPECT_EQ(*back.find("two"), 2);
}

TEST(TextFormTest, ManyItemsReadBackInLinearTime) {
  JobIdList list;
  for (int i = 0; i < 20000; ++i) list.append(JobId(i, i));
  JobIdList back;
  ASSERT_EQ(decodeText(back, wrap(encodeText(list))), kTextDecoded);
  ASSERT_EQ(back.count(), 20000);
  EXPECT_EQ(back[19999].id, 19999);
}

TEST(TextFormTest, NestingBeyondTheLimitIsIgnored) {
  auto deep = makeNest(kMaxNestingDepth + 20);
  Nest back;
  ASSERT_EQ(decodeText(back, wrap(encodeText(*deep))), kTextDecoded);
  EXPECT_LE(nestDepth(back), kMaxNestingDepth + 1);
  EXPECT_GE(nestDepth(back), kMaxNestingDepth - 1);

  std::string hostile = "<pack><version>1</version>";
  for (int i = 0; i < 50000; ++i) hostile += "<object><inner>";
  Nest target;
  EXPECT_EQ(decodeText(target, hostile), kTextMalformed);  // unclosed: refused, no crash
}

TEST(TextFormTest, EntityExpansionIsRefused) {
  std::string bomb =
      "<!DOCTYPE pack [<!ENTITY a \"aaaaaaaaaa\"><!ENTITY b \"&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;\">"
      "<!ENTITY c \"&b;&b;&b;&b;&b;&b;&b;&b;&b;&b;\"><!ENTITY d \"&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;\">"
      "<!ENTITY e \"&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;\"><!ENTITY f \"&e;&e;&e;&e;&e;&e;&e;&e;&e;&e;\">"
      "<!ENTITY g \"&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;\"><!ENTITY h "
      "\"&g;&g;&g;&g;&g;&g;&g;&g;&g;&g;\">]>"
      "<pack><version>1</version><object type='sample'><text>&h;</text></object></pack>";
  Sample s;
  EXPECT_EQ(decodeText(s, bomb), kTextMalformed);
  EXPECT_TRUE(s.text.empty());
}

TEST(TextFormTest, RecordFilesLoadWithEveryFormatCode) {
  TempDir dir;
  std::string bin = dir.file("id.bin"), txt = dir.file("id.txt"), lst = dir.file("list.txt");
  JobId id(42, 3);
  int32_t bin_size = saveRecordFile(id, bin.c_str(), kBinaryFormat);
  EXPECT_EQ(bin_size, 20);
  EXPECT_GT(saveRecordFile(id, txt.c_str(), kTextFormat), 0);
  JobIdList list;
  list.append(JobId(8, 9));
  list.append(JobId(10, 11));
  EXPECT_GT(saveRecordFile(list, lst.c_str(), kTextFormat), 0);

  JobId a;
  EXPECT_GT((loadRecordFile<JobId, JobIdList>(a, bin.c_str(), kAutomaticFormat)), 0);
  EXPECT_EQ(a.id, 42);
  JobId b;
  EXPECT_GT((loadRecordFile<JobId, JobIdList>(b, txt.c_str(), kAutomaticFormat)), 0);
  EXPECT_EQ(b.sub_id, 3);
  JobId c;
  EXPECT_GT((loadRecordFile<JobId, JobIdList>(c, lst.c_str(), kAutomaticFormat)), 0);
  EXPECT_EQ(c.id, 8);  // the first element of a text list
  JobId d;
  EXPECT_EQ((loadRecordFile<JobId, JobIdList>(d, txt.c_str(), kBinaryFormat)), 0);
  EXPECT_EQ((loadRecordFile<JobId, JobIdList>(d, bin.c_str(), 7)), bin_size);
  EXPECT_EQ((loadRecordFile<JobId, JobIdList>(d, bin.c_str(), kTextFormat)), 0);
  EXPECT_EQ((loadRecordFile<JobId, JobIdList>(d, dir.file("none").c_str(), kAutomaticFormat)), 0);
}

}  // namespace
}  // namespace tq::test

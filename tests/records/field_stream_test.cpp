// The binary field stream: encoding, decoding, skipping, truncation and nesting limits.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "records/limits.h"
#include "support/sample_records.h"
#include "support/temp_dir.h"

namespace tq::test {
namespace {

Sample filledSample() {
  Sample s;
  s.number = -123456;
  s.letter = 'q';
  s.text = "hello";
  s.flag = true;
  s.job = JobId(42, 3);
  s.shared_text = "x";
  s.shared_int = 1;
  s.hidden = 77;
  return s;
}

void expectSameSample(const Sample& a, const Sample& b) {
  EXPECT_EQ(a.number, b.number);
  EXPECT_EQ(a.letter, b.letter);
  EXPECT_EQ(a.text, b.text);
  EXPECT_EQ(a.flag, b.flag);
  EXPECT_EQ(a.job.id, b.job.id);
  EXPECT_EQ(a.job.sub_id, b.job.sub_id);
  EXPECT_EQ(a.shared_text, b.shared_text);
  EXPECT_EQ(a.shared_int, b.shared_int);
}

TEST(FieldStreamTest, JobIdEncodesToTheDocumentedBytes) {
  JobId id(42, 3);
  std::string expected = be32(1) + header(1, 1) + be32(42) + header(2, 1) + be32(3);
  EXPECT_EQ(encodeBytes(id), expected);
}

TEST(FieldStreamTest, EveryKindRoundTripsAndReencodesIdentically) {
  Sample s = filledSample();
  std::string bytes = encodeBytes(s);
  Sample back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  expectSameSample(s, back);
  EXPECT_EQ(back.hidden, 77);  // binary-only fields travel in this form
  EXPECT_EQ(encodeBytes(back), bytes);
  EXPECT_EQ(encodeBytes(s), bytes);  // encoding twice gives the same bytes
}

TEST(FieldStreamTest, NestedRecordCarriesClassIdAndLengthWithoutVersion) {
  Sample s;
  s.job = JobId(7, 8);
  std::string bytes = encodeBytes(s);
  std::string nested =
      header(5, 4) + be32(19) + be32(16) + header(1, 1) + be32(7) + header(2, 1) + be32(8);
  EXPECT_NE(bytes.find(nested), std::string::npos);
}

TEST(FieldStreamTest, ResultCodesForShortAndBadInput) {
  JobId id(5, 6);
  EXPECT_EQ(decodeBytes(id, std::string("\0\0\0", 3)), kDecodeTooShort);
  EXPECT_EQ(decodeBytes(id, be32(1)), kDecodeEmpty);
  EXPECT_EQ(decodeBytes(id, be32(2)), kDecodeBadVersion);
  EXPECT_EQ(decodeBytes(id, be32(2) + header(1, 1) + be32(9)), kDecodeBadVersion);
  EXPECT_EQ(id.decode(nullptr, 10), kDecodeTooShort);
  EXPECT_EQ(id.id, 5);
  EXPECT_EQ(id.sub_id, 6);
}

TEST(FieldStreamTest, UnknownFieldsOfEveryKnownKindAreSkipped) {
  std::string unknown = header(99, 1) + be32(5) + header(98, 2) + "c" + header(97, 3) + be32(3) +
                        "abc" + header(96, 4) + be32(19) + be32(4) + "junk" + header(95, 6) +
                        std::string(1, '\1');
  JobId id;
  ASSERT_EQ(decodeBytes(id, be32(1) + unknown + header(1, 1) + be32(11) + header(2, 1) + be32(12)),
            kDecoded);
  EXPECT_EQ(id.id, 11);
  EXPECT_EQ(id.sub_id, 12);
}

TEST(FieldStreamTest, KnownIdWithOtherKindIsSkippedNotTaken) {
  JobId id;
  decodeBytes(id, be32(1) + header(1, 3) + be32(2) + "zz" + header(2, 1) + be32(4));
  EXPECT_EQ(id.id, 0);
  EXPECT_EQ(id.sub_id, 4);
}

TEST(FieldStreamTest, UnknownKindEndsTheRecordKeepingEarlierFields) {
  JobId id;
  decodeBytes(
      id, be32(1) + header(1, 1) + be32(11) + header(50, 5) + be32(0) + header(2, 1) + be32(12));
  EXPECT_EQ(id.id, 11);
  EXPECT_EQ(id.sub_id, 0);
}

TEST(FieldStreamTest, TruncatedFieldEndsQuietly) {
  JobId id;
  decodeBytes(id, be32(1) + header(1, 1) + be32(11) + header(2, 1) + "\0\0");
  EXPECT_EQ(id.id, 11);
  EXPECT_EQ(id.sub_id, 0);

  Sample s;
  s.text = "kept";
  decodeBytes(s, be32(1) + header(3, 3) + be32(100) + "short" + header(1, 1) + be32(5));
  EXPECT_EQ(s.text, TqString("kept"));
  EXPECT_EQ(s.number, 0);
  decodeBytes(s, be32(1) + header(3, 3) + be32(-1) + header(1, 1) + be32(5));
  EXPECT_EQ(s.number, 0);
}

TEST(FieldStreamTest, EmptyStringLeavesTheFieldAsItWas) {
  Sample s;
  s.text = "before";
  decodeBytes(s, be32(1) + header(3, 3) + be32(0) + header(1, 1) + be32(9));
  EXPECT_EQ(s.text, TqString("before"));
  EXPECT_EQ(s.number, 9);
}

TEST(FieldStreamTest, TruncatedSubRecordEndsOnlyItself) {
  // The nested job_id announces 8 bytes holding a complete id and half a sub_id header.
  std::string inner = header(1, 1) + be32(70) + std::string("\0\2", 2) + "\0\0";
  std::string bytes = be32(1) + header(5, 4) + be32(19) + be32(static_cast<int32_t>(inner.size())) +
                      inner + header(1, 1) + be32(5);
  Sample s;
  ASSERT_EQ(decodeBytes(s, bytes), kDecoded);
  EXPECT_EQ(s.job.id, 70);
  EXPECT_EQ(s.number, 5);  // the containing record goes on
}

TEST(FieldStreamTest, SubRecordLongerThanTheInputEndsTheContainer) {
  std::string bytes = be32(1) + header(1, 1) + be32(3) + header(5, 4) + be32(19) + be32(1000) +
                      header(1, 1) + be32(70) + header(4, 6) + "\1";
  Sample s;
  decodeBytes(s, bytes);
  EXPECT_EQ(s.number, 3);
  EXPECT_EQ(s.job.id, 0);
  EXPECT_FALSE(s.flag);
}

TEST(FieldStreamTest, SubRecordOfAnotherClassEndsTheContainer) {
  std::string bytes = be32(1) + header(5, 4) + be32(33) + be32(8) + header(1, 1) + be32(70) +
                      header(1, 1) + be32(5);
  Sample s;
  decodeBytes(s, bytes);
  EXPECT_EQ(s.job.id, 0);
  EXPECT_EQ(s.number, 0);
}

TEST(FieldStreamTest, FieldsSharingAnIdAreToldApartByKind) {
  Sample s;
  s.shared_text = "x";
  s.shared_int = 1;
  Sample back;
  decodeBytes(back, encodeBytes(s));
  EXPECT_EQ(back.shared_text, TqString("x"));
  EXPECT_EQ(back.shared_int, 1);
}

TEST(FieldStreamTest, LastOccurrenceWinsAndOrderDoesNotMatter) {
  JobId id;
  decodeBytes(id,
              be32(1) + header(2, 1) + be32(2) + header(1, 1) + be32(1) + header(1, 1) + be32(10));
  EXPECT_EQ(id.id, 10);
  EXPECT_EQ(id.sub_id, 2);
}

TEST(FieldStreamTest, NestingBeyondTheLimitKeepsDefaultsAndDoesNotRecurse) {
  auto deep = makeNest(kMaxNestingDepth + 10);
  std::string bytes = encodeBytes(*deep);
  Nest back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  // The top record and kMaxNestingDepth nested ones are read; the next one is created by its
  // field but keeps its defaults.
  EXPECT_EQ(nestDepth(back), kMaxNestingDepth + 2);
  const Nest* last = &back;
  while (last->inner) last = last->inner.get();
  EXPECT_EQ(last->level, 0);
  EXPECT_EQ(last->inner, nullptr);

  // A hostile stream nesting far deeper than any honest record: hand-built, 100000 levels.
  const int levels = 100000;
  std::string body;
  for (int i = 0; i < levels; ++i) body += header(2, 4) + be32(901) + be32(12 * (levels - 1 - i));
  Nest hostile;
  EXPECT_EQ(decodeBytes(hostile, be32(1) + body), kDecoded);
  EXPECT_EQ(nestDepth(hostile), kMaxNestingDepth + 2);
}

// A record's last encoding is its own: copies and moves start without one, decoding drops it,
// and records encoded on several threads at once each keep their own bytes.
TEST(FieldStreamTest, EachRecordKeepsItsOwnLastEncoding) {
  JobId a(1, 2);
  ASSERT_EQ(a.buffer(), nullptr);
  std::string bytes = encodeBytes(a);
  JobId copy(a);
  JobId moved(std::move(copy));
  EXPECT_EQ(copy.buffer(), nullptr);
  EXPECT_EQ(moved.buffer(), nullptr);
  EXPECT_EQ(moved.bufferLength(), 0);
  EXPECT_EQ(std::string(a.encoded()), bytes);
  moved = a;  // assignment takes the fields, not the encoding
  EXPECT_EQ(moved.buffer(), nullptr);

  JobId b;
  ASSERT_EQ(decodeBytes(b, bytes), kDecoded);
  EXPECT_EQ(b.id, 1);
  a.encodeText();
  ASSERT_EQ(decodeBytes(a, bytes), kDecoded);
  EXPECT_EQ(a.buffer(), nullptr) << "decoding drops the last encoding";

  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([t, &wrong] {
      for (int i = 0; i < 2000; ++i) {
        auto r = std::make_unique<JobId>(t, i);
        JobId twin(t, i);
        r->encode();
        twin.encodeText();
        JobId back;
        std::string_view e = r->encoded();
        back.decode(reinterpret_cast<const uint8_t*>(e.data()), static_cast<int32_t>(e.size()));
        std::string line = "<sub_id>" + std::to_string(i) + "</sub_id>";
        if (back.id != t || back.sub_id != i || twin.encoded().find(line) == std::string::npos)
          ++wrong[t];
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
}

TEST(FieldStreamTest, BinaryFilesSaveAndLoad) {
  TempDir dir;
  Sample s = filledSample();
  std::string path = dir.file("sample.bin");
  int32_t n = s.saveBinary(path.c_str());
  EXPECT_EQ(n, s.bufferLength());
  Sample back;
  EXPECT_EQ(back.loadBinary(path.c_str()), n);
  expectSameSample(s, back);
  EXPECT_EQ(back.loadBinary(dir.file("missing.bin").c_str()), 0);
  EXPECT_EQ(s.saveBinary(dir.file("no/such/dir.bin").c_str()), 0);
}

TEST(FieldStreamTest, BitFlipsNeverCrash) {
  Sample s = filledSample();
  std::string bytes = encodeBytes(s);
  for (size_t i = 0; i < bytes.size(); ++i) {
    for (int bit = 0; bit < 8; ++bit) {
      std::string bad = bytes;
      bad[i] = static_cast<char>(bad[i] ^ (1 << bit));
      Sample out;
      int r = decodeBytes(out, bad);
      ASSERT_TRUE(r == kDecoded || r == kDecodeBadVersion) << "byte " << i << " bit " << bit;
    }
  }
  for (size_t cut = 0; cut < bytes.size(); ++cut) {
    Sample out;
    int r = decodeBytes(out, bytes.substr(0, cut));
    EXPECT_EQ(r, cut < 4 ? kDecodeTooShort : cut == 4 ? kDecodeEmpty : kDecoded);
  }
}

}  // namespace
}  // namespace tq::test

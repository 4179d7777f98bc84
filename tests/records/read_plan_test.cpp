// Records are read by plans as far as the stream is as their writer makes it, and field by field
// from where it differs (records/read_plan.h). These tests read the same bytes both ways (plans
// off through the seam) and require the same records: streams as written, with fields in
// another order or unknown, records cut short at every byte, and a bit flipped in every byte.
#include "records/read_plan.h"

#include <gtest/gtest.h>

#include <string>

#include "job/job.h"
#include "platform/random.h"
#include "support/record_filler.h"
#include "support/sample_records.h"

namespace tq::test {
namespace {

// What a decode of the bytes leaves: its result and the record written again.
template <class R>
std::string readBack(const std::string& bytes, bool plans) {
  platform::seedRandom(1);  // hashes grow to the same sizes both ways
  setReadPlans(plans);
  R record;
  int result = decodeBytes(record, bytes);
  setReadPlans(true);
  return std::to_string(result) + ":" + encodeBytes(record);
}

template <class R>
::testing::AssertionResult readsTheSameBothWays(const std::string& bytes) {
  std::string planned = readBack<R>(bytes, true);
  std::string plain = readBack<R>(bytes, false);
  if (planned == plain) return ::testing::AssertionSuccess();
  size_t at = 0;
  while (at < planned.size() && at < plain.size() && planned[at] == plain[at]) ++at;
  return ::testing::AssertionFailure() << "read by plans and field by field differ from byte " << at
                                       << " of " << planned.size() << " and " << plain.size();
}

// A list of a job with every field set: two work items, variables, child jobs and so on.
JobList filledJobs() {
  JobList list;
  Job job;
  RecordFiller filler;
  filler.fill(job);
  list.append(std::move(job));
  return list;
}

TEST(ReadPlanTest, StreamsAsWrittenAreReadWhole) {
  JobList jobs = filledJobs();
  std::string bytes = encodeBytes(jobs);
  JobList back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  EXPECT_EQ(encodeBytes(back), bytes);
  EXPECT_TRUE(readsTheSameBothWays<JobList>(bytes));
  ASSERT_EQ(back.count(), 1);
  EXPECT_EQ(back[0].agenda[1].mac_address.value, jobs[0].agenda[1].mac_address.value);
}

// A work item's fields as written, split at their headers.
std::vector<std::string> fieldsOf(const std::string& record_fields) {
  std::vector<std::string> fields;
  size_t at = 0;
  while (at < record_fields.size()) {
    auto word = [&](size_t p) {
      return static_cast<int32_t>(readInt32(reinterpret_cast<const uint8_t*>(&record_fields[p])));
    };
    int kind = record_fields[at + 3];
    size_t size = 4;
    if (kind == kIntegerKind) size += 4;
    if (kind == kCharacterKind || kind == kBooleanKind) size += 1;
    if (kind == kStringKind) size += 4 + static_cast<size_t>(word(at + 4));
    if (kind == kRecordKind) size += 8 + static_cast<size_t>(word(at + 8));
    fields.push_back(record_fields.substr(at, size));
    at += size;
  }
  return fields;
}

TEST(ReadPlanTest, FieldsInAnotherOrderOrUnknownAreReadFieldByField) {
  Work work;
  RecordFiller filler;
  filler.fill(work);
  std::string bytes = encodeBytes(work);
  std::vector<std::string> fields = fieldsOf(bytes.substr(4));
  ASSERT_EQ(fields.size(), 18u);

  std::string reversed = be32(1);
  for (auto f = fields.rbegin(); f != fields.rend(); ++f) reversed += *f;
  Work back;
  ASSERT_EQ(decodeBytes(back, reversed), kDecoded);
  EXPECT_EQ(encodeBytes(back), bytes);

  // An unknown field in the middle, and a status sub-record with an unknown field of its own:
  // the stream goes on as written after each.
  std::string unknown = header(99, kIntegerKind) + be32(7);
  std::string status_fields = header(1, kIntegerKind) + be32(work.status.value) + unknown;
  std::string odd_status = header(4, kRecordKind) + be32(Status::kClassId) +
                           be32(static_cast<int32_t>(status_fields.size())) + status_fields;
  std::string odd = be32(1) + fields[0] + fields[1] + fields[2] + odd_status + unknown;
  for (size_t i = 4; i < fields.size(); ++i) odd += fields[i];
  Work odd_back;
  ASSERT_EQ(decodeBytes(odd_back, odd), kDecoded);
  EXPECT_EQ(encodeBytes(odd_back), bytes);

  EXPECT_TRUE(readsTheSameBothWays<Work>(reversed));
  EXPECT_TRUE(readsTheSameBothWays<Work>(odd));
}

// A record cut short after every byte of its fields, as the element of a list whose header
// gives the length that is left: the element is read by its plan up to the cut.
template <class L>
::testing::AssertionResult cutShortReadsTheSameBothWays(typename L::Element& element) {
  std::string fields = encodeBytes(element).substr(4);
  for (size_t n = 0; n <= fields.size(); ++n) {
    std::string cut = be32(1) + header(1, kIntegerKind) + be32(1) + header(10, kRecordKind) +
                      be32(element.classId()) + be32(static_cast<int32_t>(n)) + fields.substr(0, n);
    ::testing::AssertionResult same = readsTheSameBothWays<L>(cut);
    if (!same) return same << " (cut after " << n << " bytes)";
  }
  return ::testing::AssertionSuccess();
}

TEST(ReadPlanTest, RecordsCutShortAreReadAsFieldByField) {
  JobList jobs = filledJobs();
  EXPECT_TRUE(cutShortReadsTheSameBothWays<JobList>(jobs[0]));
  EXPECT_TRUE(cutShortReadsTheSameBothWays<WorkList>(jobs[0].agenda[0]));
}

TEST(ReadPlanTest, StreamsWithABitFlippedAreReadAsFieldByField) {
  JobList jobs = filledJobs();
  std::string bytes = encodeBytes(jobs);
  for (size_t at = 4; at < bytes.size(); ++at) {
    std::string flipped = bytes;
    flipped[at] = static_cast<char>(flipped[at] ^ (1 << (at % 8)));
    ASSERT_TRUE(readsTheSameBothWays<JobList>(flipped)) << "bit " << at % 8 << " of byte " << at;
  }
}

}  // namespace
}  // namespace tq::test

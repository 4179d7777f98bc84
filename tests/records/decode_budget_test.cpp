// The budget of what one decode may build: hostile input that spends it ends quietly with what
// was decoded so far, and honest job lists never come near it.
#include "records/decode_budget.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "job/job.h"
#include "records/package.h"
#include "records/text_form.h"

namespace tq::test {
namespace {

void putInt32(std::string& out, int32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8)
    out.push_back(static_cast<char>((v >> shift) & 0xff));
}

void putHeader(std::string& out, int16_t id, int16_t kind) {
  out.push_back(static_cast<char>(id >> 8));
  out.push_back(static_cast<char>(id & 0xff));
  out.push_back(static_cast<char>(kind >> 8));
  out.push_back(static_cast<char>(kind & 0xff));
}

const uint8_t* bytesOf(const std::string& s) { return reinterpret_cast<const uint8_t*>(s.data()); }
int32_t lengthOf(const std::string& s) { return static_cast<int32_t>(s.size()); }

// A render job as the plug-in submits it, with an agenda of `works` work items and an
// environment of 30 variables.
Job renderJob(int32_t id, int works) {
  Job job;
  job.id = id;
  job.name = TqString(std::string_view("shot_" + std::to_string(id)));
  job.prototype = "aftereffects";
  job.user = "ann";
  job.setCpus(2);
  job.data = "(=(Project_path=D:/jobs/shot.aep)(appversion=7.0)(Comp_name=Main))";
  for (int v = 0; v < 30; ++v)
    job.env.setVariable(TqString(std::string_view("VAR_" + std::to_string(v))),
                        TqString(std::string_view("/value/of/variable/" + std::to_string(v))));
  for (int w = 0; w < works; ++w) {
    Work work;
    work.name = TqString(std::string_view(std::to_string(w + 1)));
    work.id = w;
    work.status.value = 320;
    job.agenda.append(std::move(work));
  }
  return job;
}

JobList renderJobs(int jobs, int works) {
  JobList list;
  for (int j = 0; j < jobs; ++j) list.append(renderJob(j + 1, works));
  return list;
}

// A job whose agenda announces `n` work items, each an empty record of 12 bytes, followed by
// the job's notes.
std::string agendaOfEmptyWorks(int32_t n) {
  std::string agenda;
  putHeader(agenda, 1, 1);
  putInt32(agenda, n);
  for (int32_t i = 0; i < n; ++i) {
    putHeader(agenda, 10, 4);
    putInt32(agenda, Work::kClassId);
    putInt32(agenda, 0);
  }
  std::string out;
  putInt32(out, 1);
  putHeader(out, 11, 4);
  putInt32(out, WorkList::kClassId);
  putInt32(out, lengthOf(agenda));
  out += agenda;
  putHeader(out, 57, 3);
  putInt32(out, 5);
  out += "after";
  return out;
}

TEST(DecodeBudgetTest, ASpentBudgetEndsTheBinaryListQuietlyAndTheRecordGoesOn) {
  // The floor alone pays for this many empty work items; the input announces more, up to twice
  // as many, while staying small enough that the floor, not the input's size, sets the budget
  // (an empty work item takes 12 bytes; a work item is smaller on 32-bit systems, so more of
  // them are affordable there).
  int32_t affordable = static_cast<int32_t>(kDecodeBudgetFloor / builtCost<Work>());
  int32_t most = static_cast<int32_t>(kDecodeBudgetFloor / (12 * kDecodeBudgetPerInputByte)) - 8;
  int32_t announced = std::min(affordable * 2, most);
  ASSERT_GT(announced, affordable);
  std::string input = agendaOfEmptyWorks(announced);
  ASSERT_LT(int64_t{lengthOf(input)} * kDecodeBudgetPerInputByte, kDecodeBudgetFloor);
  Job job;
  ASSERT_EQ(job.decode(bytesOf(input), lengthOf(input)), kDecoded);
  EXPECT_EQ(job.agenda.count(), affordable);
  // The agenda ended early; the field after it was still read.
  EXPECT_EQ(job.notes.str(), "after");
}

TEST(DecodeBudgetTest, ABudgetSpentInsideAnElementStopsTheListsAroundIt) {
  // Jobs whose agendas spend the budget: the job list stops adding jobs too.
  int32_t affordable = static_cast<int32_t>(kDecodeBudgetFloor / builtCost<Work>());
  std::string job = agendaOfEmptyWorks(affordable / 2 + 1).substr(4);
  std::string out;
  putInt32(out, 1);
  putHeader(out, 1, 1);
  putInt32(out, 3);
  for (int i = 0; i < 3; ++i) {
    putHeader(out, 10, 4);
    putInt32(out, Job::kClassId);
    putInt32(out, lengthOf(job));
    out += job;
  }
  ASSERT_LT(int64_t{lengthOf(out)} * kDecodeBudgetPerInputByte, kDecodeBudgetFloor);
  JobList list;
  list.decode(bytesOf(out), lengthOf(out));
  ASSERT_EQ(list.count(), 2);
  EXPECT_EQ(list[0].agenda.count(), affordable / 2 + 1);
  EXPECT_LT(list[1].agenda.count(), affordable / 2 + 1);
  EXPECT_EQ(list[0].notes.str(), "after");
}

TEST(DecodeBudgetTest, ASpentBudgetEndsTheTextListQuietlyWithWhatWasFiled) {
  std::string text = "<pack>\n<version>1</version>\n<object type = 'job_list'>\n";
  // The frames of these items fit the floor; the jobs made of them do not (twice as many as it
  // affords, whatever a job's size on this platform).
  const int kItems = static_cast<int>(2 * kDecodeBudgetFloor / builtCost<Job>());
  for (int i = 0; i < kItems; ++i) text += "<item><object/></item>";
  text += "</object>\n</pack>";
  ASSERT_LT(static_cast<int64_t>(text.size()) * kDecodeBudgetPerInputByte, kDecodeBudgetFloor);
  JobList list;
  ASSERT_EQ(list.decodeText(text.data(), lengthOf(text)), kTextDecoded);
  EXPECT_GT(list.count(), 1000);
  EXPECT_LT(list.count(), kItems);
  EXPECT_LT(list.count(), kDecodeBudgetFloor / builtCost<Job>());
}

TEST(DecodeBudgetTest, TheTextReaderRefusesDeclaredEntitiesAndDeepNesting) {
  std::string entities =
      "<!DOCTYPE pack [<!ENTITY e \"xxxxxxxxxxxxxxxx\">]>\n<pack>\n<version>1</version>\n"
      "<object type = 'job'>\n<notes>&e;&e;</notes>\n</object>\n</pack>";
  Job job;
  EXPECT_EQ(job.decodeText(entities.data(), lengthOf(entities)), kTextMalformed);
  EXPECT_TRUE(job.notes.empty());

  std::string deep = "<pack><version>1</version>";
  for (int i = 0; i < kMaxTextElementDepth; ++i) deep += "<a>";
  for (int i = 0; i < kMaxTextElementDepth; ++i) deep += "</a>";
  deep += "</pack>";
  EXPECT_EQ(job.decodeText(deep.data(), lengthOf(deep)), kTextMalformed);
}

TEST(DecodeBudgetTest, ASpentPackageBudgetClosesEveryOpenNode) {
  std::string text = "(=";
  size_t nodes = static_cast<size_t>(kDecodeBudgetFloor / builtCost<Package>()) * 2;
  for (size_t i = 0; i < nodes; ++i) text += "(=)";
  text += ")";
  std::unique_ptr<Package> root = Package::parseParenthesised(text);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(root->childCount(), kDecodeBudgetFloor / builtCost<Package>());
}

// Honest job lists cost a fixed amount per job and per work item, so a list that fits the
// factor alone (no floor) at one size fits it at every size, 10,000 jobs included.
TEST(DecodeBudgetTest, HonestJobListsFitTheFactorAloneInBothForms) {
  JobList jobs = renderJobs(50, 100);
  jobs.encode();
  std::string bytes(jobs.encoded());
  DecodeBudget binary(lengthOf(bytes), 0);
  JobList from_binary;
  from_binary.decodeFields(bytesOf(bytes) + 4, lengthOf(bytes) - 4, 0, &binary);
  EXPECT_FALSE(binary.spent());
  EXPECT_EQ(from_binary.count(), 50);
  RecordProperty("binary_budget_per_byte",
                 std::to_string(static_cast<double>(binary.used()) / lengthOf(bytes)));

  jobs.encodeText();
  std::string text = "<pack>\n" + std::string(jobs.encoded()) + "\n</pack>";
  DecodeBudget budget(lengthOf(text), 0);
  TextDocument document;
  ASSERT_EQ(parseTextFrames(text.data(), lengthOf(text), budget, document), kTextDecoded);
  JobList from_text;
  ASSERT_NE(document.root().object("undef_obj"), nullptr);
  from_text.readNamedFields(*document.root().object("undef_obj"));
  EXPECT_FALSE(budget.spent());
  std::printf("budget per input byte: binary %.2f, text %.2f\n",
              static_cast<double>(binary.used()) / lengthOf(bytes),
              static_cast<double>(budget.used()) / lengthOf(text));

  from_binary.encode();
  from_text.encode();
  EXPECT_EQ(std::string(from_binary.encoded()), bytes);
  EXPECT_EQ(std::string(from_text.encoded()), bytes);
}

// The largest honest input itself, in the binary form: 10,000 render jobs of 100 work items.
TEST(DecodeBudgetTest, TheHonestTenThousandJobListDecodesUnchanged) {
  if (sizeof(void*) < 8) GTEST_SKIP() << "needs more address space than a 32-bit process has";
  // One job encoded once, its bytes repeated: the input without a source list in memory.
  Job job = renderJob(7, 100);
  JobList one;
  one.append(job);
  one.encode();
  std::string element(one.encoded().substr(4 + 8));  // after the version and the count
  const int kJobs = 10000;
  std::string input;
  input.reserve(12 + element.size() * kJobs);
  putInt32(input, 1);
  putHeader(input, 1, 1);
  putInt32(input, kJobs);
  for (int i = 0; i < kJobs; ++i) input += element;
  JobList list;
  ASSERT_EQ(list.decode(bytesOf(input), lengthOf(input)), kDecoded);
  ASSERT_EQ(list.count(), kJobs);
  for (int i = 0; i < kJobs; i += 997) {
    ASSERT_EQ(list[i].agenda.count(), 100);
    EXPECT_EQ(list[i].env.variableCount(), 30);
  }
  EXPECT_EQ(list.encode(), lengthOf(input));
  EXPECT_TRUE(std::string(list.encoded()) == input);
}

}  // namespace
}  // namespace tq::test

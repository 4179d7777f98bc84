// Records are written by plans made once per class (records/field_plan.h). These tests hold the
// plans to the plain writing of the field tables (support/reference_writer.h) where plans take
// another road: elements of a derived class, sub-records nested past what one plan opens,
// texts deeper than the kept plans, the buffer growing in the middle of a step, and plans being
// made by several threads at once.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "job/job.h"
#include "records/list.h"
#include "support/reference_writer.h"
#include "support/sample_records.h"

namespace tq::test {
namespace {

std::string textOf(Object& record) {
  record.encodeText();
  return std::string(record.encoded());
}

class PlanBase : public Record<PlanBase> {
 public:
  static constexpr int32_t kClassId = 910;
  static constexpr const char* kTypeName = "plan_base";
  int32_t a = 0;
  TqString s;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "a", &PlanBase::a), Field(2, "s", &PlanBase::s));
  }
};

// Derived from a record class, with a field of its own.
class PlanDerived : public Record<PlanDerived, PlanBase> {
 public:
  static constexpr int32_t kClassId = 911;
  static constexpr const char* kTypeName = "plan_derived";
  int32_t b = 0;
  static constexpr auto fields() {
    return std::tuple_cat(PlanBase::fields(), std::make_tuple(Field(3, "b", &PlanDerived::b)));
  }
};

inline constexpr char kPlanBaseListName[] = "plan_base_list";
using PlanBaseList = List<PlanBase, 912, kPlanBaseListName>;

// N + 1 records nested by value, each with a string, so that no length is known ahead.
template <int N>
class Deep : public Record<Deep<N>> {
 public:
  static constexpr int32_t kClassId = 930 + N;
  static constexpr const char* kTypeName = "deep";
  TqString name;
  Deep<N - 1> inner;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Deep::name), Field(2, "inner", &Deep::inner));
  }
};
template <>
class Deep<0> : public Record<Deep<0>> {
 public:
  static constexpr int32_t kClassId = 930;
  static constexpr const char* kTypeName = "deep";
  TqString name;
  static constexpr auto fields() { return std::make_tuple(Field(1, "name", &Deep::name)); }
};

template <int N>
void nameLevels(Deep<N>& d) {
  d.name = TqString(("level" + std::to_string(N)).c_str());
  if constexpr (N > 0) nameLevels(d.inner);
}

template <int N>
bool levelsNamed(const Deep<N>& d) {
  bool here = d.name.str() == "level" + std::to_string(N);
  if constexpr (N > 0) {
    return here && levelsNamed(d.inner);
  } else {
    return here;
  }
}

TEST(FieldPlanTest, ElementsOfADerivedClassAreWrittenAsTheirOwnClass) {
  PlanBaseList list;
  PlanBase base;
  base.a = 1;
  base.s = "x";
  PlanDerived derived;
  derived.a = 2;
  derived.s = "y&";
  derived.b = 3;
  list.append(base);
  list.append(std::make_unique<PlanDerived>(derived));
  list.append(base);

  auto element = [](int32_t class_id, const std::string& fields) {
    return header(10, kRecordKind) + be32(class_id) + be32(static_cast<int32_t>(fields.size())) +
           fields;
  };
  std::string base_fields =
      header(1, kIntegerKind) + be32(1) + header(2, kStringKind) + be32(1) + "x";
  std::string derived_fields = header(1, kIntegerKind) + be32(2) + header(2, kStringKind) +
                               be32(2) + "y&" + header(3, kIntegerKind) + be32(3);
  EXPECT_EQ(encodeBytes(list), be32(1) + header(1, kIntegerKind) + be32(3) +
                                   element(910, base_fields) + element(911, derived_fields) +
                                   element(910, base_fields));

  std::string base_item =
      "\t<item>\n\t\t<object type = 'plan_base'>\n\t\t\t<a>1</a>\n\t\t\t<s>x</s>\n"
      "\t\t</object>\n\t</item>\n";
  EXPECT_EQ(textOf(list), "<version>1</version>\n<object type = 'plan_base_list'>\n" + base_item +
                              "\t<item>\n\t\t<object type = 'plan_derived'>\n\t\t\t<a>2</a>\n"
                              "\t\t\t<s>y&amp;</s>\n\t\t\t<b>3</b>\n\t\t</object>\n\t</item>\n" +
                              base_item + "</object>");
}

TEST(FieldPlanTest, SubRecordsNestedPastWhatOnePlanOpensAreWrittenTheSame) {
  Deep<24> deep;  // 24 sub-records of unknown length inside one another
  nameLevels(deep);
  std::string bytes = encodeBytes(deep);
  EXPECT_EQ(bytes, ReferenceBinary::encode(deep));
  // The innermost level, read back through every length.
  Deep<24> back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  EXPECT_TRUE(levelsNamed(back));

  // The text nests 49 tabs deep, past the depths whose plans are kept.
  std::string text = textOf(deep);
  EXPECT_NE(text.find(std::string(49, '\t') + "<name>level0</name>\n"), std::string::npos);
  EXPECT_EQ(text, ReferenceText::encode(deep));
}

// Work items with names of every length from 0 to 40 bytes, so that the buffer grows inside
// every kind of step at some list length.
TEST(FieldPlanTest, StepsAreExactWhereverTheBufferGrows) {
  WorkList list;
  for (int n = 1; n <= 160; ++n) {
    Work work;
    work.name = TqString(std::string(static_cast<size_t>(n % 41), 'w').c_str());
    work.id = n * 1000003;
    work.status.value = -n;
    work.mac_address.value = n % 2 ? "AA:BB" : "";
    list.append(std::move(work));
    ASSERT_EQ(encodeBytes(list), ReferenceBinary::encode(list)) << n << " items";
    int32_t length = list.encodeText();
    ASSERT_EQ(std::string(list.encoded()), ReferenceText::encode(list)) << n << " items";
    ASSERT_EQ(list.buffer()[length], 0) << "the text is followed by a zero byte";
  }
}

TEST(FieldPlanTest, PlansMadeByManyThreadsAtOnceWriteTheSame) {
  Job job;
  job.id = 7;
  job.name = "shot<1>";
  job.env.setVariable("PATH", "/bin");
  for (int w = 0; w < 3; ++w) {
    Work work;
    work.name = TqString(std::to_string(w).c_str());
    job.agenda.append(std::move(work));
  }
  JobList list;
  list.append(job);

  // The first writes of these classes in this process race to make the plans.
  const int kThreads = 4;
  std::vector<std::string> bytes(kThreads), texts(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      JobList copy = list;
      bytes[static_cast<size_t>(t)] = encodeBytes(copy);
      texts[static_cast<size_t>(t)] = textOf(copy);
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(bytes[static_cast<size_t>(t)], ReferenceBinary::encode(list)) << "thread " << t;
    EXPECT_EQ(texts[static_cast<size_t>(t)], ReferenceText::encode(list)) << "thread " << t;
  }
}

}  // namespace
}  // namespace tq::test

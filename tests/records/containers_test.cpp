// Lists and hashes: layout, order, replacement, growth and copying.
#include <gtest/gtest.h>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/random.h"
#include "support/sample_records.h"

namespace tq::test {
namespace {

JobIdList threeIds() {
  JobIdList list;
  for (int i = 1; i <= 3; ++i) list.append(JobId(i, i * 10));
  return list;
}

TEST(ListTest, EmptyListIsACountOfZeroAndNothingElse) {
  JobIdList list;
  EXPECT_EQ(encodeBytes(list), be32(1) + header(1, 1) + be32(0));
  JobIdList back;
  EXPECT_EQ(decodeBytes(back, encodeBytes(list)), kDecoded);
  EXPECT_EQ(back.count(), 0);
}

TEST(ListTest, RecordsKeepTheirOrder) {
  JobIdList list = threeIds();
  JobIdList back;
  decodeBytes(back, encodeBytes(list));
  ASSERT_EQ(back.count(), 3);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(back[i].id, i + 1);
    EXPECT_EQ(back[i].sub_id, (i + 1) * 10);
  }
  EXPECT_EQ(encodeBytes(back), encodeBytes(list));
  EXPECT_EQ(back.at(3), nullptr);
  EXPECT_EQ(back.at(-1), nullptr);
}

TEST(ListTest, DecodingAppendsToExistingElements) {
  JobIdList list = threeIds();
  JobIdList target;
  target.append(JobId(99, 0));
  decodeBytes(target, encodeBytes(list));
  ASSERT_EQ(target.count(), 4);
  EXPECT_EQ(target[0].id, 99);
  EXPECT_EQ(target[3].id, 3);
}

TEST(ListTest, ElementsOfTheWrongClassAddNothing) {
  std::string bytes = be32(1) + header(1, 1) + be32(2) + header(10, 4) + be32(33) + be32(0) +
                      header(10, 4) + be32(19) + be32(8) + header(1, 1) + be32(5);
  JobIdList list;
  decodeBytes(list, bytes);
  EXPECT_EQ(list.count(), 0);  // a foreign class ends the list
  std::string skipped = be32(1) + header(1, 1) + be32(2) + header(10, 1) + be32(3) + header(10, 4) +
                        be32(19) + be32(8) + header(1, 1) + be32(5);
  decodeBytes(list, skipped);
  ASSERT_EQ(list.count(), 1);  // a stray integer is skipped, the real element kept
  EXPECT_EQ(list[0].id, 5);
}

TEST(ListTest, StringListUsesStringFields) {
  StringList list;
  list.append("a");
  list.append("bc");
  EXPECT_EQ(encodeBytes(list), be32(1) + header(1, 1) + be32(2) + header(10, 3) + be32(1) + "a" +
                                   header(10, 3) + be32(2) + "bc");
  StringList back;
  decodeBytes(back, encodeBytes(list));
  ASSERT_EQ(back.count(), 2);
  EXPECT_EQ(back[1], TqString("bc"));
}

TEST(ListTest, CopiesAreDeep) {
  JobIdList list = threeIds();
  JobIdList copy(list);
  copy[0].id = 100;
  EXPECT_EQ(list[0].id, 1);
  JobIdList assigned;
  assigned = list;
  EXPECT_EQ(assigned.count(), 3);
  EXPECT_NE(&assigned[0], &list[0]);
}

// Elements appended, decoded and copied in every way keep their order and values, whatever
// they are taken out by; an element handed over keeps its address.
TEST(ListTest, ElementsComeOutAsTheyWentInHoweverTheyWereAdded) {
  JobIdList list;
  auto own = std::make_unique<JobId>(7, 70);
  JobId* ownAddress = own.get();
  list.append(JobId(1, 10));
  list.append(std::move(own));
  JobIdList three = threeIds();
  decodeBytes(list, encodeBytes(three));  // appended after the two above
  ASSERT_EQ(list.count(), 5);
  EXPECT_EQ(&list[1], ownAddress);
  JobIdList copy(list);
  JobIdList moved{JobIdList(list)};
  std::string bytes = encodeBytes(list);
  EXPECT_EQ(encodeBytes(copy), bytes);
  EXPECT_EQ(encodeBytes(moved), bytes);

  std::unique_ptr<JobId> taken = list.take(1);
  EXPECT_EQ(taken.get(), ownAddress);
  taken = list.take(2);  // a decoded element comes out in an allocation of its own
  ASSERT_NE(taken, nullptr);
  EXPECT_EQ(taken->id, 2);
  EXPECT_EQ(list.take(3), nullptr);
  EXPECT_EQ(list.take(-1), nullptr);
  ASSERT_EQ(list.count(), 3);
  EXPECT_EQ(list[0].id, 1);
  EXPECT_EQ(list[1].id, 1);
  EXPECT_EQ(list[2].id, 3);
}

// A list used as a queue: taking every element from the front while appending at the back
// keeps the values in order (blocks emptied on the way are freed; the sanitizer builds see
// any element destroyed twice or left behind).
TEST(ListTest, AListUsedAsAQueueKeepsItsOrder) {
  JobIdList queue;
  int next = 0, expected = 0;
  for (; next < 100; ++next) queue.append(JobId(next, 0));
  for (int round = 0; round < 5000; ++round) {
    queue.append(JobId(next++, 0));
    std::unique_ptr<JobId> front = queue.take(0);
    ASSERT_EQ(front->id, expected++);
  }
  EXPECT_EQ(queue.count(), 100);
  EXPECT_EQ(queue[99].id, next - 1);
}

// The count a stream declares is not trusted: a larger one builds what is there, a smaller
// one does not cut the elements that follow, and a negative or zero one reads nothing.
TEST(ListTest, TheDeclaredCountOnlyBoundsTheRoomTakenAhead) {
  auto element = [](int id) {
    return header(10, 4) + be32(19) + be32(8) + header(1, 1) + be32(id);
  };
  struct Case {
    int32_t declared;
    int elements;
    int expected;
  } cases[] = {{1 << 30, 3, 3}, {1, 3, 3}, {3, 3, 3}, {0, 2, 0}, {-5, 2, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE("declared " + std::to_string(c.declared));
    std::string bytes;
    for (int i = 0; i < c.elements; ++i) bytes += element(i + 1);
    std::string body = header(1, 1) + be32(c.declared) + bytes;
    JobIdList list;
    decodeBytes(list, be32(1) + body);
    ASSERT_EQ(list.count(), c.expected);
    for (int i = 0; i < c.expected; ++i) EXPECT_EQ(list[i].id, i + 1);
  }
}

TEST(HashTest, KeyHashIsTheSevenPowerSumOfSignedBytes) {
  EXPECT_EQ(HashSlots::keyHash(TqString("")), 0);
  EXPECT_EQ(HashSlots::keyHash(TqString("a")), 97);
  EXPECT_EQ(HashSlots::keyHash(TqString("ab")), 97 + 98 * 7);
  const char high[] = {static_cast<char>(200), 0};
  EXPECT_EQ(HashSlots::keyHash(TqString(high)), 200 - 256);
}

TEST(HashTest, RepeatedKeyKeepsOneEntryWithTheLaterValue) {
  StringHash hash;
  hash.insert("k", TqString("first"));
  hash.insert("k", TqString("second"));
  EXPECT_EQ(hash.count(), 1);
  ASSERT_NE(hash.find("k"), nullptr);
  EXPECT_EQ(*hash.find("k"), TqString("second"));
  EXPECT_EQ(hash.find("missing"), nullptr);
}

TEST(HashTest, GrowsPastItsFirstSizeAndFindsEveryKey) {
  platform::ScopedRandomSource fixed([] { return 7; });
  IntHash hash;
  EXPECT_EQ(hash.size(), 17);
  for (int i = 0; i < 2000; ++i) hash.insert(TqString("key" + std::to_string(i)), i);
  EXPECT_EQ(hash.count(), 2000);
  EXPECT_GT(hash.size(), 17 * 4 * 4);  // grew more than once
  for (int i = 0; i < 2000; ++i) {
    const int32_t* v = hash.find(TqString("key" + std::to_string(i)));
    ASSERT_NE(v, nullptr) << i;
    EXPECT_EQ(*v, i);
  }
}

TEST(HashTest, GrowthSizeIsFourTimesPlusOnePlusRandom) {
  platform::ScopedRandomSource fixed([] { return 142; });
  EXPECT_EQ(HashSlots::growthSize(17), 17 * 4 + 1 + 42);
}

TEST(HashTest, RemovedSlotsDoNotHideLaterKeys) {
  IntHash hash;
  for (int i = 0; i < 5; ++i) hash.insert(TqString("k" + std::to_string(i)), i);
  EXPECT_TRUE(hash.remove("k1"));
  EXPECT_FALSE(hash.remove("k1"));
  EXPECT_EQ(hash.count(), 4);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(hash.contains(TqString("k" + std::to_string(i))), i != 1);
  hash.insert("k1", 11);
  EXPECT_EQ(*hash.find("k1"), 11);
}

TEST(HashTest, KeysSharingOneHashDoNotBlowUpTheTable) {
  // "a" followed by k NUL-free bytes that cancel out: (b0 + 7*b1) stays constant.
  IntHash hash;
  int inserted = 0;
  for (int b1 = 1; b1 < 18; ++b1) {
    int b0 = 7 * 18 + 1 - 7 * b1;  // b0 + 7*b1 == 127
    if (b0 <= 0 || b0 > 127) continue;
    char key[] = {static_cast<char>(b0), static_cast<char>(b1), 0};
    hash.insert(TqString(key), b1);
    ++inserted;
  }
  ASSERT_GT(inserted, 10);
  EXPECT_EQ(hash.count(), inserted);
  EXPECT_LT(hash.size(), 100000);
  for (int b1 = 1; b1 < 18; ++b1) {
    int b0 = 7 * 18 + 1 - 7 * b1;
    if (b0 <= 0 || b0 > 127) continue;
    char key[] = {static_cast<char>(b0), static_cast<char>(b1), 0};
    ASSERT_NE(hash.find(TqString(key)), nullptr);
    EXPECT_EQ(*hash.find(TqString(key)), b1);
  }
}

// Swapping the byte pair (a + 7, b) for (a, b + 1) keeps the key hash, so 15 pairs make 32768
// keys that share one hash and one probe sequence. They must neither grow the table without end
// nor make each insertion walk the whole table.
TEST(HashTest, ManyKeysSharingOneHashStayFast) {
  const int pairs = 15;
  std::vector<std::string> keys;
  for (int bits = 0; bits < (1 << pairs); ++bits) {
    std::string key;
    for (int p = 0; p < pairs; ++p) {
      bool swapped = (bits >> p) & 1;
      key += static_cast<char>(swapped ? 'a' : 'a' + 7);
      key += static_cast<char>(swapped ? 'c' : 'b');
    }
    keys.push_back(key);
  }
  const int32_t h = HashSlots::keyHash(TqString(keys[0]));
  for (const std::string& k : {keys[1], keys[12345], keys.back()})
    ASSERT_EQ(HashSlots::keyHash(TqString(k)), h);
  IntHash hash;
  for (size_t i = 0; i < keys.size(); ++i) hash.insert(TqString(keys[i]), static_cast<int32_t>(i));
  EXPECT_EQ(hash.count(), static_cast<int32_t>(keys.size()));
  EXPECT_LT(hash.size(), static_cast<int32_t>(keys.size()) * 40);
  for (size_t i = 0; i < keys.size(); i += 97) {
    const int32_t* v = hash.find(TqString(keys[i]));
    ASSERT_NE(v, nullptr) << i;
    EXPECT_EQ(*v, static_cast<int32_t>(i));
  }
  EXPECT_TRUE(hash.remove(TqString(keys[5])));
  EXPECT_EQ(hash.find(TqString(keys[5])), nullptr);
  hash.insert(TqString(keys[5]), -5);
  EXPECT_EQ(*hash.find(TqString(keys[5])), -5);
  EXPECT_EQ(hash.count(), static_cast<int32_t>(keys.size()));
}

TEST(HashTest, AMovedFromHashIsEmptyAndUsable) {
  IntHash a;
  a.insert("k", 1);
  IntHash b(std::move(a));
  EXPECT_EQ(*b.find("k"), 1);
  a.insert("again", 2);  // NOLINT(bugprone-use-after-move): moved-from tables stay usable
  EXPECT_EQ(a.count(), 1);
  IntHash c;
  c = std::move(b);
  EXPECT_EQ(c.count(), 1);
  EXPECT_EQ(b.count(), 0);
  b.insert("x", 3);
  EXPECT_EQ(*b.find("x"), 3);
}

TEST(HashTest, WireLayoutPairsKeysWithValues) {
  IntHash hash;
  hash.insert("one", 1);
  EXPECT_EQ(encodeBytes(hash), be32(1) + header(1, 1) + be32(1) + header(10, 3) + be32(3) + "one" +
                                   header(30, 1) + be32(1));
  StringHash strings;
  strings.insert("a", TqString("x"));
  strings.insert("b", TqString("y"));
  StringHash back;
  decodeBytes(back, encodeBytes(strings));
  EXPECT_EQ(back.count(), 2);
  EXPECT_EQ(*back.find("b"), TqString("y"));
}

TEST(HashTest, CopiesAreDeep) {
  StringHash hash;
  hash.insert("a", TqString("x"));
  StringHash copy(hash);
  *copy.find("a") = "changed";
  EXPECT_EQ(*hash.find("a"), TqString("x"));
  EXPECT_EQ(copy.count(), 1);
}

}  // namespace
}  // namespace tq::test

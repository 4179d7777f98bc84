#include "platform/file_access.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace tq::platform {
namespace {

using Kind = AccessEntry::Kind;

AccessEntry entry(Kind kind, bool everyone, uint32_t mask) {
  AccessEntry e;
  e.kind = kind;
  e.everyone = everyone;
  e.mask = mask;
  return e;
}

TEST(EveryoneAccessTest, FirstAllowedEveryoneEntryDecides) {
  // Read only (FILE_READ_DATA | FILE_READ_EA | FILE_READ_ATTRIBUTES) is not full access.
  EXPECT_FALSE(everyoneGrantedFullAccess({entry(Kind::kAllowed, true, 0x89)}));
  // Every specific right, alone or among generic bits.
  EXPECT_TRUE(everyoneGrantedFullAccess({entry(Kind::kAllowed, true, 0x1FF)}));
  EXPECT_TRUE(everyoneGrantedFullAccess({entry(Kind::kAllowed, true, 0x001F01FF)}));
  // One right missing (0x100, FILE_WRITE_ATTRIBUTES).
  EXPECT_FALSE(everyoneGrantedFullAccess({entry(Kind::kAllowed, true, 0x0FF)}));
  // Only the first Everyone entry counts; later ones do not rescue it.
  EXPECT_FALSE(everyoneGrantedFullAccess(
      {entry(Kind::kAllowed, true, 0x89), entry(Kind::kAllowed, true, 0x1FF)}));
}

TEST(EveryoneAccessTest, OtherTrusteesAndEntryKindsAreSkipped) {
  EXPECT_FALSE(everyoneGrantedFullAccess({}));
  EXPECT_FALSE(everyoneGrantedFullAccess({entry(Kind::kAllowed, false, 0x1FF)}));
  EXPECT_TRUE(
      everyoneGrantedFullAccess({entry(Kind::kAllowed, false, 0x1), entry(Kind::kOther, true, 0),
                                 entry(Kind::kAllowed, true, 0x1FF)}));
}

TEST(EveryoneAccessTest, EarlierDenyForEveryoneWins) {
  EXPECT_FALSE(everyoneGrantedFullAccess(
      {entry(Kind::kDenied, true, 0x2), entry(Kind::kAllowed, true, 0x1FF)}));
  // A deny of no file right (say, only SYNCHRONIZE) takes nothing away.
  EXPECT_TRUE(everyoneGrantedFullAccess(
      {entry(Kind::kDenied, true, 0x00100000), entry(Kind::kAllowed, true, 0x1FF)}));
  // A deny for someone else is not Everyone's business.
  EXPECT_TRUE(everyoneGrantedFullAccess(
      {entry(Kind::kDenied, false, 0x1FF), entry(Kind::kAllowed, true, 0x1FF)}));
}

TEST(EveryoneAccessTest, PosixRuleNeedsAllOtherBits) {
  EXPECT_TRUE(otherBitsGrantFullAccess(0777));
  EXPECT_TRUE(otherBitsGrantFullAccess(0007));
  EXPECT_FALSE(otherBitsGrantFullAccess(0776));
  EXPECT_FALSE(otherBitsGrantFullAccess(0774));
  EXPECT_FALSE(otherBitsGrantFullAccess(0770));
}

#ifndef _WIN32
TEST(EveryoneAccessTest, PosixFilesAreJudgedByTheirModeBits) {
  namespace fs = std::filesystem;
  test::TempDir dir;
  std::string path = dir.file("shared.txt");
  std::ofstream(path) << "x";
  fs::permissions(path, fs::perms::owner_all | fs::perms::others_read);
  EXPECT_FALSE(everyoneHasFullAccess(path));
  fs::permissions(path, fs::perms::owner_read | fs::perms::others_all);
  EXPECT_TRUE(everyoneHasFullAccess(path));
}
#endif

#ifdef _WIN32
// The whole road through the system: a real access list on a real file.
class WindowsAccessListTest : public testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(path_) << "x";
    // Some file systems keep no access lists; there is nothing to check then.
    if (!setAccessListForTest(path_, {entry(Kind::kAllowed, true, 0x1FF)})) {
      GTEST_SKIP() << "the file system keeps no access lists";
    }
  }
  test::TempDir dir_;
  std::string path_ = dir_.file("acl.txt");
};

TEST_F(WindowsAccessListTest, ReadOnlyForEveryoneIsNotFullAccess) {
  ASSERT_TRUE(setAccessListForTest(path_, {entry(Kind::kAllowed, true, 0x120089)}));
  EXPECT_FALSE(everyoneHasFullAccess(path_));
}

TEST_F(WindowsAccessListTest, EverySpecificRightForEveryoneIsFullAccess) {
  ASSERT_TRUE(setAccessListForTest(
      path_, {entry(Kind::kAllowed, false, 0x1F01FF), entry(Kind::kAllowed, true, 0x1F01FF)}));
  EXPECT_TRUE(everyoneHasFullAccess(path_));
}

TEST_F(WindowsAccessListTest, DenyBeforeAllowIsNotFullAccess) {
  ASSERT_TRUE(setAccessListForTest(
      path_, {entry(Kind::kDenied, true, 0x2), entry(Kind::kAllowed, true, 0x1F01FF)}));
  EXPECT_FALSE(everyoneHasFullAccess(path_));
}

TEST_F(WindowsAccessListTest, NoEntryForEveryoneIsNotFullAccess) {
  ASSERT_TRUE(setAccessListForTest(path_, {entry(Kind::kAllowed, false, 0x1F01FF)}));
  EXPECT_FALSE(everyoneHasFullAccess(path_));
}
#else
TEST(EveryoneAccessTest, AccessListsCannotBeSetOnPosix) {
  test::TempDir dir;
  std::ofstream(dir.file("f")) << "x";
  EXPECT_FALSE(setAccessListForTest(dir.file("f"), {entry(Kind::kAllowed, true, 0x1FF)}));
}
#endif

TEST(EveryoneAccessTest, MissingFileWarnsAndAnswersFalse) {
  test::TempDir dir;
  test::LogCapture log;
  EXPECT_FALSE(everyoneHasFullAccess(dir.file("missing")));
  EXPECT_EQ(log.text().rfind("WARNING: unable to get file security DACL [", 0), 0u) << log.text();
  EXPECT_EQ(log.text().back(), '\n');
}

}  // namespace
}  // namespace tq::platform

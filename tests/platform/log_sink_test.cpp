#include "platform/log_sink.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <thread>

#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

using test::readTextFile;
using test::SinkReset;

std::tm dayOfYear(int year, int yday) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_yday = yday;
  return t;
}

TEST(LogSinkTest, WithoutFileNamePiecesGoToStandardOutput) {
  SinkReset reset;
  testing::internal::CaptureStdout();
  logSink().write("value ").write(int32_t{-5}).write(" ").write(uint32_t{4000000000u});
  logLine(" done");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "value -5 4000000000 done\n");
  EXPECT_EQ(logSink().currentTarget(), "");
}

TEST(LogSinkTest, PlainFileReceivesEveryPieceAndNameIsSetOnce) {
  SinkReset reset;
  test::TempDir dir;
  std::string first = dir.file("first.log");
  logSink().setFile(first, LogSink::kPlainFile);
  logSink().setFile(dir.file("second.log"), LogSink::kPlainFile);
  EXPECT_EQ(logSink().fileName(), first);
  logLine("one");
  logSink().write("two").write(int32_t{2}).write("\n");
  EXPECT_EQ(readTextFile(first), "one\ntwo2\n");
  EXPECT_FALSE(std::ifstream(dir.file("second.log")).good());
}

TEST(LogSinkTest, WeeklyNameUsesDayOfYearDividedBySeven) {
  SinkReset reset;
  logSink().setFile("C:\\logs\\supelog", LogSink::kWeeklyFile);
  EXPECT_EQ(logSink().targetAt(dayOfYear(2008, 0)), "C:\\logs\\supelog.0");     // 1 January
  EXPECT_EQ(logSink().targetAt(dayOfYear(2008, 6)), "C:\\logs\\supelog.0");     // 7 January
  EXPECT_EQ(logSink().targetAt(dayOfYear(2008, 7)), "C:\\logs\\supelog.1");     // 8 January
  EXPECT_EQ(logSink().targetAt(dayOfYear(2008, 365)), "C:\\logs\\supelog.52");  // 31 Dec, leap
  EXPECT_EQ(logSink().targetAt(dayOfYear(2007, 364)), "C:\\logs\\supelog.52");  // 31 Dec
  // A later request changes only the mode.
  setLogFile("other", LogSink::kPlainFile);
  EXPECT_EQ(logSink().targetAt(dayOfYear(2008, 365)), "C:\\logs\\supelog");
}

TEST(LogSinkTest, WeeklyFileIsWrittenUnderTodaysWeek) {
  SinkReset reset;
  test::TempDir dir;
  std::string base = dir.file("weekly");
  logSink().setFile(base, LogSink::kWeeklyFile);
  std::string target = logSink().currentTarget();
  ASSERT_EQ(target.rfind(base + ".", 0), 0u);
  int week = std::stoi(target.substr(base.size() + 1));
  EXPECT_GE(week, 0);
  EXPECT_LE(week, 52);
  logLine("hello");
  EXPECT_EQ(readTextFile(target), "hello\n");
}

TEST(LogSinkTest, UnopenableFileSwallowsThePiece) {
  SinkReset reset;
  test::TempDir dir;
  logSink().setFile(dir.file("no-such-dir") + "/x.log", LogSink::kPlainFile);
  testing::internal::CaptureStdout();
  logLine("lost");
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
}

TEST(LogSinkTest, LockIsExclusiveAcrossThreads) {
  LogLock held;
  bool other_got_it = true;
  std::thread other([&] {
    other_got_it = tryLockLog();
    if (other_got_it) unlockLog();
  });
  other.join();
  EXPECT_FALSE(other_got_it);
}

TEST(LogSinkTest, LockIsFreeAfterTheScope) {
  { LogLock held; }
  ASSERT_TRUE(tryLockLog());
  unlockLog();
}

}  // namespace
}  // namespace tq

namespace tq {
namespace {

// The lock is re-entrant for the thread that holds it, as a critical section is: a writer that
// logs while holding it must not deadlock.
TEST(LogLockTest, TheHoldingThreadMayTakeItAgain) {
  LogLock outer;
  EXPECT_TRUE(tryLockLog());
  unlockLog();
  LogLock inner;  // with a plain mutex this would never return
  EXPECT_TRUE(tryLockLog());
  unlockLog();
}

}  // namespace
}  // namespace tq

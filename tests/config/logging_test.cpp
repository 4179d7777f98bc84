#include "config/logging.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <regex>
#include <sstream>

#include "config/identity.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

using test::readTextFile;
using test::SinkReset;

namespace fs = std::filesystem;

std::tm localTimeOf(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  return t;
}

TEST(TimeStampTest, FormatMatchesTheFixedLayout) {
  EXPECT_EQ(formatTimeStamp(localTimeOf(2007, 3, 7, 9, 5, 3), "render01"),
            "[Mar 7, 2007 9:05:03] render01 : ");
  EXPECT_EQ(formatTimeStamp(localTimeOf(1999, 12, 31, 23, 59, 59), "h"),
            "[Dec 31, 1999 23:59:59] h : ");
  EXPECT_EQ(formatTimeStamp(localTimeOf(2024, 1, 1, 0, 0, 0), "node"),
            "[Jan 1, 2024 0:00:00] node : ");
}

TEST(TimeStampTest, InvalidMonthGivesNothingAndLongHostsAreCut) {
  std::tm bad = localTimeOf(2007, 13, 1, 0, 0, 0);
  EXPECT_EQ(formatTimeStamp(bad, "h"), "");
  std::string host(2000, 'h');
  std::string stamp = formatTimeStamp(localTimeOf(2007, 3, 7, 9, 5, 3), host);
  EXPECT_EQ(stamp, "[Mar 7, 2007 9:05:03] " + std::string(1023, 'h') + " : ");
}

TEST(TimeStampTest, WritesTheCurrentStampForThisHost) {
  test::LogCapture log;
  timeStamp() << "hello";
  std::string text = log.text();
  std::smatch match;
  ASSERT_TRUE(std::regex_match(
      text, match,
      std::regex(R"(\[(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) ([1-9]\d?), (\d{4}) )"
                 R"(([1-9]?\d):(\d\d):(\d\d)\] (.*) : hello)")))
      << text;
  EXPECT_EQ(match[7].str(), hostName().str());
}

TEST(LogWriterTest, ChainsTextNumbersAndLibraryStrings) {
  test::LogCapture log;
  TqString name("job.conf");
  logSink() << "read " << name << " " << int32_t{-3} << " " << uint32_t{7} << "\n";
  write(logSink(), TqString("end\n"));
  EXPECT_EQ(log.text(), "read job.conf -3 7\nend\n");
}

TEST(LogDestinationTest, StderrAndStdoutKeepStandardOutput) {
  SinkReset reset;
  LogService service;
  for (const char* name : {"stderr", "stdout"}) {
    testing::internal::CaptureStdout();
    testing::internal::CaptureStderr();
    service.setLogDestination(name, 3);
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "pipe output to STDOUT\n");
    EXPECT_EQ(logSink().fileName(), "");
    EXPECT_TRUE(service.logName().empty());
  }
}

TEST(LogDestinationTest, EmptyNameChangesNothing) {
  SinkReset reset;
  LogService service;
  testing::internal::CaptureStdout();
  service.setLogDestination("", 3);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "");
  EXPECT_EQ(logSink().fileName(), "");
}

TEST(LogDestinationTest, FileNameSwitchesToWeeklyFiles) {
  SinkReset reset;
  test::TempDir dir;
  std::string name = dir.file("service.log");
  LogService service;
  testing::internal::CaptureStdout();
  service.setLogDestination(TqString(name), 4);
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "redirecting output to: '" + name + "'\n");
  EXPECT_EQ(logSink().fileName(), name);
  EXPECT_EQ(logSink().mode(), LogSink::kWeeklyFile);
  EXPECT_EQ(service.keepCount(), 4);
  logLine("to the week's file");
  EXPECT_EQ(readTextFile(logSink().currentTarget()), "to the week's file\n");
}

class RemoveOldLogsTest : public testing::Test {
 protected:
  // Weekly files base.<week>, each modified `age_hours` before now.
  void makeWeekly(int week, int age_hours) {
    std::string path = base_ + "." + std::to_string(week);
    std::ofstream(path) << "week " << week << "\n";
    fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(age_hours));
  }
  bool weeklyExists(int week) const { return fs::exists(base_ + "." + std::to_string(week)); }

  SinkReset reset_;
  test::TempDir dir_;
  std::string base_ = dir_.file("app.log");
};

TEST_F(RemoveOldLogsTest, KeepsTheNewestByModificationTime) {
  makeWeekly(3, 3 * 168);
  makeWeekly(4, 2 * 168);
  makeWeekly(5, 168);
  // The service's own lines go to a captured file, apart from the weekly files under test.
  test::LogCapture log;
  LogService service;
  service.setLogDestination(TqString(base_), 2);
  service.removeOldLogs();
  EXPECT_FALSE(weeklyExists(3));
  EXPECT_TRUE(weeklyExists(4));
  EXPECT_TRUE(weeklyExists(5));
  std::string logged = readTextFile(logSink().currentTarget());
  EXPECT_NE(logged.find("] " + hostName().str() + " : removing log file: " + base_ + ".3\n"),
            std::string::npos)
      << logged;
}

TEST_F(RemoveOldLogsTest, OrderIsByTimeNotByWeekNumber) {
  // Last year's week 50 is older than this year's week 2.
  makeWeekly(50, 40 * 168);
  makeWeekly(2, 168);
  makeWeekly(1, 2 * 168);
  test::LogCapture log;
  LogService service;
  service.setLogDestination(TqString(base_), 1);
  service.removeOldLogs();
  EXPECT_TRUE(weeklyExists(2));
  EXPECT_FALSE(weeklyExists(1));
  EXPECT_FALSE(weeklyExists(50));
}

TEST_F(RemoveOldLogsTest, NothingHappensWithoutANameOrWithANegativeCount) {
  makeWeekly(3, 168);
  LogService unnamed;
  unnamed.removeOldLogs();
  EXPECT_TRUE(weeklyExists(3));
  test::LogCapture log;
  LogService negative;
  negative.setLogDestination(TqString(base_), -1);
  negative.removeOldLogs();
  EXPECT_TRUE(weeklyExists(3));
}

TEST_F(RemoveOldLogsTest, OverlongWeeklyNamesAreNotChecked) {
  // base of 257 characters: base.0 to base.9 have 259, base.10 to base.52 have 260 or more.
  std::string base = dir_.path() + static_cast<char>(fs::path::preferred_separator);
  base += std::string(257 - base.size(), 'n');
  test::LogCapture log;
  LogService service;
  service.setLogDestination(TqString(base), 0);
  service.removeOldLogs();
  std::string text = readTextFile(logSink().currentTarget());
  size_t warnings = 0;
  for (size_t at = text.find("WARNING: "); at != std::string::npos;
       at = text.find("WARNING: ", at + 1)) {
    ++warnings;
  }
  EXPECT_EQ(warnings, 43u) << text;
  EXPECT_NE(text.find("WARNING: " + base + ".10 exceeds MAX_PATH.\n"), std::string::npos);
  EXPECT_EQ(text.find("WARNING: " + base + ".9 exceeds"), std::string::npos);
}

}  // namespace
}  // namespace tq

#include "config/defaults.h"

#include <gtest/gtest.h>

#include "platform/directories.h"
#include "platform/environment.h"

namespace tq {
namespace {

using platform::ScopedEnvironmentVariable;

TEST(DefaultsTest, PathsOnTheInstallDirectoryStartWithTheSuffixBeforeAnyIsSet) {
  ScopedInstallDirectory none("");
  EXPECT_EQ(defaultText(8), TqString("\\logs"));
  EXPECT_EQ(defaultText(13), TqString("\\logs\\supelog"));
  EXPECT_EQ(defaultText(302), TqString("\\types;\\jobtypes;\\jobtypes"));
}

TEST(DefaultsTest, PathsFollowTheInstallDirectory) {
  ScopedInstallDirectory install("D:\\kerv");
  EXPECT_EQ(defaultText(8), TqString("D:\\kerv\\logs"));
  EXPECT_EQ(defaultText(102), TqString("D:\\kerv\\sbin\\proxy.exe"));
  EXPECT_EQ(defaultText(609), TqString("D:\\kerv\\etc\\report.mail"));
  setInstallDirectory("E:\\other");
  EXPECT_EQ(defaultText(114), TqString("E:\\other\\logs\\workerlog"));
}

TEST(DefaultsTest, ScopedInstallDirectoryRestoresThePreviousOne) {
  setInstallDirectory("C:\\before");
  { ScopedInstallDirectory inner("C:\\inner"); }
  EXPECT_EQ(installDirectory(), TqString("C:\\before"));
  setInstallDirectory("");
}

TEST(DefaultsTest, JobTypeSearchPathForAPlainInstallDirectory) {
  ScopedInstallDirectory install("C:\\farm\\kerv");
  TqString expected("C:\\farm\\kerv\\types;C:\\farm\\jobtypes;C:\\farm\\jobtypes");
  EXPECT_EQ(defaultText(112), expected);
  EXPECT_EQ(defaultText(302), expected);
  EXPECT_EQ(defaultText(402), expected);
}

TEST(DefaultsTest, JobTypeSearchPathForTheDefaultInstallDirectory) {
  EXPECT_EQ(defaultText(0), TqString("C:\\Program Files\\orl\\kerv"));
  EXPECT_EQ(jobTypeSearchPath(defaultText(0)),
            TqString("C:\\Program Files\\orl\\kerv\\types;C:\\Program Files\\orl\\jobtypes;"
                     "C:\\Program Files (x86)\\orl\\jobtypes"));
}

TEST(DefaultsTest, JobTypeSearchPathParentRules) {
  // Trailing and doubled separators around the last component go.
  EXPECT_EQ(jobTypeSearchPath("C:\\farm\\\\kerv\\\\"),
            TqString("C:\\farm\\\\kerv\\\\\\types;C:\\farm\\jobtypes;C:\\farm\\jobtypes"));
  // No separator at all: the parent is "\" alone.
  EXPECT_EQ(jobTypeSearchPath("kerv"), TqString("kerv\\types;\\jobtypes;\\jobtypes"));
  // Forward slashes count as separators.
  EXPECT_EQ(jobTypeSearchPath("/opt/tq/kerv"),
            TqString("/opt/tq/kerv\\types;/opt/tq\\jobtypes;/opt/tq\\jobtypes"));
  EXPECT_EQ(jobTypeSearchPath("C:\\kerv"), TqString("C:\\kerv\\types;C:\\jobtypes;C:\\jobtypes"));
}

TEST(DefaultsTest, AnAlreadyX86ProgramFilesIsNotDoubled) {
  EXPECT_EQ(jobTypeSearchPath("C:\\Program Files (x86)\\orl\\kerv"),
            TqString("C:\\Program Files (x86)\\orl\\kerv\\types;"
                     "C:\\Program Files (x86)\\orl\\jobtypes;"
                     "C:\\Program Files (x86)\\orl\\jobtypes"));
}

TEST(DefaultsTest, WindowsAndTemporaryDirectoryPaths) {
  ScopedEnvironmentVariable windir(platform::kWindowsDirectoryVariable, "C:\\WINDOWS");
  ScopedEnvironmentVariable tempdir(platform::kTemporaryDirectoryVariable, "C:\\TEMP\\");
  for (int n : {1, 101, 301, 401, 501, 601}) {
    EXPECT_EQ(defaultText(n), TqString("C:\\WINDOWS\\tq.conf")) << n;
  }
  EXPECT_EQ(defaultText(19), TqString("C:\\WINDOWS\\tqwrk.conf"));
  EXPECT_EQ(defaultText(124), TqString("C:\\WINDOWS\\tqsslcert.pem"));
  EXPECT_EQ(defaultText(38), TqString("C:\\WINDOWS\\tqsslkey.pem"));
  EXPECT_EQ(defaultText(111), TqString("C:\\WINDOWS\\Temp"));
  for (int n : {32, 304, 406}) EXPECT_EQ(defaultText(n), TqString("C:\\TEMP")) << n;
}

TEST(DefaultsTest, ConstantTexts) {
  EXPECT_EQ(defaultText(117), TqString("remote"));
  EXPECT_EQ(defaultText(123), TqString("local,supervisor"));
  EXPECT_EQ(defaultText(130), TqString("\\"));
  EXPECT_EQ(defaultText(201), TqString("/src/api/perl/tq"));
  EXPECT_EQ(defaultText(16), TqString("Internal"));
  EXPECT_EQ(defaultText(121), TqString(""));
  EXPECT_EQ(defaultText(506), TqString("mysql"));
}

TEST(DefaultsTest, NumbersTheClientUses) {
  EXPECT_EQ(defaultNumber(10), 50001);
  EXPECT_EQ(defaultNumber(48), 44444);
  EXPECT_EQ(defaultNumber(49), 50002);
  EXPECT_EQ(defaultNumber(701), 50002);
  EXPECT_EQ(defaultNumber(113), 50011);
  EXPECT_EQ(defaultNumber(305), 8);
  EXPECT_EQ(defaultNumber(306), 600000);
}

TEST(DefaultsTest, OtherNumbersAndSharedEntries) {
  EXPECT_EQ(defaultNumber(2), 9999);
  EXPECT_EQ(defaultNumber(31), 9999);
  EXPECT_EQ(defaultNumber(24), 7174);
  EXPECT_EQ(defaultNumber(53), 5242880);
  EXPECT_EQ(defaultNumber(131), 524288);
  EXPECT_EQ(defaultNumber(126), 8);
  EXPECT_EQ(defaultNumber(610), 144);
  EXPECT_EQ(defaultNumber(116), 43200);
}

TEST(DefaultsTest, NumbersWithoutAnEntry) {
  for (int n : {-1, 1, 14, 54, 100, 300, 301, 999, 100000}) {
    EXPECT_EQ(defaultNumber(n), 0) << n;
  }
  for (int n : {-1, 10, 14, 54, 100, 306, 999}) {
    EXPECT_TRUE(defaultText(n).empty()) << n;
  }
}

}  // namespace
}  // namespace tq

#include "platform/directories.h"

#include <gtest/gtest.h>

#include "platform/environment.h"

namespace tq::platform {
namespace {

TEST(DirectoriesTest, TrimRemovesExactlyOneTrailingSeparator) {
  EXPECT_EQ(trimOneTrailingSeparator("C:\\TEMP\\"), "C:\\TEMP");
  EXPECT_EQ(trimOneTrailingSeparator("/tmp/"), "/tmp");
  EXPECT_EQ(trimOneTrailingSeparator("C:\\TEMP\\\\"), "C:\\TEMP\\");
  EXPECT_EQ(trimOneTrailingSeparator("C:\\TEMP"), "C:\\TEMP");
  EXPECT_EQ(trimOneTrailingSeparator("\\"), "");
  EXPECT_EQ(trimOneTrailingSeparator(""), "");
}

TEST(DirectoriesTest, VariablesRedirectBothDirectoriesAndAreTrimmed) {
  ScopedEnvironmentVariable windir(kWindowsDirectoryVariable, "C:\\WINNT\\");
  ScopedEnvironmentVariable tempdir(kTemporaryDirectoryVariable, "C:\\TEMP\\");
  EXPECT_EQ(windowsDirectory(), "C:\\WINNT");
  EXPECT_EQ(temporaryDirectory(), "C:\\TEMP");
}

TEST(DirectoriesTest, EmptyVariableDoesNotRedirect) {
  ScopedEnvironmentVariable windir(kWindowsDirectoryVariable, "");
  ScopedEnvironmentVariable tempdir(kTemporaryDirectoryVariable, "");
  EXPECT_EQ(windowsDirectory(), trimOneTrailingSeparator(systemWindowsDirectory()));
  EXPECT_EQ(temporaryDirectory(), trimOneTrailingSeparator(systemTemporaryDirectory()));
  EXPECT_FALSE(temporaryDirectory().empty());
  EXPECT_FALSE(windowsDirectory().empty());
}

#ifndef _WIN32
TEST(DirectoriesTest, PosixStandInsAreEtcAndTmpdir) {
  EXPECT_EQ(systemWindowsDirectory(), "/etc");
  {
    ScopedEnvironmentVariable tmpdir("TMPDIR", "/var/scratch/");
    EXPECT_EQ(systemTemporaryDirectory(), "/var/scratch/");
    ScopedEnvironmentVariable tempdir(kTemporaryDirectoryVariable, "");
    EXPECT_EQ(temporaryDirectory(), "/var/scratch");
  }
  ScopedEnvironmentVariable tmpdir("TMPDIR", "");
  EXPECT_EQ(systemTemporaryDirectory(), "/tmp");
}
#else
TEST(DirectoriesTest, WindowsAnswersComeFromTheSystem) {
  // GetTempPathA ends its answer with '\'; the trimmed form must not.
  std::string system_temp = systemTemporaryDirectory();
  ASSERT_FALSE(system_temp.empty());
  EXPECT_EQ(system_temp.back(), '\\');
  ScopedEnvironmentVariable tempdir(kTemporaryDirectoryVariable, "");
  EXPECT_NE(temporaryDirectory().back(), '\\');
}
#endif

}  // namespace
}  // namespace tq::platform

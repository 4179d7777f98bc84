#include "platform/drives.h"

#include <gtest/gtest.h>

#include "platform/file_system.h"

namespace tq::platform {
namespace {

TEST(DrivesTest, DriveNamesCoverTheAlphabetOnly) {
  EXPECT_EQ(driveName(0), "A:");
  EXPECT_EQ(driveName(25), "Z:");
  EXPECT_EQ(driveName(-1), "");
  EXPECT_EQ(driveName(26), "");
}

TEST(DrivesTest, QueriesAnswerForRealDrivesAndRefuseOtherNames) {
  for (const char* bad : {"", "C", "C:\\", "1:", "CC:"}) {
    EXPECT_EQ(networkDriveTarget(bad), "") << bad;
    EXPECT_EQ(driveDeviceName(bad), "") << bad;
  }
#ifdef _WIN32
  // The drive of the working directory exists and stands for some device.
  std::string cwd = currentDirectory();
  if (cwd.size() < 2 || cwd[1] != ':') GTEST_SKIP() << "working directory without a drive";
  int index = (cwd[0] | 0x20) - 'a';
  EXPECT_NE(logicalDriveMask() & (1u << index), 0u);
  EXPECT_NE(driveDeviceName(driveName(index)), "");
  EXPECT_EQ(logicalDriveMask() >> 26, 0u);
#else
  EXPECT_EQ(logicalDriveMask(), 0u);
  EXPECT_EQ(driveDeviceName("C:"), "");
  EXPECT_EQ(networkDriveTarget("C:"), "");
#endif
}

}  // namespace
}  // namespace tq::platform

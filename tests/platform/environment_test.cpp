#include "platform/environment.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace tq::platform {
namespace {

TEST(EnvironmentTest, SetGetAndUnset) {
  const std::string name = "TQ_PLATFORM_TEST_VARIABLE";
  unsetEnvironmentVariable(name);
  EXPECT_FALSE(hasEnvironmentVariable(name));
  EXPECT_EQ(environmentVariable(name), "");

  ASSERT_TRUE(setEnvironmentVariable(name, "a value=with equals"));
  EXPECT_TRUE(hasEnvironmentVariable(name));
  EXPECT_EQ(environmentVariable(name), "a value=with equals");

  std::vector<std::string> entries = environmentEntries();
  EXPECT_NE(std::find(entries.begin(), entries.end(), name + "=a value=with equals"),
            entries.end());

  EXPECT_TRUE(unsetEnvironmentVariable(name));
  EXPECT_FALSE(hasEnvironmentVariable(name));
}

TEST(EnvironmentTest, RefusesMalformedNamesAndValues) {
  EXPECT_FALSE(setEnvironmentVariable("", "x"));
  EXPECT_FALSE(setEnvironmentVariable("A=B", "x"));
  EXPECT_FALSE(setEnvironmentVariable(std::string("A\0B", 3), "x"));
  EXPECT_FALSE(setEnvironmentVariable("TQ_PLATFORM_TEST_NUL", std::string("a\0b", 3)));
  EXPECT_FALSE(hasEnvironmentVariable("TQ_PLATFORM_TEST_NUL"));
  EXPECT_EQ(environmentVariable("A=B"), "");
}

TEST(EnvironmentTest, ScopedVariableRestoresValueOrAbsence) {
  const std::string name = "TQ_PLATFORM_TEST_SCOPED";
  unsetEnvironmentVariable(name);
  {
    ScopedEnvironmentVariable scoped(name, "inner");
    EXPECT_EQ(environmentVariable(name), "inner");
  }
  EXPECT_FALSE(hasEnvironmentVariable(name));

  setEnvironmentVariable(name, "outer");
  {
    ScopedEnvironmentVariable scoped(name, "inner");
    EXPECT_EQ(environmentVariable(name), "inner");
  }
  EXPECT_EQ(environmentVariable(name), "outer");
  unsetEnvironmentVariable(name);
}

}  // namespace
}  // namespace tq::platform

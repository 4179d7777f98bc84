// The record registry: exactly the published classes can be created, each with its own
// identity, and every other id is refused with a log line.
#include "job/registry.h"

#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>

#include "config/config_record.h"
#include "job/job_records.h"
#include "support/log_capture.h"

namespace tq::test {
namespace {

const std::map<int32_t, std::string> kRegistered = {
    {1, "job"},
    {4, "subjob"},
    {5, "job_list"},
    {9, "host"},
    {11, "resource_list"},
    {12, "host_list"},
    {14, "work"},
    {15, "work_list"},
    {16, "event"},
    {17, "event_list"},
    {18, "job_id_list"},
    {19, "job_id"},
    {21, "filter_list"},
    {24, "query"},
    {25, "assignment"},
    {26, "assignment_list"},
    {28, "reservation_list"},
    {30, "command"},
    {32, "status_tally"},
    {33, "time"},
    {34, "history"},
    {35, "history_list"},
    {36, "log"},
    {37, "log_list"},
    {38, "data_table"},
    {39, "data_table_list"},
    {43, "report"},
    {45, "duty_list"},
    {47, "callback_list"},
    {48, "command"},
    {50, "config"},
    {51, "config_list"},
    {52, "error"},
    {54, "option_list"},
    {55, "string_list"},
    {56, "string_hash"},
    {59, "work_id"},
    {60, "work_id_list"},
    {62, "domain"},
    {63, "host_name"},
    {64, "host_name_list"},
    {67, "resource_hash"},
    {69, "bump_command"},
    {91, "property_list"},
    {92, "property_hash"},
    {93, "request"},
    {94, "request_list"},
    {95, "access"},
    {96, "access_list"},
    {105, "file"},
    {119, "file_list"},
    {120, "variable"},
    {121, "variable_list"},
    {130, "variable_id"},
    {132, "operation_id_list"},
    {133, "post"},
    {134, "post_list"},
    {152, "subscription"},
    {153, "subscription_list"},
    {155, "macaddress"},
    {169, "order"},
    {170, "intro"},
    {171, "sync"},
    {172, "supe"},
    {173, "supe_list"},
    {175, "err"},
    {181, "host_stats"},
};

TEST(RegistryTest, EveryPublishedClassIsCreatedWithItsOwnIdentity) {
  ASSERT_EQ(kRegistered.size(), 67u);
  LogCapture log;
  for (const auto& [id, type_name] : kRegistered) {
    EXPECT_TRUE(isRegisteredClass(id)) << id;
    std::unique_ptr<Object> record = createRecord(id);
    ASSERT_NE(record, nullptr) << id;
    EXPECT_EQ(record->classId(), id);
    EXPECT_EQ(record->typeName(), type_name) << id;
  }
  EXPECT_EQ(log.text(), "");
}

TEST(RegistryTest, TheListShapesOfConfigListAndCommandWithJobAreTheOnesCreated) {
  std::unique_ptr<Object> configs = createRecord(51);
  EXPECT_NE(dynamic_cast<ConfigList*>(configs.get()), nullptr);
  std::unique_ptr<Object> command = createRecord(48);
  EXPECT_NE(dynamic_cast<CommandWithJob*>(command.get()), nullptr);
}

TEST(RegistryTest, EveryOtherIdIsRefusedAndLogged) {
  for (int32_t id : {-1,  0,   2,   3,   6,   7,   8,   10,  13,  20,  22,      23,
                     27,  31,  44,  49,  53,  65,  66,  70,  71,  98,  113,     114,
                     115, 116, 124, 154, 174, 176, 180, 182, 183, 200, INT_MAX, INT_MIN}) {
    LogCapture log;
    EXPECT_FALSE(isRegisteredClass(id)) << id;
    EXPECT_EQ(createRecord(id), nullptr) << id;
    EXPECT_EQ(log.text(), "trying to decode unregistered class: " + std::to_string(id) + "\n");
  }
}

TEST(RegistryTest, NoIdOutsideThePublishedSetIsRegistered) {
  int32_t registered = 0;
  for (int32_t id = -300; id <= 1000; ++id) {
    if (!isRegisteredClass(id)) continue;
    ++registered;
    EXPECT_EQ(kRegistered.count(id), 1u) << id;
  }
  EXPECT_EQ(registered, 67);
}

}  // namespace
}  // namespace tq::test

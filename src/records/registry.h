// The record registry: the one place where a class id becomes a new record.
//
// Only the classes that may travel as a message's content are registered. Any other id is
// refused with the log line "trying to decode unregistered class: <id>". The table itself is in
// job/registry.cpp, beside the job, since several registered classes live above this layer.
#pragma once

#include <cstdint>
#include <memory>

#include "records/object.h"

namespace tq {

// A new default record of the class, or null (logged) for an id that is not registered.
std::unique_ptr<Object> createRecord(int32_t class_id);
// Whether createRecord() knows the id; logs nothing.
bool isRegisteredClass(int32_t class_id);

}  // namespace tq

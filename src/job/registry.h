// The record registry: the one place where a class id becomes a new record.
//
// Only the classes that may travel as a message's content are registered. Any other id is
// refused with the log line "trying to decode unregistered class: <id>". It sits with the job,
// not with the record base, because the registered classes include the job and the
// configuration records; the message envelope, which decodes its content through it, sits
// here for the same reason.
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

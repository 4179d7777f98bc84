// The polymorphic base shared by every value of the library: the string and every record.
#pragma once

#include <cstdint>

namespace tq {

class Value {
 public:
  virtual ~Value() = default;
  // A constant of the class: 72 for the string, the record class id for records.
  virtual int32_t classId() const = 0;

 protected:
  Value() = default;
  Value(const Value&) = default;
  Value& operator=(const Value&) = default;
};

}  // namespace tq

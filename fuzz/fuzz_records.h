// A record with a field of every kind, nested records, a list and hashes: the shape the
// fuzzers decode.
#pragma once

#include <tuple>

#include "records/basic_records.h"

namespace tq::fuzz {

class Nested : public Record<Nested> {
 public:
  static constexpr int32_t kClassId = 19;  // travels as a job_id-shaped record
  static constexpr const char* kTypeName = "job_id";
  int32_t id = 0;
  TqString text;
  JobIdList ids;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "id", &Nested::id), Field(3, "text", &Nested::text),
                           Field(4, "ids", &Nested::ids));
  }
};

class Everything : public Record<Everything> {
 public:
  static constexpr int32_t kClassId = 1000;
  static constexpr const char* kTypeName = "everything";
  int32_t number = 0;
  char letter = 0;
  TqString text;
  bool flag = false;
  Nested nested;
  JobIdList ids;
  StringList strings;
  StringHash names;
  IntHash numbers;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "number", &Everything::number), Field(2, "letter", &Everything::letter),
        Field(3, "text", &Everything::text), Field(4, "flag", &Everything::flag),
        Field(5, "nested", &Everything::nested), Field(6, "ids", &Everything::ids),
        Field(7, "strings", &Everything::strings), Field(8, "names", &Everything::names),
        Field(9, "numbers", &Everything::numbers));
  }
};

}  // namespace tq::fuzz

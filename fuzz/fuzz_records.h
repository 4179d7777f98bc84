// A record with a field of every kind, nested records, a list and hashes: the shape the
// fuzzers decode.
#pragma once

#include <tuple>

#include "records/basic_records.h"
#include "records/catalogue_work.h"

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
  Work work;  // sub-records of fixed and of variable length, read by a plan
  WorkList works;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "number", &Everything::number), Field(2, "letter", &Everything::letter),
        Field(3, "text", &Everything::text), Field(4, "flag", &Everything::flag),
        Field(5, "nested", &Everything::nested), Field(6, "ids", &Everything::ids),
        Field(7, "strings", &Everything::strings), Field(8, "names", &Everything::names),
        Field(9, "numbers", &Everything::numbers), Field(10, "work", &Everything::work),
        Field(11, "works", &Everything::works));
  }
};

}  // namespace tq::fuzz

// Queries, filters, orderings and commands, with the filter and field lists they are made of.
// The command that also carries a job (class 48) lives with the job record
// (job/job_records.h).
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/catalogue_work.h"
#include "records/field.h"
#include "records/list.h"

namespace tq {

// A field of a query: its name and a sign character (the record's type name is "field").
class FieldRecord : public Record<FieldRecord> {
 public:
  static constexpr int32_t kClassId = 22;
  static constexpr const char* kTypeName = "field";
  TqString name;
  char sign = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &FieldRecord::name),
                           Field(2, "sign", &FieldRecord::sign));
  }
};

inline constexpr char kFieldListName[] = "field_list";
using FieldList = List<FieldRecord, 23, kFieldListName>;

// One condition of a query. There is no field 2.
class Filter : public Record<Filter> {
 public:
  static constexpr int32_t kClassId = 20;
  static constexpr const char* kTypeName = "filter";
  TqString name;
  bool neg = false;
  FieldList fields_list;  // text name "fields"
  char sign = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Filter::name), Field(3, "neg", &Filter::neg),
                           Field(4, "fields", &Filter::fields_list),
                           Field(5, "sign", &Filter::sign));
  }
};

inline constexpr char kFilterListName[] = "filter_list";
using FilterList = List<Filter, 21, kFilterListName>;

class Query : public Record<Query> {
 public:
  static constexpr int32_t kClassId = 24;
  static constexpr const char* kTypeName = "query";
  FilterList filter_list;
  FieldList field_list;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "filter_list", &Query::filter_list),
                           Field(2, "field_list", &Query::field_list));
  }
};

// An ordering request. Its field 2 is written in the text form under the element name "2",
// which is not a well-formed markup name: the text form of an order is written as it always
// has been, but no markup reader (ours included) can read it back. The binary form is whole.
class Order : public Record<Order> {
 public:
  static constexpr int32_t kClassId = 169;
  static constexpr const char* kTypeName = "order";
  FilterList filter_list;
  TqString field_2;  // text name "2"
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "filter_list", &Order::filter_list),
                           Field(2, "2", &Order::field_2));
  }
};

// A command applied to the jobs, work items or groups that its lists and filters select.
class Command : public Record<Command> {
 public:
  static constexpr int32_t kClassId = 30;
  static constexpr const char* kTypeName = "command";
  FilterList filter_list;
  JobIdList job_id_list;
  WorkIdList work_id_list;
  StringList group_list;
  bool restrictions = false;
  int32_t limit = 0;
  bool background = false;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "filter_list", &Command::filter_list),
                           Field(2, "job_id_list", &Command::job_id_list),
                           Field(3, "work_id_list", &Command::work_id_list),
                           Field(4, "group_list", &Command::group_list),
                           Field(5, "restrictions", &Command::restrictions),
                           Field(6, "limit", &Command::limit),
                           Field(7, "background", &Command::background));
  }
};

// Moves jobs up or down: the fields start at 10.
class BumpCommand : public Record<BumpCommand> {
 public:
  static constexpr int32_t kClassId = 69;
  static constexpr const char* kTypeName = "bump_command";
  int32_t diff = 0;
  int32_t direction = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(10, "diff", &BumpCommand::diff),
                           Field(11, "direction", &BumpCommand::direction));
  }
};

// Selects variables and jobs for an operation. There is no field 4.
class OperationIdList : public Record<OperationIdList> {
 public:
  static constexpr int32_t kClassId = 132;
  static constexpr const char* kTypeName = "operation_id_list";
  FilterList filter_list;
  VariableIdList variable_id_list;
  JobIdList job_id_list;
  bool restrictions = false;
  int32_t limit = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "filter_list", &OperationIdList::filter_list),
                           Field(2, "variable_id_list", &OperationIdList::variable_id_list),
                           Field(3, "job_id_list", &OperationIdList::job_id_list),
                           Field(5, "restrictions", &OperationIdList::restrictions),
                           Field(6, "limit", &OperationIdList::limit));
  }
};

}  // namespace tq

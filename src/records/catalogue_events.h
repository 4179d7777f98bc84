// Events, job history and data tables, with their lists.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"
#include "records/list.h"

namespace tq {

class Event : public Record<Event> {
 public:
  static constexpr int32_t kClassId = 16;
  static constexpr const char* kTypeName = "event";
  int32_t category = 0;
  int32_t job_id = 0;
  int32_t sub_id = 0;
  TqString text_id;
  int32_t start = 0;
  int32_t interval = 0;
  TqString extra;
  TqString name;
  int32_t flag = 0;
  int32_t callback = 0;
  TqString label;
  int32_t pid = 0;
  int32_t id = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "category", &Event::category),
                           Field(2, "job_id", &Event::job_id), Field(3, "sub_id", &Event::sub_id),
                           Field(4, "text_id", &Event::text_id), Field(5, "start", &Event::start),
                           Field(6, "interval", &Event::interval), Field(7, "extra", &Event::extra),
                           Field(8, "name", &Event::name), Field(9, "flag", &Event::flag),
                           Field(10, "callback", &Event::callback),
                           Field(11, "label", &Event::label), Field(12, "pid", &Event::pid),
                           Field(13, "id", &Event::id));
  }
};

// A comment in a job's history.
class History : public Record<History> {
 public:
  static constexpr int32_t kClassId = 34;
  static constexpr const char* kTypeName = "history";
  int32_t job_id = 0;
  int32_t sub_id = 0;
  TqString comment;
  Time stamp;
  TqString work_id;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "job_id", &History::job_id), Field(2, "sub_id", &History::sub_id),
        Field(3, "comment", &History::comment), Field(4, "stamp", &History::stamp),
        Field(5, "work_id", &History::work_id));
  }
};

// A titled table of texts. The column labels, the row labels and the cells are string lists;
// the cells run row by row. Field ids 2, 5 and 6 are not used.
class DataTable : public Record<DataTable> {
 public:
  static constexpr int32_t kClassId = 38;
  static constexpr const char* kTypeName = "data_table";
  StringList col_labels;
  StringList row_labels;
  StringList data;
  TqString title;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "col_labels", &DataTable::col_labels),
                           Field(3, "row_labels", &DataTable::row_labels),
                           Field(4, "data", &DataTable::data),
                           Field(7, "title", &DataTable::title));
  }
};

inline constexpr char kEventListName[] = "event_list";
inline constexpr char kHistoryListName[] = "history_list";
inline constexpr char kDataTableListName[] = "data_table_list";

using EventList = List<Event, 17, kEventListName>;
using HistoryList = List<History, 35, kHistoryListName>;
using DataTableList = List<DataTable, 39, kDataTableListName>;

}  // namespace tq

// Work items, variables, posts, callbacks and job logs, with their lists and hashes.
//
// Every class writes its fields in the order of its field table.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq {

// One work item of a job: a named piece of work with its own status and result.
class Work : public Record<Work> {
 public:
  static constexpr int32_t kClassId = 14;
  static constexpr const char* kTypeName = "work";
  // A job holds many work items: the 32-bit members come first, so that they pack after the
  // base with no padding. The field table below gives the order of the encodings.
  int32_t sub_id = 0;
  int32_t pid = 0;
  int32_t id = 0;
  int32_t retry = 0;
  int32_t count = 0;
  int32_t percent = 0;
  int32_t seq = 0;
  TqString name;
  TqString host;
  TqString data;
  TqString result;
  TqString dependency;
  Status status;
  Address address;
  Time last_update;
  Time time_start;
  Time time_complete;
  MacAddress mac_address;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "name", &Work::name), Field(2, "sub_id", &Work::sub_id),
        Field(3, "host", &Work::host), Field(4, "status", &Work::status),
        Field(5, "address", &Work::address), Field(6, "pid", &Work::pid),
        Field(7, "data", &Work::data), Field(8, "id", &Work::id), Field(9, "result", &Work::result),
        Field(10, "retry", &Work::retry), Field(11, "count", &Work::count),
        Field(12, "dependency", &Work::dependency), Field(13, "percent", &Work::percent),
        Field(14, "last_update", &Work::last_update), Field(15, "seq", &Work::seq),
        Field(16, "time_start", &Work::time_start),
        Field(17, "time_complete", &Work::time_complete),
        Field(18, "mac_address", &Work::mac_address));
  }
};

class WorkId : public Record<WorkId> {
 public:
  static constexpr int32_t kClassId = 59;
  static constexpr const char* kTypeName = "work_id";
  int32_t id = 0;
  TqString name;
  int32_t work_id = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "id", &WorkId::id), Field(2, "name", &WorkId::name),
                           Field(3, "work_id", &WorkId::work_id));
  }
};

// A named value that a running job publishes.
class Variable : public Record<Variable> {
 public:
  static constexpr int32_t kClassId = 120;
  static constexpr const char* kTypeName = "variable";
  int32_t pid = 0;
  TqString name;
  TqString value;
  int32_t cls = 0;
  Time last_update;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "pid", &Variable::pid), Field(2, "name", &Variable::name),
                           Field(3, "value", &Variable::value), Field(4, "cls", &Variable::cls),
                           Field(5, "last_update", &Variable::last_update));
  }
};

class VariableId : public Record<VariableId> {
 public:
  static constexpr int32_t kClassId = 130;
  static constexpr const char* kTypeName = "variable_id";
  int32_t pid = 0;
  TqString name;
  int32_t cls = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "pid", &VariableId::pid), Field(2, "name", &VariableId::name),
                           Field(3, "cls", &VariableId::cls));
  }
};

// Where to send notices for a process: an address and a port, with the triggers that fire.
class Post : public Record<Post> {
 public:
  static constexpr int32_t kClassId = 133;
  static constexpr const char* kTypeName = "post";
  int32_t id = 0;
  int32_t pid = 0;
  Address address;
  int32_t port = 0;
  TqString triggers;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "id", &Post::id), Field(2, "pid", &Post::pid),
                           Field(3, "address", &Post::address), Field(4, "port", &Post::port),
                           Field(5, "triggers", &Post::triggers));
  }
};

// Code that runs when its triggers fire. There is no field 7.
class Callback : public Record<Callback> {
 public:
  static constexpr int32_t kClassId = 46;
  static constexpr const char* kTypeName = "callback";
  int32_t id = 0;
  int32_t language = 0;
  TqString code;
  int32_t count = 0;
  int32_t max = 0;
  TqString triggers;
  TqString ready;
  TqString user;
  int32_t pid = 0;
  Time lastupdate;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "id", &Callback::id), Field(2, "language", &Callback::language),
        Field(3, "code", &Callback::code), Field(4, "count", &Callback::count),
        Field(5, "max", &Callback::max), Field(6, "triggers", &Callback::triggers),
        Field(8, "ready", &Callback::ready), Field(9, "user", &Callback::user),
        Field(10, "pid", &Callback::pid), Field(11, "lastupdate", &Callback::lastupdate));
  }
};

// A piece of a job's output or error log.
class Log : public Record<Log> {
 public:
  static constexpr int32_t kClassId = 36;
  static constexpr const char* kTypeName = "log";
  int32_t job_id = 0;
  int32_t sub_id = 0;
  TqString data;
  int32_t cls = 0;
  TqString host;
  int32_t work_id = 0;
  TqString work_name;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "job_id", &Log::job_id), Field(2, "sub_id", &Log::sub_id),
                           Field(3, "data", &Log::data), Field(4, "cls", &Log::cls),
                           Field(5, "host", &Log::host), Field(6, "work_id", &Log::work_id),
                           Field(7, "work_name", &Log::work_name));
  }
};

inline constexpr char kWorkListName[] = "work_list";
inline constexpr char kWorkHashName[] = "work_hash";
inline constexpr char kWorkIdListName[] = "work_id_list";
inline constexpr char kVariableListName[] = "variable_list";
inline constexpr char kVariableHashName[] = "variable_hash";
inline constexpr char kVariableIdListName[] = "variable_id_list";
inline constexpr char kPostListName[] = "post_list";
inline constexpr char kCallbackListName[] = "callback_list";
inline constexpr char kLogListName[] = "log_list";

using WorkList = List<Work, 15, kWorkListName>;
using WorkHash = Hash<Work, 70, kWorkHashName>;
using WorkIdList = List<WorkId, 60, kWorkIdListName>;
using VariableList = List<Variable, 121, kVariableListName>;
using VariableHash = Hash<Variable, 122, kVariableHashName>;
using VariableIdList = List<VariableId, 131, kVariableIdListName>;
using PostList = List<Post, 134, kPostListName>;
using CallbackList = List<Callback, 47, kCallbackListName>;
using LogList = List<Log, 37, kLogListName>;

}  // namespace tq

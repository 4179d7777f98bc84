// Small records that other records and messages are built from.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq {

// A job, sub-job or work status value (the names are in the job name tables).
class Status : public Record<Status> {
 public:
  static constexpr int32_t kClassId = 2;
  static constexpr const char* kTypeName = "status";
  Status() = default;
  explicit Status(int32_t v) : value(v) {}
  int32_t value = 0;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &Status::value)); }
};

// An IPv4 address as an integer in host order; its text form is dotted decimal, most
// significant byte first. Besides the value it knows whether one was ever stored ("unset" for a
// new record); that flag is not encoded.
class Address : public Record<Address> {
 public:
  static constexpr int32_t kClassId = 13;
  static constexpr const char* kTypeName = "address";

 private:
  bool unset_ = true;  // declared first, to share the base's last word

 public:
  Address() = default;
  explicit Address(uint32_t address) { set(address); }

  int32_t value = 0;

  void set(uint32_t address) {
    value = static_cast<int32_t>(address);
    unset_ = false;
  }
  uint32_t get() const { return static_cast<uint32_t>(value); }
  bool isUnset() const { return unset_; }
  // Back to a new record's state: value 0, unset.
  void reset() {
    value = 0;
    unset_ = true;
  }

  // Exactly four groups of one or more decimal digits, each at most 255, separated by single
  // '.', nothing after the fourth ("010.000.000.001" is one; "256.1.1.1", "1.2.3", "1.2.3.4."
  // and "" are not).
  static bool isDottedQuad(const TqString& text);
  // Takes each run of digits as one byte, most significant first (a value above 255 keeps its
  // low 8 bits), any other byte ending a group; missing groups are 0. Text with more than four
  // groups, or with no digit at all, leaves the record unchanged (false).
  bool parse(const TqString& text);
  TqString toText() const;
  // The first IPv4 address of a host name; an unknown name leaves the record unset (false).
  bool resolve(const TqString& name);

  void readField(Decoder& in) override;
  void readNamedFields(const TextFrame& frame) override;

  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &Address::value)); }
};

// A point in time, in seconds.
class Time : public Record<Time> {
 public:
  static constexpr int32_t kClassId = 33;
  static constexpr const char* kTypeName = "time";
  int32_t value = 0;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &Time::value)); }
};

// A job or sub-job identifier.
class JobId : public Record<JobId> {
 public:
  static constexpr int32_t kClassId = 19;
  static constexpr const char* kTypeName = "job_id";
  JobId() = default;
  JobId(int32_t i, int32_t s) : id(i), sub_id(s) {}
  int32_t id = 0;
  int32_t sub_id = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "id", &JobId::id), Field(2, "sub_id", &JobId::sub_id));
  }
};

// A hardware address as "00:1A:2B:3C:4D:5E", or empty.
class MacAddress : public Record<MacAddress> {
 public:
  static constexpr int32_t kClassId = 155;
  static constexpr const char* kTypeName = "macaddress";
  TqString value;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &MacAddress::value)); }
};

// An error text carried as a message's content.
class ErrorText : public Record<ErrorText> {
 public:
  static constexpr int32_t kClassId = 52;
  static constexpr const char* kTypeName = "error";
  TqString value;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &ErrorText::value)); }
};

inline constexpr char kJobIdListName[] = "job_id_list";
inline constexpr char kStringListName[] = "string_list";
inline constexpr char kStringHashName[] = "string_hash";
inline constexpr char kIntHashName[] = "int_hash";

using JobIdList = List<JobId, 18, kJobIdListName>;
using StringList = List<TqString, 55, kStringListName>;
using StringHash = Hash<TqString, 56, kStringHashName>;
using IntHash = Hash<int32_t, 176, kIntHashName>;

}  // namespace tq

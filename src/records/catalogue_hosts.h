// Hosts, supervisors, farm domains and the records that describe them, with their lists.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/catalogue_jobs.h"
#include "records/field.h"
#include "records/list.h"

namespace tq {

// A host or supervisor state as a number. Peers also send "state" records (same class id and
// type name) whose value is a text: StateText reads those. A record field of type "state"
// holds the numeric form; a text value sent in its place is skipped as a field of another kind.
class State : public Record<State> {
 public:
  static constexpr int32_t kClassId = 8;
  static constexpr const char* kTypeName = "state";
  int32_t value = 0;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &State::value)); }
};

// The text variant of "state".
class StateText : public Record<StateText> {
 public:
  static constexpr int32_t kClassId = 8;
  static constexpr const char* kTypeName = "state";
  TqString value;
  static constexpr auto fields() { return std::make_tuple(Field(1, "value", &StateText::value)); }
};

// A worker host. Field ids 1, 4 and 8 to 11 are not used.
class Host : public Record<Host> {
 public:
  static constexpr int32_t kClassId = 9;
  static constexpr const char* kTypeName = "host";
  TqString name;
  Address address;
  TqString cluster;
  State state;
  TqString resources;
  int32_t flags = 0;
  TqString properties;
  TqString stats;
  TqString restrictions;
  TqString groups;
  SubjobList subjobs;
  TqString locks;
  TqString reason;
  TqString description;
  MacAddress mac_address;
  TqString job_types;
  Time last_update;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(2, "name", &Host::name), Field(3, "address", &Host::address),
        Field(5, "cluster", &Host::cluster), Field(6, "state", &Host::state),
        Field(7, "resources", &Host::resources), Field(12, "flags", &Host::flags),
        Field(13, "properties", &Host::properties), Field(14, "stats", &Host::stats),
        Field(15, "restrictions", &Host::restrictions), Field(16, "groups", &Host::groups),
        Field(17, "subjobs", &Host::subjobs), Field(18, "locks", &Host::locks),
        Field(19, "reason", &Host::reason), Field(20, "description", &Host::description),
        Field(21, "mac_address", &Host::mac_address), Field(22, "job_types", &Host::job_types),
        Field(23, "last_update", &Host::last_update));
  }
};

class HostName : public Record<HostName> {
 public:
  static constexpr int32_t kClassId = 63;
  static constexpr const char* kTypeName = "host_name";
  TqString host;
  int32_t port = 0;
  int32_t id = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "host", &HostName::host), Field(2, "port", &HostName::port),
                           Field(3, "id", &HostName::id));
  }
};

// Load, memory and swap of a host, as its load monitor reports them.
class HostStats : public Record<HostStats> {
 public:
  static constexpr int32_t kClassId = 181;
  static constexpr const char* kTypeName = "host_stats";
  MacAddress mac_address;
  int32_t user_load = 0;
  int32_t system_load = 0;
  int32_t user_memory = 0;
  int32_t system_memory = 0;
  int32_t user_swap = 0;
  int32_t system_swap = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "mac_address", &HostStats::mac_address),
                           Field(2, "user_load", &HostStats::user_load),
                           Field(3, "system_load", &HostStats::system_load),
                           Field(4, "user_memory", &HostStats::user_memory),
                           Field(5, "system_memory", &HostStats::system_memory),
                           Field(6, "user_swap", &HostStats::user_swap),
                           Field(7, "system_swap", &HostStats::system_swap));
  }
};

// A supervisor of the farm.
class Supe : public Record<Supe> {
 public:
  static constexpr int32_t kClassId = 172;
  static constexpr const char* kTypeName = "supe";
  TqString name;
  Address address;
  State state;
  int32_t flags = 0;
  int32_t id = 0;
  Time lastsync;
  int32_t total = 0;
  TqString domain;
  TqString region;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Supe::name), Field(2, "address", &Supe::address),
                           Field(3, "state", &Supe::state), Field(4, "flags", &Supe::flags),
                           Field(5, "id", &Supe::id), Field(6, "lastsync", &Supe::lastsync),
                           Field(7, "total", &Supe::total), Field(8, "domain", &Supe::domain),
                           Field(9, "region", &Supe::region));
  }
};

class Domain : public Record<Domain> {
 public:
  static constexpr int32_t kClassId = 62;
  static constexpr const char* kTypeName = "domain";
  TqString name;
  int32_t id = 0;
  TqString region;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Domain::name), Field(2, "id", &Domain::id),
                           Field(3, "region", &Domain::region));
  }
};

// A listener that asked to be sent messages.
class Subscription : public Record<Subscription> {
 public:
  static constexpr int32_t kClassId = 152;
  static constexpr const char* kTypeName = "subscription";
  int32_t port = 0;
  Address address;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "port", &Subscription::port),
                           Field(2, "address", &Subscription::address));
  }
};

class Intro : public Record<Intro> {
 public:
  static constexpr int32_t kClassId = 170;
  static constexpr const char* kTypeName = "intro";
  TqString values;
  static constexpr auto fields() { return std::make_tuple(Field(1, "values", &Intro::values)); }
};

inline constexpr char kHostListName[] = "host_list";
inline constexpr char kHostNameListName[] = "host_name_list";
inline constexpr char kSupeListName[] = "supe_list";
inline constexpr char kSubscriptionListName[] = "subscription_list";

using HostList = List<Host, 12, kHostListName>;
using HostNameList = List<HostName, 64, kHostNameListName>;
using SupeList = List<Supe, 173, kSupeListName>;
using SubscriptionList = List<Subscription, 153, kSubscriptionListName>;

}  // namespace tq

// Resources, properties, reservations and requests for them, with their lists and hashes.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/catalogue_jobs.h"
#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq {

// A countable resource of a host or the farm.
class Resource : public Record<Resource> {
 public:
  static constexpr int32_t kClassId = 10;
  static constexpr const char* kTypeName = "resource";
  TqString name;
  int32_t total = 0;
  int32_t used = 0;
  int32_t cls = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Resource::name), Field(2, "total", &Resource::total),
                           Field(3, "used", &Resource::used), Field(4, "cls", &Resource::cls));
  }
};

class Property : public Record<Property> {
 public:
  static constexpr int32_t kClassId = 90;
  static constexpr const char* kTypeName = "property";
  TqString name;
  TqString value;
  int32_t cls = 0;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Property::name), Field(2, "value", &Property::value),
                           Field(3, "cls", &Property::cls));
  }
};

class Reservation : public Record<Reservation> {
 public:
  static constexpr int32_t kClassId = 27;
  static constexpr const char* kTypeName = "reservation";
  TqString name;
  int32_t count = 0;
  int32_t cls = 0;
  int32_t maximum = 0;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "name", &Reservation::name), Field(2, "count", &Reservation::count),
        Field(3, "cls", &Reservation::cls), Field(4, "maximum", &Reservation::maximum));
  }
};

// A sub-job's request for a reservation.
class Request : public Record<Request> {
 public:
  static constexpr int32_t kClassId = 93;
  static constexpr const char* kTypeName = "request";
  Reservation reservation;
  Subjob subjob;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "reservation", &Request::reservation),
                           Field(2, "subjob", &Request::subjob));
  }
};

inline constexpr char kResourceListName[] = "resource_list";
inline constexpr char kResourceHashName[] = "resource_hash";
inline constexpr char kPropertyListName[] = "property_list";
inline constexpr char kPropertyHashName[] = "property_hash";
inline constexpr char kReservationListName[] = "reservation_list";
inline constexpr char kReservationHashName[] = "reservation_hash";
inline constexpr char kRequestListName[] = "request_list";

using ResourceList = List<Resource, 11, kResourceListName>;
using ResourceHash = Hash<Resource, 67, kResourceHashName>;
using PropertyList = List<Property, 91, kPropertyListName>;
using PropertyHash = Hash<Property, 92, kPropertyHashName>;
using ReservationList = List<Reservation, 28, kReservationListName>;
using ReservationHash = Hash<Reservation, 68, kReservationHashName>;
using RequestList = List<Request, 94, kRequestListName>;

}  // namespace tq

// Access rights of users and groups, and stored passwords, with their lists.
#pragma once

#include <cstdint>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"
#include "records/list.h"

namespace tq {

// The rights of a group.
class GroupAccess : public Record<GroupAccess> {
 public:
  static constexpr int32_t kClassId = 101;
  static constexpr const char* kTypeName = "group_access";
  TqString name;
  int32_t access = 0;
  int32_t valid = 0;
  Time lastupdate;
  TqString user;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "name", &GroupAccess::name), Field(2, "access", &GroupAccess::access),
        Field(3, "valid", &GroupAccess::valid), Field(4, "lastupdate", &GroupAccess::lastupdate),
        Field(5, "user", &GroupAccess::user));
  }
};

inline constexpr char kGroupAccessListName[] = "group_access_list";
using GroupAccessList = List<GroupAccess, 102, kGroupAccessListName>;

// The rights of a user. Two fields share id 8: sudo_job_filter (a string) and valid (an
// integer); the binary readers tell them apart by kind.
class Access : public Record<Access> {
 public:
  static constexpr int32_t kClassId = 95;
  static constexpr const char* kTypeName = "access";
  TqString name;
  int32_t access = 0;
  TqString groups;
  TqString sudo_user_filter;
  GroupAccessList group_access;
  TqString sudo_job_filter;
  int32_t valid = 0;
  Time lastupdate;
  static constexpr auto fields() {
    return std::make_tuple(Field(1, "name", &Access::name), Field(2, "access", &Access::access),
                           Field(5, "groups", &Access::groups),
                           Field(6, "sudo_user_filter", &Access::sudo_user_filter),
                           Field(7, "group_access", &Access::group_access),
                           Field(8, "sudo_job_filter", &Access::sudo_job_filter),
                           Field(8, "valid", &Access::valid),
                           Field(9, "lastupdate", &Access::lastupdate));
  }
};

// A user's stored password. The password text is a secure string: its buffers are wiped when
// they are given up.
class Password : public Record<Password> {
 public:
  static constexpr int32_t kClassId = 182;
  static constexpr const char* kTypeName = "password";
  Password() { password.setSecure(true); }
  TqString user;
  TqString domain;
  TqString password;
  int32_t verified = 0;
  int32_t valid = 0;
  Time lastupdate;
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "user", &Password::user), Field(2, "domain", &Password::domain),
        Field(3, "password", &Password::password), Field(4, "verified", &Password::verified),
        Field(5, "valid", &Password::valid), Field(6, "lastupdate", &Password::lastupdate));
  }
};

inline constexpr char kAccessListName[] = "access_list";
inline constexpr char kPasswordListName[] = "password_list";

using AccessList = List<Access, 96, kAccessListName>;
using PasswordList = List<Password, 183, kPasswordListName>;

}  // namespace tq

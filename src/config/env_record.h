// The "env" record: the environment a job runs with, rebuilt on the worker that runs it.
//
// It holds the environment variables (two parallel lists, names and values), the file-creation
// mask, the working directory and the drive mounts (drive "X:" -> target, see drive_mounts.h).
//
// Text form, one entry per line and no line end after the last:
//   umask=18
//   cwd=C:\work
//   drivemap=Z:|\\srv\share        one line per mount
//   A=1                            one line per variable
// A reader stops at the first line with an empty name (an empty line, or one starting with
// '='), or where the text holds more variables or drives than config/config_limits.h allows.
// Entries the form cannot carry are left out of it (see toText()); the binary form carries
// everything.
#pragma once

#include <cstdint>
#include <tuple>

#include "config/drive_mounts.h"
#include "records/basic_records.h"
#include "records/field.h"

namespace tq {

class Env : public Record<Env> {
 public:
  static constexpr int32_t kClassId = 49;
  static constexpr const char* kTypeName = "env";

  StringList keys;
  StringList values;  // parallel to keys
  int32_t umask = 0;  // 0 when not set
  TqString cwd;
  StringHash mounts;  // the "string_hash" record (class 56)

  static constexpr auto fields() {
    return std::make_tuple(Field(1, "keys", &Env::keys), Field(2, "values", &Env::values),
                           Field(3, "umask", &Env::umask), Field(4, "cwd", &Env::cwd),
                           Field(5, "mounts", &Env::mounts));
  }

  // Replaces the variables and the working directory with those of the running process and
  // adds its drive mounts; umask stays. An environment entry "=C:=C:\work" gives an empty name
  // and the value "C:=C:\work". A working directory that cannot be read leaves cwd as it was.
  void capture();
  void capture(const DriveProbe& drives);

  // Variables. A record decoded from elsewhere may hold fewer values than names: a missing
  // value reads as empty and is filled in when set.
  int32_t variableCount() const { return keys.count(); }
  // The value of the first variable of that name, or "".
  TqString variable(const TqString& name) const;
  // Replaces the value of the first variable of that name, else appends the pair.
  void setVariable(const TqString& name, const TqString& value);
  void clearVariables();

  // Mounts.
  void setMountsFromText(const TqString& text);  // see addMountsFromText()
  TqString mount(const TqString& drive) const;   // "" when there is none
  // Appends every drive to the list, in ascending order.
  void mountDrives(StringList& list) const;
  int32_t mountCount() const { return mounts.count(); }
  void clearMounts() { mounts.clear(); }
  // False when the drive has no mount; otherwise splits its target (splitMountTarget()).
  bool mountCredentials(const TqString& drive, TqString& user, TqString& password,
                        TqString& path) const;

  // The text form above. Mounts are written in ascending drive order. Left out, because a
  // reader would stop at them or read them as something else: variables with an empty name,
  // a name holding '=', a name "drivemap", or an LF in the name or value; mounts with an empty
  // drive, or a '|' or an LF in the drive or target. A cwd holding an LF is written empty.
  TqString toText() const;
  // Replaces the whole record with what the text describes. Lines are cut at LF; the name is
  // the text before the first '=' (the whole line when there is none) and the value the rest.
  // The first "umask" line sets umask (decimal), the first "cwd" line sets cwd, a "drivemap"
  // line adds the mount drive|target (a further '|' ends the target; a line without '|' or
  // with an empty drive adds nothing), and every other line, a repeated "umask" or "cwd"
  // included, is appended as a variable. A line with an empty name ends reading, and so does a
  // line that would add a variable past kMaxEnvVariables or a drive past kMaxMounts
  // (config/config_limits.h).
  void fromText(const TqString& text);
};

// The value of a variable in the live process environment, or "".
TqString processVariable(const TqString& name);
// Sets a variable in the live process environment. False for a name that is empty or holds
// '=' or a NUL byte, or when the system refuses. See platform/environment.h for empty values.
bool putVariable(const TqString& name, const TqString& value);

}  // namespace tq

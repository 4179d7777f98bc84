// Status values of jobs, sub-jobs and work items, their names, and tests on a status record.
//
// Bit 0x100 marks the statuses of a job that is still in the system (pending, waiting,
// running, blocked, suspended, paused, badlogin); the others are final, or "none".
#pragma once

#include <cstdint>
#include <string_view>

#include "job/name_table.h"
#include "records/basic_records.h"

namespace tq {

enum StatusValue : int32_t {
  kStatusNone = 0x000,
  kStatusSaved = 0x005,
  kStatusComplete = 0x010,
  kStatusWarning = 0x015,
  kStatusFailed = 0x020,
  kStatusKilled = 0x030,
  kStatusBlocked = 0x110,
  kStatusPaused = 0x125,
  kStatusSuspended = 0x130,
  kStatusPending = 0x140,
  kStatusWaiting = 0x143,
  kStatusBadlogin = 0x145,
  kStatusRunning = 0x150,
};

inline constexpr int32_t kStatusActiveBit = 0x100;

// In the order names are looked up.
inline constexpr NameEntry kStatusEntries[] = {
    {"running", kStatusRunning}, {"blocked", kStatusBlocked},     {"complete", kStatusComplete},
    {"pending", kStatusPending}, {"suspended", kStatusSuspended}, {"failed", kStatusFailed},
    {"killed", kStatusKilled},   {"waiting", kStatusWaiting},     {"warning", kStatusWarning},
    {"none", kStatusNone},       {"badlogin", kStatusBadlogin},   {"saved", kStatusSaved},
    {"paused", kStatusPaused},
};
inline constexpr NameTable kStatusNames{kStatusEntries};

// Exact, case-sensitive; 0 for a name not in the table ("Running" gives 0).
inline int32_t statusValue(std::string_view name) { return kStatusNames.valueOf(name, 0); }
// "none" for a value not in the table.
inline const char* statusName(int32_t value) { return kStatusNames.nameOf(value, "none"); }

inline bool isNone(const Status& s) { return s.value == kStatusNone; }
inline bool isSaved(const Status& s) { return s.value == kStatusSaved; }
inline bool isComplete(const Status& s) { return s.value == kStatusComplete; }
inline bool isWarning(const Status& s) { return s.value == kStatusWarning; }
inline bool isFailed(const Status& s) { return s.value == kStatusFailed; }
inline bool isKilled(const Status& s) { return s.value == kStatusKilled; }
inline bool isBlocked(const Status& s) { return s.value == kStatusBlocked; }
inline bool isPaused(const Status& s) { return s.value == kStatusPaused; }
inline bool isSuspended(const Status& s) { return s.value == kStatusSuspended; }
inline bool isPending(const Status& s) { return s.value == kStatusPending; }
inline bool isWaiting(const Status& s) { return s.value == kStatusWaiting; }
inline bool isBadlogin(const Status& s) { return s.value == kStatusBadlogin; }
inline bool isRunning(const Status& s) { return s.value == kStatusRunning; }

// Still in the system: bit 0x100 set.
inline bool isActive(const Status& s) { return (s.value & kStatusActiveBit) != 0; }
// Running, waiting or suspended.
inline bool isInProgress(const Status& s) { return isRunning(s) || isWaiting(s) || isSuspended(s); }
// Active statuses sort before final ones.
inline int32_t sortWeight(const Status& s) { return isActive(s) ? -256 : 1; }

}  // namespace tq

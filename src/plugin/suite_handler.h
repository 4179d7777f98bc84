// The suite handler: made on the stack at the start of every call from the host and destroyed
// at its end. A suite is acquired from the broker by name and version on its first use and
// kept for the handler's life; the destructor releases exactly the suites that were acquired.
//
// An accessor answers null when the broker cannot deliver the suite (an error, or success with
// no table); the handler then remembers the first suite it could not get, and error() answers
// 516, the value a callback returns to the host. Nothing here throws.
#pragma once

#include <cstdint>
#include <string>

#include "plugin/host_api.h"

namespace tq::plugin {

// What a callback answers the host when a suite it needs is missing.
inline constexpr A_Err kMissingSuiteError = 516;

class SuiteHandler {
 public:
  explicit SuiteHandler(const SPBasicSuite* basic) : basic_(basic) {}
  ~SuiteHandler();
  SuiteHandler(const SuiteHandler&) = delete;
  SuiteHandler& operator=(const SuiteHandler&) = delete;

  const AEGP_CommandSuite1* command() { return get<AEGP_CommandSuite1>(kCommand); }
  const AEGP_RegisterSuite3* reg() { return get<AEGP_RegisterSuite3>(kRegister); }
  const AEGP_UtilitySuite3* utility() { return get<AEGP_UtilitySuite3>(kUtility); }
  const AEGP_ItemSuite5* item() { return get<AEGP_ItemSuite5>(kItem); }
  const AEGP_ProjSuite3* proj() { return get<AEGP_ProjSuite3>(kProj); }
  const ADMDialogSuite8* dialog() { return get<ADMDialogSuite8>(kDialog); }
  const ADMItemSuite8* dialogItem() { return get<ADMItemSuite8>(kDialogItem); }
  const ADMListSuite3* list() { return get<ADMListSuite3>(kList); }
  const ADMEntrySuite5* entry() { return get<ADMEntrySuite5>(kEntry); }
  const ADMBasicSuite2* admBasic() { return get<ADMBasicSuite2>(kAdmBasic); }

  // kMissingSuiteError once any acquisition failed, else A_Err_NONE.
  A_Err error() const { return missing_ != kSlotCount ? kMissingSuiteError : A_Err_NONE; }
  // The first suite that could not be acquired, as "\"ADM List Suite\" version 3"; empty when
  // none failed.
  std::string missingSuite() const;

 private:
  enum Slot {
    kCommand,
    kRegister,
    kUtility,
    kItem,
    kProj,
    kDialog,
    kDialogItem,
    kList,
    kEntry,
    kAdmBasic,
    kSlotCount
  };
  struct SuiteName {
    const char* name;
    int32_t version;
  };
  static const SuiteName kSuites[kSlotCount];

  const void* acquire(Slot slot);
  template <class Suite>
  const Suite* get(Slot slot) {
    return static_cast<const Suite*>(acquire(slot));
  }

  const SPBasicSuite* basic_;
  const void* suites_[kSlotCount] = {};
  Slot missing_ = kSlotCount;
};

}  // namespace tq::plugin

// The suite handler: made on the stack at the start of every call from the host and destroyed
// at its end. A suite is acquired from the broker by name and version on its first use and
// kept for the handler's life; the destructor releases exactly the suites that were acquired.
//
// An accessor answers null when the broker cannot deliver the suite (an error or an empty
// answer); the handler then remembers the failure, and error() answers 516, the value the
// callback returns to the host. Nothing here throws.
#pragma once

#include <cstdint>

#include "plugin/host_api.h"

namespace tq::plugin {

class SuiteHandler {
 public:
  explicit SuiteHandler(const tq_BasicSuite* basic) : basic_(basic) {}
  ~SuiteHandler();
  SuiteHandler(const SuiteHandler&) = delete;
  SuiteHandler& operator=(const SuiteHandler&) = delete;

  const tq_CommandSuite1* command() { return get<tq_CommandSuite1>(kCommand); }
  const tq_RegisterSuite4* reg() { return get<tq_RegisterSuite4>(kRegister); }
  const tq_UtilitySuite7* utility() { return get<tq_UtilitySuite7>(kUtility); }
  const tq_ItemSuite7* item() { return get<tq_ItemSuite7>(kItem); }
  const tq_ProjSuite5* proj() { return get<tq_ProjSuite5>(kProj); }
  const tq_DialogSuite8* dialog() { return get<tq_DialogSuite8>(kDialog); }
  const tq_DialogItemSuite8* dialogItem() { return get<tq_DialogItemSuite8>(kDialogItem); }
  const tq_ListSuite3* list() { return get<tq_ListSuite3>(kList); }
  const tq_EntrySuite5* entry() { return get<tq_EntrySuite5>(kEntry); }
  const tq_AdmBasicSuite2* admBasic() { return get<tq_AdmBasicSuite2>(kAdmBasic); }

  // TQ_HOST_SUITE_MISSING once any acquisition failed, else TQ_HOST_OK.
  tq_HostError error() const { return failed_ ? TQ_HOST_SUITE_MISSING : TQ_HOST_OK; }

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

  const tq_BasicSuite* basic_;
  const void* suites_[kSlotCount] = {};
  bool failed_ = false;
};

}  // namespace tq::plugin

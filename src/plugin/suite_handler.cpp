#include "plugin/suite_handler.h"

namespace tq::plugin {

const SuiteHandler::SuiteName SuiteHandler::kSuites[kSlotCount] = {
    {kAEGPCommandSuite, kAEGPCommandSuiteVersion1},
    {kAEGPRegisterSuite, kAEGPRegisterSuiteVersion3},
    {kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3},
    {kAEGPItemSuite, kAEGPItemSuiteVersion5},
    {kAEGPProjSuite, kAEGPProjSuiteVersion3},
    {kADMDialogSuite, kADMDialogSuiteVersion8},
    {kADMItemSuite, kADMItemSuiteVersion8},
    {kADMListSuite, kADMListSuiteVersion3},
    {kADMEntrySuite, kADMEntrySuiteVersion5},
    {kADMBasicSuite, kADMBasicSuiteVersion2},
};

SuiteHandler::~SuiteHandler() {
  if (basic_ == nullptr || basic_->ReleaseSuite == nullptr) return;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (suites_[slot] != nullptr) basic_->ReleaseSuite(kSuites[slot].name, kSuites[slot].version);
  }
}

std::string SuiteHandler::missingSuite() const {
  if (missing_ == kSlotCount) return std::string();
  return std::string("\"") + kSuites[missing_].name + "\" version " +
         std::to_string(kSuites[missing_].version);
}

const void* SuiteHandler::acquire(Slot slot) {
  if (suites_[slot] != nullptr) return suites_[slot];
  const void* suite = nullptr;
  // A broker error that still hands out a suite has not delivered it: nothing was acquired
  // that needs releasing, and nothing is used.
  if (basic_ == nullptr || basic_->AcquireSuite == nullptr ||
      basic_->AcquireSuite(kSuites[slot].name, kSuites[slot].version, &suite) != kSPNoError ||
      suite == nullptr) {
    if (missing_ == kSlotCount) missing_ = slot;
    return nullptr;
  }
  suites_[slot] = suite;
  return suite;
}

}  // namespace tq::plugin

#include "plugin/suite_handler.h"

namespace tq::plugin {

const SuiteHandler::SuiteName SuiteHandler::kSuites[kSlotCount] = {
    {TQ_COMMAND_SUITE, TQ_COMMAND_SUITE_VERSION},
    {TQ_REGISTER_SUITE, TQ_REGISTER_SUITE_VERSION},
    {TQ_UTILITY_SUITE, TQ_UTILITY_SUITE_VERSION},
    {TQ_ITEM_SUITE, TQ_ITEM_SUITE_VERSION},
    {TQ_PROJ_SUITE, TQ_PROJ_SUITE_VERSION},
    {TQ_DIALOG_SUITE, TQ_DIALOG_SUITE_VERSION},
    {TQ_DIALOG_ITEM_SUITE, TQ_DIALOG_ITEM_SUITE_VERSION},
    {TQ_LIST_SUITE, TQ_LIST_SUITE_VERSION},
    {TQ_ENTRY_SUITE, TQ_ENTRY_SUITE_VERSION},
    {TQ_ADM_BASIC_SUITE, TQ_ADM_BASIC_SUITE_VERSION},
};

SuiteHandler::~SuiteHandler() {
  if (basic_ == nullptr) return;
  for (int slot = 0; slot < kSlotCount; ++slot) {
    if (suites_[slot] != nullptr) basic_->ReleaseSuite(kSuites[slot].name, kSuites[slot].version);
  }
}

const void* SuiteHandler::acquire(Slot slot) {
  if (suites_[slot] != nullptr) return suites_[slot];
  const void* suite = nullptr;
  // A broker error that still hands out a suite has not delivered it: nothing was acquired
  // that needs releasing, and nothing is used.
  if (basic_ == nullptr || basic_->AcquireSuite == nullptr ||
      basic_->AcquireSuite(kSuites[slot].name, kSuites[slot].version, &suite) != TQ_HOST_OK ||
      suite == nullptr) {
    failed_ = true;
    return nullptr;
  }
  suites_[slot] = suite;
  return suite;
}

}  // namespace tq::plugin

// The last line of defence at every entry from the host: nothing thrown inside the plug-in
// (an allocation that fails, say) ever unwinds into the host.
#pragma once

#include "plugin/host_api.h"
#include "plugin/suite_handler.h"

namespace tq::plugin {

template <class Body>
void guardCallback(Body&& body) noexcept {
  try {
    body();
  } catch (...) {
  }
}

// For callbacks that answer a host error: the body's answer, or 516 when it threw.
template <class Body>
A_Err guardHostCall(Body&& body) noexcept {
  try {
    return body();
  } catch (...) {
    return kMissingSuiteError;
  }
}

}  // namespace tq::plugin

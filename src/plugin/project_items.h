// The compositions of the host's project (project number 0), walked with the Item Suite from
// the first item to the last.
#pragma once

#include <cstdint>
#include <functional>

#include "plugin/suite_handler.h"

namespace tq::plugin {

// Calls `visit` with the name of every composition, in project order. Answers the first host
// error (the walk stops there) or TQ_HOST_OK.
tq_HostError forEachComposition(SuiteHandler& suites,
                                const std::function<tq_HostError(const char* name)>& visit);

// Counts the compositions into `count`.
tq_HostError countCompositions(SuiteHandler& suites, int32_t& count);

}  // namespace tq::plugin

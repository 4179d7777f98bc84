// The compositions of the host's project (project number 0). The Item suite of the version the
// plug-in acquires has no "first project item": the walk starts at the project's root folder
// (Proj suite) and goes on with the Item suite's next item until there is none.
#pragma once

#include <cstdint>
#include <functional>

#include "plugin/suite_handler.h"

namespace tq::plugin {

// Most items a walk visits: a host whose next-item chain never ends cannot hang the walk.
inline constexpr int32_t kMaxProjectItems = 1 << 20;

// Calls `visit` with the name of every composition, in project order. Answers the first host
// error (the walk stops there) or A_Err_NONE.
A_Err forEachComposition(SuiteHandler& suites, const std::function<A_Err(const char* name)>& visit);

// Counts the compositions into `count`.
A_Err countCompositions(SuiteHandler& suites, int32_t& count);

}  // namespace tq::plugin

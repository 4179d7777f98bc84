// The submission window: a floating window of 44 items (window_items.h) and the procedures
// behind its radio buttons, its "Browse..." button and its "Submit Job" button.
#pragma once

#include "plugin/suite_handler.h"

namespace tq::plugin {

// Creates the window and its items, fills the lists and records the references in the
// globals. On any failure the half-made window is destroyed, the globals hold no window, and
// the host's error (516 for a missing suite) is answered.
tq_HostError createWindow(SuiteHandler& suites);
// Destroys the current window, if any, and forgets its items.
tq_HostError destroyWindow(SuiteHandler& suites);

// Notification procedures (each makes its own suite handler).
void modeProcedure(tq_ItemRef item);
void browseProcedure(tq_ItemRef item);
void submitProcedure(tq_ItemRef item);

}  // namespace tq::plugin

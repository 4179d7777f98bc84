// The submission window: a floating window of 44 items (window_items.h) and the procedures
// behind its radio buttons, its "Browse..." button and its "Submit Job" button.
#pragma once

#include <string>

#include "plugin/suite_handler.h"

namespace tq::plugin {

// Creates the window and its items, fills the lists and records the references in the
// globals. False, with the reason the user reads in `why`, when a suite is missing or the host
// made no window, item, list or entry; the half-made window is then destroyed and the globals
// hold none.
bool createWindow(SuiteHandler& suites, std::string& why);
// Destroys the current window, if any, and forgets its items.
void destroyWindow(SuiteHandler& suites);

// Notification procedures. Each makes its own suite handler and first lets the host do its
// standard part through DefaultNotify.
void modeProcedure(ADMItemRef item, ADMNotifierRef notifier);
void browseProcedure(ADMItemRef item, ADMNotifierRef notifier);
void submitProcedure(ADMItemRef item, ADMNotifierRef notifier);

}  // namespace tq::plugin

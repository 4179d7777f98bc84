// A long-running program's stop request: Ctrl-C or a termination signal.
//
// watchStopSignals() installs handlers (SIGINT and SIGTERM on POSIX; the console control
// handler on Windows) that only raise a flag; the program's loop asks stopRequested() between
// pieces of work and ends cleanly.
#pragma once

namespace tq::platform {

void watchStopSignals();
bool stopRequested();
// Raises the flag as a signal would (for tests and for a program that stops itself).
void requestStop();

}  // namespace tq::platform

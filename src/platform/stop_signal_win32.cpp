#include <windows.h>

#include "platform/stop_signal.h"

namespace tq::platform {
namespace {

BOOL WINAPI onConsoleControl(DWORD event) {
  if (event == CTRL_C_EVENT || event == CTRL_BREAK_EVENT || event == CTRL_CLOSE_EVENT) {
    requestStop();
    return TRUE;
  }
  return FALSE;
}

}  // namespace

void watchStopSignals() { SetConsoleCtrlHandler(onConsoleControl, TRUE); }

}  // namespace tq::platform

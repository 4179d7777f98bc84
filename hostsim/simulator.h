// Plays the host for the plug-in: loads it as a shared library, calls its exported entry point
// with the simulator's broker, and from then on drives it only as a host would, through the
// registered hooks and the window items' notification procedures.
#pragma once

#include <cstdint>
#include <string>

#include "hostsim/sim_host.h"
#include "platform/shared_library.h"

namespace tq::hostsim {

inline constexpr const char* kEntryPointName = "GPMain_tq";

class Simulator {
 public:
  explicit Simulator(SimHost& host) : host_(host) {}

  // Loads the plug-in and calls its entry point with this interface version and plug-in id.
  // False, with error(), when the library or its entry point cannot be found; the entry
  // point's own answer is entryResult().
  bool load(const std::string& path, int32_t major = 16, int32_t minor = 22,
            AEGP_PluginID plugin = 7);
  A_Err entryResult() const { return entry_result_; }
  const std::string& error() const { return error_; }

  struct CommandResult {
    bool handled = false;      // a hook set its handled flag
    A_Err error = A_Err_NONE;  // the first error a hook answered
  };
  // The user chooses a menu command: every command hook registered to run before the host,
  // then (unless one handled it) the host itself, then every hook registered to run after it,
  // each told whether the command was handled so far.
  CommandResult chooseCommand(AEGP_Command command);
  // The same by the command's menu name; false when there is no such command or it is
  // disabled.
  bool chooseMenu(const std::string& name, CommandResult* result = nullptr);
  // The host is about to show its menus: every update-menu hook runs. The first error.
  A_Err updateMenus();

  // What the user does in the current window, by item number (1 = first created). False, with
  // error(), when there is no window, no such item, or the item does not take the action. A
  // click or pick notifies the item: its notification procedure, or the host's DefaultNotify
  // for an item without one.
  bool click(int32_t number);
  bool type(int32_t number, const std::string& text);
  bool pick(int32_t number, const std::string& entry_text);

  DialogItem* item(int32_t number);
  // One line per item: number, kind, rectangle, text, enabled state, radio state, notification
  // procedure (the same letter for the same procedure), entries (* selected).
  std::string itemTable();
  // The window as an SVG picture: every item at its rectangle, with its text and state.
  std::string svg();

  // Calls made into the plug-in after which suites stayed acquired (should stay 0).
  int32_t unbalancedCallbacks() const { return unbalanced_callbacks_; }
  // Commands no hook handled, which the host then handled itself.
  const std::vector<AEGP_Command>& hostHandled() const { return host_handled_; }
  // Notifications whose procedure did not let the host do its standard part (DefaultNotify).
  int32_t undefaultedNotifications() const { return undefaulted_; }

 private:
  void afterCallback();
  bool fail(const std::string& why);
  void notify(DialogItem& item, Entry* picked);

  SimHost& host_;
  platform::SharedLibrary library_;
  A_Err entry_result_ = A_Err_NONE;
  std::string error_;
  int32_t unbalanced_callbacks_ = 0;
  int32_t undefaulted_ = 0;
  std::vector<AEGP_Command> host_handled_;
};

}  // namespace tq::hostsim

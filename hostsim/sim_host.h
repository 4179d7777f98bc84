// The host simulator: the suite broker and every suite the plug-in acquires, in memory, laid out
// as the host lays them out (plugin/host_api.h).
//
// A SimHost holds a project (a root folder and items with types and names), the menu commands,
// the registered hooks, the dialogs with their items (texts, states, enable flags, notification
// procedures, list entries) and a script of answers for the save dialog. It counts every suite
// acquisition and release and can be told to fail any acquisition or any host call.
//
// Every suite is served at its whole length. An entry the simulator does not serve is a trap:
// a call to it is recorded in `traps` (and printed to standard error) so that a call that lands
// on a wrong index fails the test that made it. A reference the host does not know (or no
// longer knows) given to an ADM call, which the real host would follow into freed memory, is
// recorded in `misuses`.
//
// The host's standard part of a user action (a radio button turning on and the others of its
// window off, a list's selection, a popup's text) happens only in the item suite's
// DefaultNotify, which the host calls itself for an item without a notification procedure.
//
// The suites are plain C tables, so their functions reach the simulator through one current
// SimHost (the last one made); one exists at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "plugin/host_api.h"

namespace tq::hostsim {

// The error a failing AEGP call answers.
inline constexpr A_Err kSimError = A_Err_GENERIC;
// The error of an AEGP call given a reference the host does not know.
inline constexpr A_Err kBadReference = A_Err_PARAMETER;

struct ProjectItem {
  AEGP_ItemType type = AEGP_ItemType_COMP;
  std::string name;
};

struct Entry {
  std::string text;
  bool active = false;
  bool selected = false;
};

struct DialogItem {
  std::string type;  // the kADM...Type string it was made with
  ASInt32 id = 0;
  ASRect rect{};
  std::string text;
  bool on = false;
  bool enabled = true;
  ADMItemNotifyProc notify = nullptr;
  std::vector<std::unique_ptr<Entry>> entries;
  const Entry* selectedEntry() const;
  bool hasList() const;
};

struct Dialog {
  SPPluginRef plugin = nullptr;
  std::string name;
  ASInt32 resource_id = 0;
  int32_t style = 0;
  ASInt32 options = 0;
  bool shown = false;
  int32_t width = 0, height = 0;
  bool destroyed = false;
  std::vector<std::unique_ptr<DialogItem>> items;
};

struct MenuCommand {
  AEGP_Command id = 0;
  std::string name;
  AEGP_MenuID menu = 0;
  A_long position = 0;
  bool enabled = false;
};

struct CommandHookEntry {
  AEGP_PluginID plugin;
  AEGP_HookPriority priority;
  AEGP_Command command;
  AEGP_CommandHook hook;
  AEGP_CommandRefcon refcon;
};

struct UpdateMenuHookEntry {
  AEGP_PluginID plugin;
  AEGP_UpdateMenuHook hook;
  AEGP_UpdateMenuRefcon refcon;
};

// One scripted answer of the save dialog: a chosen path, or a cancel.
struct FileAnswer {
  bool confirm = false;
  std::string path;
};

// What the plug-in passed to the save dialog.
struct FileDialogCall {
  std::string prompt;
  std::optional<std::string> start;  // none when no start was given
  std::string default_name;
};

// The event behind a notification: the item, why, and the entry a pick chose.
struct Notifier {
  DialogItem* item = nullptr;
  std::string type = kADMUserChangedNotifier;
  Entry* picked = nullptr;
  bool defaulted = false;  // DefaultNotify ran for it
};

// How a suite acquisition fails.
enum class SuiteFailure { kError, kEmpty };

class SimHost {
 public:
  SimHost();
  ~SimHost();
  SimHost(const SimHost&) = delete;
  SimHost& operator=(const SimHost&) = delete;

  static SimHost* current();
  SPBasicSuite* basicSuite() const;

  // --- the project ---
  std::string project_path;
  ProjectItem root_folder{AEGP_ItemType_FOLDER, "Root"};
  std::vector<std::unique_ptr<ProjectItem>> project_items;  // in the order a walk visits them
  void addItem(AEGP_ItemType type, const std::string& name);

  // --- menus and hooks ---
  std::vector<MenuCommand> commands;
  std::vector<CommandHookEntry> command_hooks;
  std::vector<UpdateMenuHookEntry> update_hooks;
  std::vector<std::string> reports;           // texts the plug-in reported to the user
  AEGP_Command next_command = 1000;           // what GetUniqueCommand hands out next (0: fails to)
  AEGP_GlobalRefcon global_refcon = nullptr;  // what the entry point left for the hooks
  AEGP_WindowType active_window = AEGP_WindType_PROJECT;
  MenuCommand* command(AEGP_Command id);
  MenuCommand* commandNamed(const std::string& name);

  // --- dialogs ---
  std::vector<std::unique_ptr<Dialog>> dialogs;
  // The newest dialog that is not destroyed, or null.
  Dialog* liveDialog();
  int32_t liveDialogCount() const;
  std::deque<FileAnswer> file_answers;  // an empty script cancels
  std::vector<FileDialogCall> file_dialog_calls;
  // The host's standard part of the notifier's event on its item.
  void defaultNotify(Notifier& notifier);

  // --- failures ---
  void failSuite(const std::string& name, SuiteFailure how = SuiteFailure::kError);
  // Fails the call named "Suite.Function" (e.g. "Command.GetUniqueCommand", "DialogItem.Create")
  // after `after` successful calls of it: an AEGP call answers kSimError, an ADM call does
  // nothing and answers null, 0 or false.
  void failCall(const std::string& call, int32_t after = 0);
  void clearFailures();
  // Counts the call and answers whether it is to fail.
  bool failing(const char* call);
  int32_t callCount(const std::string& call) const;

  // --- what went wrong on the plug-in's side ---
  std::vector<std::string> traps;    // calls of entries the simulator does not serve
  std::vector<std::string> misuses;  // ADM calls given references the host does not know
  bool print_problems = true;        // each trap and misuse also goes to standard error
  void trapped(const std::string& what);
  void misused(const char* call);

  // --- suite bookkeeping ---
  // Acquisitions not yet released, by suite name.
  int32_t outstanding() const;
  int32_t acquisitions(const std::string& name) const;
  int32_t releases(const std::string& name) const;
  // Releases of suites that were not acquired (should stay 0).
  int32_t unbalanced_releases = 0;
  // Suite names asked for that the simulator does not provide, with their versions.
  std::vector<std::string> unknown_requests;

  // --- references ---
  DialogItem* item(ADMItemRef ref);
  Dialog* dialog(ADMDialogRef ref);
  Entry* entry(ADMEntryRef ref);
  DialogItem* listItem(ADMListRef ref);
  DialogItem* ownerOf(const Entry* entry);
  ProjectItem* projectItem(AEGP_ItemH ref);
  bool isProject(AEGP_ProjectH ref) const;
  AEGP_ProjectH projectRef() const;

  // The broker's two operations (called through basicSuite()).
  SPErr acquire(const char* name, int32_t version, const void** suite);
  SPErr release(const char* name, int32_t version);

 private:
  std::map<std::string, SuiteFailure> failing_suites_;
  std::map<std::string, int32_t> failing_calls_;  // call -> successful calls allowed
  std::map<std::string, int32_t> call_counts_;
  std::map<std::string, int32_t> acquired_, released_;
  std::map<std::string, int32_t> held_;
  SimHost* previous_ = nullptr;
};

// A suite table, by name and version; null for a suite the simulator does not provide.
const void* suiteTable(const std::string& name, int32_t version);

// The name of an item type for listings ("static-text", "list-box", ...; the type string
// itself for a type without one).
std::string kindName(const std::string& type);
// Whether the user can type into an item of this type.
bool editable(const std::string& type);

}  // namespace tq::hostsim

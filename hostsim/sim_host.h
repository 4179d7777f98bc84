// The host simulator: the suite broker and every suite the plug-in acquires, in memory.
//
// A SimHost holds a project (items with types and names), the menu commands, the registered
// hooks, the dialogs with their items (texts, states, enable flags, notification procedures,
// list entries) and a script of answers for the standard file dialog. It counts every suite
// acquisition and release and can be told to fail any acquisition or any host call.
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

// The error a failing host call answers.
inline constexpr tq_HostError kSimError = 1;
// The error of a call given a reference the host does not know (or no longer knows).
inline constexpr tq_HostError kBadReference = 2;

struct ProjectItem {
  int32_t type = TQ_ITEM_COMPOSITION;
  std::string name;
};

struct Entry {
  std::string text;
  bool active = false;
  bool selected = false;
};

struct DialogItem {
  int32_t kind = 0;
  tq_Rect rect{};
  std::string text;
  bool on = false;
  bool enabled = true;
  tq_NotifyProc notify = nullptr;
  std::vector<std::unique_ptr<Entry>> entries;
  const Entry* selectedEntry() const;
};

struct Dialog {
  tq_PluginId plugin = 0;
  std::string name;
  int32_t style = 0;
  bool shown = false;
  int32_t width = 0, height = 0;
  bool destroyed = false;
  std::vector<std::unique_ptr<DialogItem>> items;
};

struct MenuCommand {
  tq_Command id = 0;
  std::string name;
  int32_t menu = 0;
  int32_t position = 0;
  bool enabled = false;
};

struct CommandHookEntry {
  tq_PluginId plugin;
  int32_t priority;
  tq_Command command;
  tq_CommandHook hook;
  void* refcon;
};

struct UpdateMenuHookEntry {
  tq_PluginId plugin;
  tq_UpdateMenuHook hook;
  void* refcon;
};

// One scripted answer of the standard file dialog: a chosen path, or a cancel.
struct FileAnswer {
  bool confirm = false;
  std::string path;
};

// What the plug-in passed to the standard file dialog.
struct FileDialogCall {
  std::string prompt;
  std::vector<std::string> filters;
  std::string start_location;
  std::string default_name;
  int32_t result_size = 0;
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
  const tq_BasicSuite* basicSuite() const;

  // --- the project ---
  std::string project_path;
  std::vector<std::unique_ptr<ProjectItem>> project_items;
  void addItem(int32_t type, const std::string& name);

  // --- menus and hooks ---
  std::vector<MenuCommand> commands;
  std::vector<CommandHookEntry> command_hooks;
  std::vector<UpdateMenuHookEntry> update_hooks;
  std::vector<std::string> reports;  // texts the plug-in reported to the user
  tq_Command next_command = 1000;    // what GetUniqueCommand hands out next (0: fails to)
  MenuCommand* command(tq_Command id);
  MenuCommand* commandNamed(const std::string& name);

  // --- dialogs ---
  std::vector<std::unique_ptr<Dialog>> dialogs;
  // The newest dialog that is not destroyed, or null.
  Dialog* liveDialog();
  int32_t liveDialogCount() const;
  std::deque<FileAnswer> file_answers;  // an empty script cancels
  std::vector<FileDialogCall> file_dialog_calls;

  // --- failures ---
  void failSuite(const std::string& name, SuiteFailure how = SuiteFailure::kError);
  // Fails the call named "Suite.Function" (e.g. "Command.GetUniqueCommand") after `after`
  // successful calls of it.
  void failCall(const std::string& call, int32_t after = 0);
  void clearFailures();
  // Counts the call and answers whether it is to fail.
  bool failing(const char* call);
  int32_t callCount(const std::string& call) const;

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
  DialogItem* item(tq_ItemRef ref);
  Dialog* dialog(tq_DialogRef ref);
  Entry* entry(tq_EntryRef ref);
  ProjectItem* projectItem(tq_ProjectItemRef ref);
  bool isProject(tq_ProjectRef ref) const;
  tq_ProjectRef projectRef() const;

  // The broker's two operations (called through basicSuite()).
  tq_HostError acquire(const char* name, int32_t version, const void** suite);
  tq_HostError release(const char* name, int32_t version);

 private:
  std::map<std::string, SuiteFailure> failing_suites_;
  std::map<std::string, int32_t> failing_calls_;  // call -> successful calls allowed
  std::map<std::string, int32_t> call_counts_;
  std::map<std::string, int32_t> acquired_, released_;
  std::map<std::string, int32_t> held_;
  SimHost* previous_ = nullptr;
};

// The suite tables, by name and version; null for a suite the simulator does not provide.
const void* suiteTable(const std::string& name, int32_t version);

}  // namespace tq::hostsim

// The suites of the simulator as the host's C tables, every one at its whole length. Each
// served function has the host's signature, counts its call under "Suite.Function", fails when
// told to, and checks every reference it is given; every other entry is a trap.
#include <algorithm>
#include <array>
#include <cstring>
#include <utility>

#include "hostsim/sim_host.h"

namespace tq::hostsim {

namespace {

// The current host, or null when there is none or the call is to fail.
SimHost* enter(const char* call) {
  SimHost* host = SimHost::current();
  if (host == nullptr || host->failing(call)) return nullptr;
  return host;
}

void copyText(const std::string& text, char* out, int32_t size) {
  if (out == nullptr || size <= 0) return;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
}

// ---- traps ---------------------------------------------------------------------------------
// The suites in the order of kSuites below; a trap knows its suite by this number.
enum SuiteNumber {
  kBroker,
  kCommand,
  kRegister,
  kUtility,
  kItem,
  kProj,
  kDialog,
  kDialogItem,
  kList,
  kEntry,
  kAdmBasic,
  kSuiteCount
};
const char* const kSuiteNames[kSuiteCount] = {
    kSPBasicSuite " 4",  kAEGPCommandSuite " 1", kAEGPRegisterSuite " 4", kAEGPUtilitySuite " 7",
    kAEGPItemSuite " 7", kAEGPProjSuite " 5",    kADMDialogSuite " 8",    kADMItemSuite " 8",
    kADMListSuite " 3",  kADMEntrySuite " 5",    kADMBasicSuite " 2"};

// A trap answers 0: an AEGP call "succeeds" with nothing written, an ADM call gives null, so the
// plug-in goes on and the test fails on the recorded trap rather than on a crash.
template <int kSuite, size_t kIndex>
A_long trapEntry() {
  if (SimHost* host = SimHost::current())
    host->trapped(std::string(kSuiteNames[kSuite]) + ": entry " + std::to_string(kIndex) +
                  " (byte " + std::to_string(kIndex * 4) +
                  " on 32-bit Windows) was called, which the simulator does not serve");
  return 0;
}

using Slot = void (*)();

template <int kSuite, size_t... kIndex>
std::array<Slot, sizeof...(kIndex)> trapSlots(std::index_sequence<kIndex...>) {
  return {reinterpret_cast<Slot>(&trapEntry<kSuite, kIndex>)...};
}

// A table of the suite's type with a trap in every entry.
template <class Suite, int kSuite>
Suite trappedSuite() {
  static_assert(sizeof(Suite) % sizeof(Slot) == 0, "a suite is a table of pointers");
  auto slots = trapSlots<kSuite>(std::make_index_sequence<sizeof(Suite) / sizeof(Slot)>());
  Suite suite;
  std::memcpy(static_cast<void*>(&suite), slots.data(), sizeof suite);
  return suite;
}

// ---- the broker ----------------------------------------------------------------------------
SPErr acquireSuite(const char* name, int32_t version, const void** suite) {
  SimHost* host = SimHost::current();
  return host == nullptr ? kSPSuiteNotFoundError : host->acquire(name, version, suite);
}
SPErr releaseSuite(const char* name, int32_t version) {
  SimHost* host = SimHost::current();
  return host == nullptr ? kSPSuiteNotFoundError : host->release(name, version);
}

// ---- Command suite -------------------------------------------------------------------------
A_Err getUniqueCommand(AEGP_Command* command) {
  SimHost* h = enter("Command.GetUniqueCommand");
  if (h == nullptr || command == nullptr) return kSimError;
  *command = h->next_command;
  if (h->next_command != 0) ++h->next_command;
  return A_Err_NONE;
}
A_Err insertMenuCommand(AEGP_Command command, const A_char* name, AEGP_MenuID menu,
                        A_long position) {
  SimHost* h = enter("Command.InsertMenuCommand");
  if (h == nullptr || name == nullptr) return kSimError;
  if (h->command(command) != nullptr) return kBadReference;
  h->commands.push_back({command, name, menu, position, false});
  return A_Err_NONE;
}
A_Err setEnabled(const char* call, AEGP_Command command, bool enabled) {
  SimHost* h = enter(call);
  if (h == nullptr) return kSimError;
  MenuCommand* c = h->command(command);
  if (c == nullptr) return kBadReference;
  c->enabled = enabled;
  return A_Err_NONE;
}
A_Err enableCommand(AEGP_Command command) {
  return setEnabled("Command.EnableCommand", command, true);
}
A_Err disableCommand(AEGP_Command command) {
  return setEnabled("Command.DisableCommand", command, false);
}

// ---- Register suite ------------------------------------------------------------------------
A_Err registerCommandHook(AEGP_PluginID plugin, AEGP_HookPriority priority, AEGP_Command command,
                          AEGP_CommandHook hook, AEGP_CommandRefcon refcon) {
  SimHost* h = enter("Register.RegisterCommandHook");
  if (h == nullptr || hook == nullptr) return kSimError;
  h->command_hooks.push_back({plugin, priority, command, hook, refcon});
  return A_Err_NONE;
}
A_Err registerUpdateMenuHook(AEGP_PluginID plugin, AEGP_UpdateMenuHook hook,
                             AEGP_UpdateMenuRefcon refcon) {
  SimHost* h = enter("Register.RegisterUpdateMenuHook");
  if (h == nullptr || hook == nullptr) return kSimError;
  h->update_hooks.push_back({plugin, hook, refcon});
  return A_Err_NONE;
}

// ---- Utility suite -------------------------------------------------------------------------
A_Err reportInfo(AEGP_PluginID, const A_char* text) {
  SimHost* h = enter("Utility.ReportInfo");
  if (h == nullptr || text == nullptr) return kSimError;
  h->reports.emplace_back(text);
  return A_Err_NONE;
}

// ---- Item suite ----------------------------------------------------------------------------
AEGP_ItemH handleOf(ProjectItem* item) { return reinterpret_cast<AEGP_ItemH>(item); }

// The items in the order the host visits them: the root folder, then every item.
A_Err getNextItem(AEGP_ItemH item, AEGP_ItemH* next) {
  SimHost* h = enter("Item.GetNextItem");
  if (h == nullptr || next == nullptr) return kSimError;
  *next = nullptr;
  ProjectItem* p = h->projectItem(item);
  if (p == nullptr) return kBadReference;
  auto& items = h->project_items;
  if (p == &h->root_folder) {
    if (!items.empty()) *next = handleOf(items.front().get());
    return A_Err_NONE;
  }
  for (size_t i = 0; i + 1 < items.size(); ++i)
    if (items[i].get() == p) *next = handleOf(items[i + 1].get());
  return A_Err_NONE;
}
A_Err getItemType(AEGP_ItemH item, AEGP_ItemType* type) {
  SimHost* h = enter("Item.GetItemType");
  if (h == nullptr || type == nullptr) return kSimError;
  ProjectItem* p = h->projectItem(item);
  if (p == nullptr) return kBadReference;
  *type = p->type;
  return A_Err_NONE;
}
A_Err getItemName(AEGP_ItemH item, A_char* name) {
  SimHost* h = enter("Item.GetItemName");
  if (h == nullptr || name == nullptr) return kSimError;
  ProjectItem* p = h->projectItem(item);
  if (p == nullptr) return kBadReference;
  copyText(p->name, name, AEGP_MAX_ITEM_NAME_SIZE);
  return A_Err_NONE;
}

// ---- Proj suite ----------------------------------------------------------------------------
A_Err getProjectByIndex(A_long index, AEGP_ProjectH* project) {
  SimHost* h = enter("Proj.GetProjectByIndex");
  if (h == nullptr || project == nullptr) return kSimError;
  if (index != 0) return kBadReference;
  *project = h->projectRef();
  return A_Err_NONE;
}
A_Err getProjectPath(AEGP_ProjectH project, A_char* path) {
  SimHost* h = enter("Proj.GetProjectPath");
  if (h == nullptr || path == nullptr) return kSimError;
  if (!h->isProject(project)) return kBadReference;
  copyText(h->project_path, path, AEGP_MAX_PATH_SIZE);
  return A_Err_NONE;
}
A_Err getProjectRootFolder(AEGP_ProjectH project, AEGP_ItemH* root) {
  SimHost* h = enter("Proj.GetProjectRootFolder");
  if (h == nullptr || root == nullptr) return kSimError;
  if (!h->isProject(project)) return kBadReference;
  *root = handleOf(&h->root_folder);
  return A_Err_NONE;
}

// ---- ADM Dialog suite ----------------------------------------------------------------------
// An ADM call's host and object, or nulls when the call is to fail; a reference the host does
// not know is recorded as a misuse.
template <class Object, class Ref>
std::pair<SimHost*, Object*> admEnter(const char* call, Ref ref, Object* (SimHost::*find)(Ref)) {
  SimHost* h = enter(call);
  if (h == nullptr) return {nullptr, nullptr};
  Object* object = (h->*find)(ref);
  if (object == nullptr) h->misused(call);
  return {object == nullptr ? nullptr : h, object};
}

ADMDialogRef dialogCreate(SPPluginRef plugin, const char* name, ASInt32 resource_id,
                          ADMDialogStyle style, ADMDialogInitProc init, ADMUserData,
                          ASInt32 options) {
  SimHost* h = enter("Dialog.Create");
  if (h == nullptr || name == nullptr) return nullptr;
  auto d = std::make_unique<Dialog>();
  d->plugin = plugin;
  d->name = name;
  d->resource_id = resource_id;
  d->style = static_cast<int32_t>(style);
  d->options = options;
  auto ref = reinterpret_cast<ADMDialogRef>(d.get());
  h->dialogs.push_back(std::move(d));
  // An init procedure runs at once; its error makes the creation fail.
  if (init != nullptr && init(ref) != 0) {
    h->dialogs.back()->destroyed = true;
    return nullptr;
  }
  return ref;
}
void dialogDestroy(ADMDialogRef dialog) {
  auto [h, d] = admEnter("Dialog.Destroy", dialog, &SimHost::dialog);
  if (d != nullptr) d->destroyed = true;
}
void dialogShow(ADMDialogRef dialog, ASBoolean show) {
  auto [h, d] = admEnter("Dialog.Show", dialog, &SimHost::dialog);
  if (d != nullptr) d->shown = show != 0;
}
void dialogSize(ADMDialogRef dialog, ASInt32 width, ASInt32 height) {
  auto [h, d] = admEnter("Dialog.Size", dialog, &SimHost::dialog);
  if (d == nullptr) return;
  d->width = width;
  d->height = height;
}

// ---- ADM Item suite ------------------------------------------------------------------------
ADMItemRef itemCreate(ADMDialogRef dialog, ASInt32 id, ADMItemType type, const ASRect* rect,
                      ADMItemInitProc init, ADMUserData, ASInt32) {
  auto [h, d] = admEnter("DialogItem.Create", dialog, &SimHost::dialog);
  if (d == nullptr || type == nullptr || rect == nullptr) return nullptr;
  auto i = std::make_unique<DialogItem>();
  i->type = type;
  i->id = id;
  i->rect = *rect;
  auto ref = reinterpret_cast<ADMItemRef>(i.get());
  d->items.push_back(std::move(i));
  if (init != nullptr && init(ref) != 0) {
    d->items.pop_back();
    return nullptr;
  }
  return ref;
}
void itemSetNotifyProc(ADMItemRef item, ADMItemNotifyProc proc) {
  auto [h, i] = admEnter("DialogItem.SetNotifyProc", item, &SimHost::item);
  if (i != nullptr) i->notify = proc;
}
void itemDefaultNotify(ADMItemRef item, ADMNotifierRef notifier) {
  auto [h, i] = admEnter("DialogItem.DefaultNotify", item, &SimHost::item);
  auto* n = reinterpret_cast<Notifier*>(notifier);
  if (i == nullptr) return;
  if (n == nullptr || n->item != i) {
    h->misused("DialogItem.DefaultNotify (the notifier of another item)");
    return;
  }
  h->defaultNotify(*n);
}
ADMListRef itemGetList(ADMItemRef item) {
  auto [h, i] = admEnter("DialogItem.GetList", item, &SimHost::item);
  return i != nullptr && i->hasList() ? reinterpret_cast<ADMListRef>(i) : nullptr;
}
void itemEnable(ADMItemRef item, ASBoolean enable) {
  auto [h, i] = admEnter("DialogItem.Enable", item, &SimHost::item);
  if (i != nullptr) i->enabled = enable != 0;
}
void itemSetText(ADMItemRef item, const char* text) {
  auto [h, i] = admEnter("DialogItem.SetText", item, &SimHost::item);
  if (i != nullptr && text != nullptr) i->text = text;
}
void itemGetText(ADMItemRef item, char* text, ASInt32 size) {
  auto [h, i] = admEnter("DialogItem.GetText", item, &SimHost::item);
  if (i != nullptr) copyText(i->text, text, size);
}
ASInt32 itemGetTextLength(ADMItemRef item) {
  auto [h, i] = admEnter("DialogItem.GetTextLength", item, &SimHost::item);
  return i == nullptr ? 0 : static_cast<ASInt32>(i->text.size());
}
void itemSetBooleanValue(ADMItemRef item, ASBoolean value) {
  auto [h, i] = admEnter("DialogItem.SetBooleanValue", item, &SimHost::item);
  if (i != nullptr) i->on = value != 0;
}
ASBoolean itemGetBooleanValue(ADMItemRef item) {
  auto [h, i] = admEnter("DialogItem.GetBooleanValue", item, &SimHost::item);
  return i != nullptr && i->on ? 1 : 0;
}

// ---- ADM List suite ------------------------------------------------------------------------
ADMEntryRef indexSelectedEntry(ADMListRef list, ASInt32 index) {
  auto [h, i] = admEnter("List.IndexSelectedEntry", list, &SimHost::listItem);
  if (i == nullptr) return nullptr;
  for (const auto& e : i->entries)
    if (e->selected && index-- == 0) return reinterpret_cast<ADMEntryRef>(e.get());
  return nullptr;
}
ASInt32 numberOfSelectedEntries(ADMListRef list) {
  auto [h, i] = admEnter("List.NumberOfSelectedEntries", list, &SimHost::listItem);
  if (i == nullptr) return 0;
  return static_cast<ASInt32>(std::count_if(i->entries.begin(), i->entries.end(),
                                            [](const auto& e) { return e->selected; }));
}

// ---- ADM Entry suite -----------------------------------------------------------------------
ADMEntryRef entryCreate(ADMListRef list) {
  auto [h, i] = admEnter("Entry.Create", list, &SimHost::listItem);
  if (i == nullptr) return nullptr;
  i->entries.push_back(std::make_unique<Entry>());
  return reinterpret_cast<ADMEntryRef>(i->entries.back().get());
}
void entrySelect(ADMEntryRef entry, ASBoolean selected) {
  auto [h, e] = admEnter("Entry.Select", entry, &SimHost::entry);
  if (e == nullptr) return;
  // One selection per list.
  if (selected)
    for (const auto& other : h->ownerOf(e)->entries) other->selected = false;
  e->selected = selected != 0;
}
void entryActivate(ADMEntryRef entry, ASBoolean active) {
  auto [h, e] = admEnter("Entry.Activate", entry, &SimHost::entry);
  if (e != nullptr) e->active = active != 0;
}
void entrySetText(ADMEntryRef entry, const char* text) {
  auto [h, e] = admEnter("Entry.SetText", entry, &SimHost::entry);
  if (e != nullptr && text != nullptr) e->text = text;
}
void entryGetText(ADMEntryRef entry, char* text, ASInt32 size) {
  auto [h, e] = admEnter("Entry.GetText", entry, &SimHost::entry);
  if (e != nullptr) copyText(e->text, text, size);
}
ASInt32 entryGetTextLength(ADMEntryRef entry) {
  auto [h, e] = admEnter("Entry.GetTextLength", entry, &SimHost::entry);
  return e == nullptr ? 0 : static_cast<ASInt32>(e->text.size());
}

// ---- ADM Basic suite -----------------------------------------------------------------------
// The start and default name as the plug-in gave them (a start path read up to its NUL within
// the 300 bytes), then the scripted answer.
ASBoolean standardPutFileDialog(const char* prompt, const SPPlatformFileSpecification* start,
                                const char* default_name, SPPlatformFileSpecification* chosen) {
  SimHost* h = enter("AdmBasic.StandardPutFileDialog");
  if (h == nullptr || chosen == nullptr) return 0;
  FileDialogCall call;
  call.prompt = prompt != nullptr ? prompt : "";
  if (start != nullptr)
    call.start = std::string(start->path, strnlen(start->path, sizeof start->path));
  call.default_name = default_name != nullptr ? default_name : "";
  h->file_dialog_calls.push_back(call);
  if (h->file_answers.empty()) return 0;
  FileAnswer answer = h->file_answers.front();
  h->file_answers.pop_front();
  if (!answer.confirm) return 0;
  copyText(answer.path, chosen->path, sizeof chosen->path);
  return 1;
}

// ---- the tables ----------------------------------------------------------------------------
SPBasicSuite makeBroker() {
  SPBasicSuite s = trappedSuite<SPBasicSuite, kBroker>();
  s.AcquireSuite = acquireSuite;
  s.ReleaseSuite = releaseSuite;
  return s;
}
SPBasicSuite g_broker = makeBroker();

const AEGP_CommandSuite1 kCommandSuite = [] {
  auto s = trappedSuite<AEGP_CommandSuite1, kCommand>();
  s.AEGP_GetUniqueCommand = getUniqueCommand;
  s.AEGP_InsertMenuCommand = insertMenuCommand;
  s.AEGP_EnableCommand = enableCommand;
  s.AEGP_DisableCommand = disableCommand;
  return s;
}();
const AEGP_RegisterSuite3 kRegisterSuite = [] {
  auto s = trappedSuite<AEGP_RegisterSuite3, kRegister>();
  s.AEGP_RegisterCommandHook = registerCommandHook;
  s.AEGP_RegisterUpdateMenuHook = registerUpdateMenuHook;
  return s;
}();
const AEGP_UtilitySuite3 kUtilitySuite = [] {
  auto s = trappedSuite<AEGP_UtilitySuite3, kUtility>();
  s.AEGP_ReportInfo = reportInfo;
  return s;
}();
const AEGP_ItemSuite5 kItemSuite = [] {
  auto s = trappedSuite<AEGP_ItemSuite5, kItem>();
  s.AEGP_GetNextItem = getNextItem;
  s.AEGP_GetItemType = getItemType;
  s.AEGP_GetItemName = getItemName;
  return s;
}();
const AEGP_ProjSuite3 kProjSuite = [] {
  auto s = trappedSuite<AEGP_ProjSuite3, kProj>();
  s.AEGP_GetProjectByIndex = getProjectByIndex;
  s.AEGP_GetProjectPath = getProjectPath;
  s.AEGP_GetProjectRootFolder = getProjectRootFolder;
  return s;
}();
const ADMDialogSuite8 kDialogSuite = [] {
  auto s = trappedSuite<ADMDialogSuite8, kDialog>();
  s.Create = dialogCreate;
  s.Destroy = dialogDestroy;
  s.Show = dialogShow;
  s.Size = dialogSize;
  return s;
}();
const ADMItemSuite8 kDialogItemSuite = [] {
  auto s = trappedSuite<ADMItemSuite8, kDialogItem>();
  s.Create = itemCreate;
  s.SetNotifyProc = itemSetNotifyProc;
  s.DefaultNotify = itemDefaultNotify;
  s.GetList = itemGetList;
  s.Enable = itemEnable;
  s.SetText = itemSetText;
  s.GetText = itemGetText;
  s.GetTextLength = itemGetTextLength;
  s.SetBooleanValue = itemSetBooleanValue;
  s.GetBooleanValue = itemGetBooleanValue;
  return s;
}();
const ADMListSuite3 kListSuite = [] {
  auto s = trappedSuite<ADMListSuite3, kList>();
  s.IndexSelectedEntry = indexSelectedEntry;
  s.NumberOfSelectedEntries = numberOfSelectedEntries;
  return s;
}();
const ADMEntrySuite5 kEntrySuite = [] {
  auto s = trappedSuite<ADMEntrySuite5, kEntry>();
  s.Create = entryCreate;
  s.Select = entrySelect;
  s.Activate = entryActivate;
  s.SetText = entrySetText;
  s.GetText = entryGetText;
  s.GetTextLength = entryGetTextLength;
  return s;
}();
const ADMBasicSuite2 kAdmBasicSuite = [] {
  auto s = trappedSuite<ADMBasicSuite2, kAdmBasic>();
  s.StandardPutFileDialog = standardPutFileDialog;
  return s;
}();

struct SuiteEntry {
  const char* name;
  int32_t version;
  const void* table;
};

const SuiteEntry kSuiteTables[] = {
    {kAEGPCommandSuite, kAEGPCommandSuiteVersion1, &kCommandSuite},
    {kAEGPRegisterSuite, kAEGPRegisterSuiteVersion3, &kRegisterSuite},
    {kAEGPUtilitySuite, kAEGPUtilitySuiteVersion3, &kUtilitySuite},
    {kAEGPItemSuite, kAEGPItemSuiteVersion5, &kItemSuite},
    {kAEGPProjSuite, kAEGPProjSuiteVersion3, &kProjSuite},
    {kADMDialogSuite, kADMDialogSuiteVersion8, &kDialogSuite},
    {kADMItemSuite, kADMItemSuiteVersion8, &kDialogItemSuite},
    {kADMListSuite, kADMListSuiteVersion3, &kListSuite},
    {kADMEntrySuite, kADMEntrySuiteVersion5, &kEntrySuite},
    {kADMBasicSuite, kADMBasicSuiteVersion2, &kAdmBasicSuite},
};

}  // namespace

SPBasicSuite* brokerTable() { return &g_broker; }

const void* suiteTable(const std::string& name, int32_t version) {
  for (const SuiteEntry& s : kSuiteTables)
    if (name == s.name && version == s.version) return s.table;
  return nullptr;
}

}  // namespace tq::hostsim

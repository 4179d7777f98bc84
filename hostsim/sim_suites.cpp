// The suites of the simulator as C tables. Every function counts its call under
// "Suite.Function", fails when told to, and checks every reference it is given.
#include <algorithm>
#include <cstring>

#include "hostsim/sim_host.h"

namespace tq::hostsim {

namespace {

// The current host, or null when there is none or the call is to fail.
SimHost* enter(const char* call) {
  SimHost* host = SimHost::current();
  if (host == nullptr || host->failing(call)) return nullptr;
  return host;
}

tq_HostError copyText(const std::string& text, char* out, int32_t size) {
  if (out == nullptr || size <= 0) return kSimError;
  size_t n = std::min(text.size(), static_cast<size_t>(size - 1));
  std::memcpy(out, text.data(), n);
  out[n] = '\0';
  return TQ_HOST_OK;
}

bool hasList(int32_t kind) {
  return kind == TQ_ITEM_LIST_BOX || kind == TQ_ITEM_POPUP_LIST || kind == TQ_ITEM_TEXT_EDIT_POPUP;
}

// The item that owns an entry.
DialogItem* ownerOf(SimHost& host, const Entry* entry) {
  for (const auto& d : host.dialogs) {
    if (d->destroyed) continue;
    for (const auto& i : d->items)
      for (const auto& e : i->entries)
        if (e.get() == entry) return i.get();
  }
  return nullptr;
}

// ---- Command Suite -----------------------------------------------------------------------
tq_HostError getUniqueCommand(tq_Command* command) {
  SimHost* h = enter("Command.GetUniqueCommand");
  if (h == nullptr || command == nullptr) return kSimError;
  *command = h->next_command;
  if (h->next_command != 0) ++h->next_command;
  return TQ_HOST_OK;
}
tq_HostError insertMenuCommand(tq_Command command, const char* name, int32_t menu,
                               int32_t position) {
  SimHost* h = enter("Command.InsertMenuCommand");
  if (h == nullptr || name == nullptr) return kSimError;
  if (h->command(command) != nullptr) return kSimError;
  h->commands.push_back({command, name, menu, position, false});
  return TQ_HOST_OK;
}
tq_HostError setEnabled(const char* call, tq_Command command, bool enabled) {
  SimHost* h = enter(call);
  if (h == nullptr) return kSimError;
  MenuCommand* c = h->command(command);
  if (c == nullptr) return kBadReference;
  c->enabled = enabled;
  return TQ_HOST_OK;
}
tq_HostError enableCommand(tq_Command command) {
  return setEnabled("Command.EnableCommand", command, true);
}
tq_HostError disableCommand(tq_Command command) {
  return setEnabled("Command.DisableCommand", command, false);
}
const tq_CommandSuite1 kCommandSuite = {getUniqueCommand, insertMenuCommand, enableCommand,
                                        disableCommand};

// ---- Register Suite ----------------------------------------------------------------------
tq_HostError registerCommandHook(tq_PluginId plugin, int32_t priority, tq_Command command,
                                 tq_CommandHook hook, void* refcon) {
  SimHost* h = enter("Register.RegisterCommandHook");
  if (h == nullptr || hook == nullptr) return kSimError;
  h->command_hooks.push_back({plugin, priority, command, hook, refcon});
  return TQ_HOST_OK;
}
tq_HostError registerUpdateMenuHook(tq_PluginId plugin, tq_UpdateMenuHook hook, void* refcon) {
  SimHost* h = enter("Register.RegisterUpdateMenuHook");
  if (h == nullptr || hook == nullptr) return kSimError;
  h->update_hooks.push_back({plugin, hook, refcon});
  return TQ_HOST_OK;
}
const tq_RegisterSuite4 kRegisterSuite = {registerCommandHook, registerUpdateMenuHook};

// ---- Utility Suite -----------------------------------------------------------------------
tq_HostError reportInfo(tq_PluginId, const char* text) {
  SimHost* h = enter("Utility.ReportInfo");
  if (h == nullptr || text == nullptr) return kSimError;
  h->reports.emplace_back(text);
  return TQ_HOST_OK;
}
const tq_UtilitySuite7 kUtilitySuite = {reportInfo};

// ---- Item Suite --------------------------------------------------------------------------
tq_HostError getFirstProjItem(tq_ProjectRef project, tq_ProjectItemRef* item) {
  SimHost* h = enter("Item.GetFirstProjItem");
  if (h == nullptr || item == nullptr) return kSimError;
  if (!h->isProject(project)) return kBadReference;
  *item = h->project_items.empty()
              ? nullptr
              : reinterpret_cast<tq_ProjectItemRef>(h->project_items.front().get());
  return TQ_HOST_OK;
}
tq_HostError getNextProjItem(tq_ProjectRef project, tq_ProjectItemRef item,
                             tq_ProjectItemRef* next) {
  SimHost* h = enter("Item.GetNextProjItem");
  if (h == nullptr || next == nullptr) return kSimError;
  if (!h->isProject(project)) return kBadReference;
  *next = nullptr;
  auto& items = h->project_items;
  for (size_t i = 0; i < items.size(); ++i) {
    if (reinterpret_cast<tq_ProjectItemRef>(items[i].get()) != item) continue;
    if (i + 1 < items.size()) *next = reinterpret_cast<tq_ProjectItemRef>(items[i + 1].get());
    return TQ_HOST_OK;
  }
  return kBadReference;
}
tq_HostError getItemType(tq_ProjectItemRef item, int32_t* type) {
  SimHost* h = enter("Item.GetItemType");
  if (h == nullptr || type == nullptr) return kSimError;
  ProjectItem* p = h->projectItem(item);
  if (p == nullptr) return kBadReference;
  *type = p->type;
  return TQ_HOST_OK;
}
tq_HostError getItemName(tq_ProjectItemRef item, char* name) {
  SimHost* h = enter("Item.GetItemName");
  if (h == nullptr) return kSimError;
  ProjectItem* p = h->projectItem(item);
  if (p == nullptr) return kBadReference;
  return copyText(p->name, name, TQ_MAX_ITEM_NAME_SIZE);
}
const tq_ItemSuite7 kItemSuite = {getFirstProjItem, getNextProjItem, getItemType, getItemName};

// ---- Proj Suite --------------------------------------------------------------------------
tq_HostError getProjectByIndex(int32_t index, tq_ProjectRef* project) {
  SimHost* h = enter("Proj.GetProjectByIndex");
  if (h == nullptr || project == nullptr) return kSimError;
  if (index != 0) return kBadReference;
  *project = h->projectRef();
  return TQ_HOST_OK;
}
tq_HostError getProjectPath(tq_ProjectRef project, char* path) {
  SimHost* h = enter("Proj.GetProjectPath");
  if (h == nullptr) return kSimError;
  if (!h->isProject(project)) return kBadReference;
  return copyText(h->project_path, path, TQ_MAX_PATH_SIZE);
}
const tq_ProjSuite5 kProjSuite = {getProjectByIndex, getProjectPath};

// ---- Dialog Suite ------------------------------------------------------------------------
tq_HostError dialogCreate(tq_PluginId plugin, const char* name, int32_t style,
                          tq_DialogRef* dialog) {
  SimHost* h = enter("Dialog.Create");
  if (h == nullptr || name == nullptr || dialog == nullptr) return kSimError;
  auto d = std::make_unique<Dialog>();
  d->plugin = plugin;
  d->name = name;
  d->style = style;
  *dialog = reinterpret_cast<tq_DialogRef>(d.get());
  h->dialogs.push_back(std::move(d));
  return TQ_HOST_OK;
}
tq_HostError dialogShow(tq_DialogRef dialog, tq_Bool show) {
  SimHost* h = enter("Dialog.Show");
  if (h == nullptr) return kSimError;
  Dialog* d = h->dialog(dialog);
  if (d == nullptr) return kBadReference;
  d->shown = show != 0;
  return TQ_HOST_OK;
}
tq_HostError dialogSize(tq_DialogRef dialog, int32_t width, int32_t height) {
  SimHost* h = enter("Dialog.Size");
  if (h == nullptr) return kSimError;
  Dialog* d = h->dialog(dialog);
  if (d == nullptr) return kBadReference;
  d->width = width;
  d->height = height;
  return TQ_HOST_OK;
}
tq_HostError dialogDestroy(tq_DialogRef dialog) {
  SimHost* h = enter("Dialog.Destroy");
  if (h == nullptr) return kSimError;
  Dialog* d = h->dialog(dialog);
  if (d == nullptr) return kBadReference;
  d->destroyed = true;
  return TQ_HOST_OK;
}
const tq_DialogSuite8 kDialogSuite = {dialogCreate, dialogShow, dialogSize, dialogDestroy};

// ---- Dialog Item Suite -------------------------------------------------------------------
tq_HostError itemCreate(tq_DialogRef dialog, int32_t kind, const tq_Rect* rect, tq_ItemRef* item) {
  SimHost* h = enter("DialogItem.Create");
  if (h == nullptr || rect == nullptr || item == nullptr) return kSimError;
  Dialog* d = h->dialog(dialog);
  if (d == nullptr) return kBadReference;
  auto i = std::make_unique<DialogItem>();
  i->kind = kind;
  i->rect = *rect;
  *item = reinterpret_cast<tq_ItemRef>(i.get());
  d->items.push_back(std::move(i));
  return TQ_HOST_OK;
}
tq_HostError itemSetText(tq_ItemRef item, const char* text) {
  SimHost* h = enter("DialogItem.SetText");
  if (h == nullptr || text == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  i->text = text;
  return TQ_HOST_OK;
}
tq_HostError itemGetTextLength(tq_ItemRef item, int32_t* length) {
  SimHost* h = enter("DialogItem.GetTextLength");
  if (h == nullptr || length == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  *length = static_cast<int32_t>(i->text.size());
  return TQ_HOST_OK;
}
tq_HostError itemGetText(tq_ItemRef item, char* text, int32_t size) {
  SimHost* h = enter("DialogItem.GetText");
  if (h == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  return copyText(i->text, text, size);
}
tq_HostError itemSetBooleanValue(tq_ItemRef item, tq_Bool value) {
  SimHost* h = enter("DialogItem.SetBooleanValue");
  if (h == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  i->on = value != 0;
  return TQ_HOST_OK;
}
tq_HostError itemGetBooleanValue(tq_ItemRef item, tq_Bool* value) {
  SimHost* h = enter("DialogItem.GetBooleanValue");
  if (h == nullptr || value == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  *value = i->on ? 1 : 0;
  return TQ_HOST_OK;
}
tq_HostError itemEnable(tq_ItemRef item, tq_Bool enable) {
  SimHost* h = enter("DialogItem.Enable");
  if (h == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  i->enabled = enable != 0;
  return TQ_HOST_OK;
}
tq_HostError itemSetNotifyProc(tq_ItemRef item, tq_NotifyProc proc) {
  SimHost* h = enter("DialogItem.SetNotifyProc");
  if (h == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr) return kBadReference;
  i->notify = proc;
  return TQ_HOST_OK;
}
tq_HostError itemGetList(tq_ItemRef item, tq_ListRef* list) {
  SimHost* h = enter("DialogItem.GetList");
  if (h == nullptr || list == nullptr) return kSimError;
  DialogItem* i = h->item(item);
  if (i == nullptr || !hasList(i->kind)) return kBadReference;
  *list = reinterpret_cast<tq_ListRef>(i);
  return TQ_HOST_OK;
}
const tq_DialogItemSuite8 kDialogItemSuite = {itemCreate,  itemSetText,         itemGetTextLength,
                                              itemGetText, itemSetBooleanValue, itemGetBooleanValue,
                                              itemEnable,  itemSetNotifyProc,   itemGetList};

// ---- List Suite --------------------------------------------------------------------------
DialogItem* listItem(SimHost& h, tq_ListRef list) {
  DialogItem* i = h.item(reinterpret_cast<tq_ItemRef>(list));
  return i != nullptr && hasList(i->kind) ? i : nullptr;
}
tq_HostError numberOfSelectedEntries(tq_ListRef list, int32_t* count) {
  SimHost* h = enter("List.NumberOfSelectedEntries");
  if (h == nullptr || count == nullptr) return kSimError;
  DialogItem* i = listItem(*h, list);
  if (i == nullptr) return kBadReference;
  *count = static_cast<int32_t>(std::count_if(i->entries.begin(), i->entries.end(),
                                              [](const auto& e) { return e->selected; }));
  return TQ_HOST_OK;
}
tq_HostError indexSelectedEntry(tq_ListRef list, int32_t index, tq_EntryRef* entry) {
  SimHost* h = enter("List.IndexSelectedEntry");
  if (h == nullptr || entry == nullptr) return kSimError;
  DialogItem* i = listItem(*h, list);
  if (i == nullptr) return kBadReference;
  for (const auto& e : i->entries) {
    if (!e->selected) continue;
    if (index-- == 0) {
      *entry = reinterpret_cast<tq_EntryRef>(e.get());
      return TQ_HOST_OK;
    }
  }
  return kBadReference;
}
const tq_ListSuite3 kListSuite = {numberOfSelectedEntries, indexSelectedEntry};

// ---- Entry Suite -------------------------------------------------------------------------
tq_HostError entryCreate(tq_ListRef list, tq_EntryRef* entry) {
  SimHost* h = enter("Entry.Create");
  if (h == nullptr || entry == nullptr) return kSimError;
  DialogItem* i = listItem(*h, list);
  if (i == nullptr) return kBadReference;
  i->entries.push_back(std::make_unique<Entry>());
  *entry = reinterpret_cast<tq_EntryRef>(i->entries.back().get());
  return TQ_HOST_OK;
}
tq_HostError entrySetText(tq_EntryRef entry, const char* text) {
  SimHost* h = enter("Entry.SetText");
  if (h == nullptr || text == nullptr) return kSimError;
  Entry* e = h->entry(entry);
  if (e == nullptr) return kBadReference;
  e->text = text;
  return TQ_HOST_OK;
}
tq_HostError entryGetTextLength(tq_EntryRef entry, int32_t* length) {
  SimHost* h = enter("Entry.GetTextLength");
  if (h == nullptr || length == nullptr) return kSimError;
  Entry* e = h->entry(entry);
  if (e == nullptr) return kBadReference;
  *length = static_cast<int32_t>(e->text.size());
  return TQ_HOST_OK;
}
tq_HostError entryGetText(tq_EntryRef entry, char* text, int32_t size) {
  SimHost* h = enter("Entry.GetText");
  if (h == nullptr) return kSimError;
  Entry* e = h->entry(entry);
  if (e == nullptr) return kBadReference;
  return copyText(e->text, text, size);
}
tq_HostError entryActivate(tq_EntryRef entry, tq_Bool active) {
  SimHost* h = enter("Entry.Activate");
  if (h == nullptr) return kSimError;
  Entry* e = h->entry(entry);
  if (e == nullptr) return kBadReference;
  e->active = active != 0;
  return TQ_HOST_OK;
}
tq_HostError entrySelect(tq_EntryRef entry, tq_Bool selected) {
  SimHost* h = enter("Entry.Select");
  if (h == nullptr) return kSimError;
  Entry* e = h->entry(entry);
  DialogItem* owner = e == nullptr ? nullptr : ownerOf(*h, e);
  if (owner == nullptr) return kBadReference;
  // One selection per list.
  if (selected)
    for (const auto& other : owner->entries) other->selected = false;
  e->selected = selected != 0;
  return TQ_HOST_OK;
}
const tq_EntrySuite5 kEntrySuite = {entryCreate,  entrySetText,  entryGetTextLength,
                                    entryGetText, entryActivate, entrySelect};

// ---- ADM Basic Suite ---------------------------------------------------------------------
// The filter block's strings up to its empty string (at most 64, so a block without its end
// is not read without bound).
std::vector<std::string> filterStrings(const char* block) {
  std::vector<std::string> strings;
  if (block == nullptr) return strings;
  for (int n = 0; n < 64 && *block != '\0'; ++n) {
    strings.emplace_back(block);
    block += strings.back().size() + 1;
  }
  return strings;
}
tq_HostError standardPutFileDialog(const char* prompt, const char* filters,
                                   const char* start_location, const char* default_name,
                                   char* result, int32_t result_size, tq_Bool* chosen) {
  SimHost* h = enter("AdmBasic.StandardPutFileDialog");
  if (h == nullptr || chosen == nullptr) return kSimError;
  h->file_dialog_calls.push_back({prompt != nullptr ? prompt : "", filterStrings(filters),
                                  start_location != nullptr ? start_location : "",
                                  default_name != nullptr ? default_name : "", result_size});
  *chosen = 0;
  if (h->file_answers.empty()) return TQ_HOST_OK;
  FileAnswer answer = h->file_answers.front();
  h->file_answers.pop_front();
  if (!answer.confirm) return TQ_HOST_OK;
  tq_HostError err = copyText(answer.path, result, result_size);
  if (err == TQ_HOST_OK) *chosen = 1;
  return err;
}
const tq_AdmBasicSuite2 kAdmBasicSuite = {standardPutFileDialog};

struct SuiteEntry {
  const char* name;
  int32_t version;
  const void* table;
};

const SuiteEntry kSuiteTables[] = {
    {TQ_COMMAND_SUITE, TQ_COMMAND_SUITE_VERSION, &kCommandSuite},
    {TQ_REGISTER_SUITE, TQ_REGISTER_SUITE_VERSION, &kRegisterSuite},
    {TQ_UTILITY_SUITE, TQ_UTILITY_SUITE_VERSION, &kUtilitySuite},
    {TQ_ITEM_SUITE, TQ_ITEM_SUITE_VERSION, &kItemSuite},
    {TQ_PROJ_SUITE, TQ_PROJ_SUITE_VERSION, &kProjSuite},
    {TQ_DIALOG_SUITE, TQ_DIALOG_SUITE_VERSION, &kDialogSuite},
    {TQ_DIALOG_ITEM_SUITE, TQ_DIALOG_ITEM_SUITE_VERSION, &kDialogItemSuite},
    {TQ_LIST_SUITE, TQ_LIST_SUITE_VERSION, &kListSuite},
    {TQ_ENTRY_SUITE, TQ_ENTRY_SUITE_VERSION, &kEntrySuite},
    {TQ_ADM_BASIC_SUITE, TQ_ADM_BASIC_SUITE_VERSION, &kAdmBasicSuite},
};

}  // namespace

const void* suiteTable(const std::string& name, int32_t version) {
  for (const SuiteEntry& s : kSuiteTables)
    if (name == s.name && version == s.version) return s.table;
  return nullptr;
}

}  // namespace tq::hostsim

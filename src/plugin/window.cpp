#include "plugin/window.h"

#include <cstring>

#include "client/submitter.h"
#include "plugin/callback_guard.h"
#include "plugin/globals.h"
#include "plugin/project_items.h"
#include "plugin/window_host.h"

namespace tq::plugin {

namespace {

tq_NotifyProc notifyProc(Notify notify) {
  switch (notify) {
    case Notify::kMode:
      return modeProcedure;
    case Notify::kBrowse:
      return browseProcedure;
    case Notify::kSubmit:
      return submitProcedure;
    case Notify::kNone:
      break;
  }
  return nullptr;
}

void forgetWindow() {
  Globals& g = globals();
  g.window = nullptr;
  for (tq_ItemRef& item : g.items) item = nullptr;
}

tq_HostError addEntries(SuiteHandler& suites, tq_ItemRef item, const char* const* texts) {
  const tq_DialogItemSuite8* items = suites.dialogItem();
  const tq_EntrySuite5* entries = suites.entry();
  if (items == nullptr || entries == nullptr) return suites.error();
  tq_ListRef list = nullptr;
  tq_HostError err = items->GetList(item, &list);
  for (; err == TQ_HOST_OK && *texts != nullptr; ++texts) {
    tq_EntryRef entry = nullptr;
    err = entries->Create(list, &entry);
    if (err == TQ_HOST_OK) err = entries->SetText(entry, *texts);
  }
  return err;
}

tq_HostError createItem(SuiteHandler& suites, int32_t number) {
  const tq_DialogItemSuite8* items = suites.dialogItem();
  if (items == nullptr) return suites.error();
  Globals& g = globals();
  const ItemSpec& spec = kItemSpecs[number - 1];
  tq_ItemRef item = nullptr;
  tq_HostError err = items->Create(g.window, spec.kind, &spec.rect, &item);
  if (err != TQ_HOST_OK) return err;
  g.items[number] = item;
  if (spec.has_text) err = items->SetText(item, spec.label);
  if (err == TQ_HOST_OK && spec.kind == TQ_ITEM_RADIO_BUTTON)
    err = items->SetBooleanValue(item, spec.on);
  if (err == TQ_HOST_OK && spec.entries != Entries::kNone)
    err = addEntries(suites, item, entryTexts(spec.entries));
  if (err == TQ_HOST_OK && spec.notify != Notify::kNone)
    err = items->SetNotifyProc(item, notifyProc(spec.notify));
  if (err == TQ_HOST_OK && !spec.enabled) err = items->Enable(item, false);
  return err;
}

// One entry per composition, in project order; the first is selected.
tq_HostError fillCompositionList(SuiteHandler& suites) {
  const tq_DialogItemSuite8* items = suites.dialogItem();
  const tq_EntrySuite5* entries = suites.entry();
  if (items == nullptr || entries == nullptr) return suites.error();
  tq_ListRef list = nullptr;
  tq_HostError err = items->GetList(globals().item(kCompositionList), &list);
  if (err != TQ_HOST_OK) return err;
  bool first = true;
  return forEachComposition(suites, [&](const char* name) {
    tq_EntryRef entry = nullptr;
    tq_HostError e = entries->Create(list, &entry);
    if (e == TQ_HOST_OK) e = entries->SetText(entry, name);
    if (e == TQ_HOST_OK) e = entries->Activate(entry, true);
    if (e == TQ_HOST_OK && first) e = entries->Select(entry, true);
    first = false;
    return e;
  });
}

tq_HostError buildWindow(SuiteHandler& suites) {
  const tq_DialogSuite8* dialogs = suites.dialog();
  if (dialogs == nullptr) return suites.error();
  Globals& g = globals();
  tq_DialogRef dialog = nullptr;
  tq_HostError err = dialogs->Create(g.plugin, kWindowName, TQ_DIALOG_FLOATING, &dialog);
  if (err != TQ_HOST_OK) return err;
  if (dialog == nullptr) return TQ_HOST_SUITE_MISSING;
  g.window = dialog;
  err = dialogs->Show(dialog, true);
  if (err == TQ_HOST_OK) err = dialogs->Size(dialog, kWindowWidth, kWindowHeight);
  for (int32_t n = 1; err == TQ_HOST_OK && n <= kItemCount; ++n) err = createItem(suites, n);
  if (err == TQ_HOST_OK) err = fillCompositionList(suites);
  return err;
}

}  // namespace

tq_HostError createWindow(SuiteHandler& suites) {
  tq_HostError err = buildWindow(suites);
  if (err != TQ_HOST_OK && globals().window != nullptr) destroyWindow(suites);
  return err;
}

tq_HostError destroyWindow(SuiteHandler& suites) {
  Globals& g = globals();
  if (g.window == nullptr) return TQ_HOST_OK;
  const tq_DialogSuite8* dialogs = suites.dialog();
  tq_HostError err = dialogs == nullptr ? suites.error() : dialogs->Destroy(g.window);
  // Even when the host refuses, the reference is not used again.
  forgetWindow();
  return err;
}

void modeProcedure(tq_ItemRef item) {
  guardCallback([&] {
    SuiteHandler suites(globals().basic);
    const tq_DialogItemSuite8* items = suites.dialogItem();
    if (items == nullptr) return;
    const Globals& g = globals();
    tq_ItemRef queue = g.item(kQueueRadio);
    tq_ItemRef composition = g.item(kCompositionRadio);
    tq_Bool on = 0;
    if (item == queue && items->GetBooleanValue(queue, &on) == TQ_HOST_OK)
      items->SetBooleanValue(composition, !on);
    if (item == composition && items->GetBooleanValue(composition, &on) == TQ_HOST_OK)
      items->SetBooleanValue(queue, !on);
    tq_Bool whole_queue = 0;
    if (items->GetBooleanValue(queue, &whole_queue) != TQ_HOST_OK) return;
    for (int32_t number : kCompositionItems) items->Enable(g.item(number), !whole_queue);
  });
}

void browseProcedure(tq_ItemRef) {
  guardCallback([&] {
    SuiteHandler suites(globals().basic);
    const tq_DialogItemSuite8* items = suites.dialogItem();
    const tq_AdmBasicSuite2* basic = suites.admBasic();
    if (items == nullptr || basic == nullptr) return;
    tq_ItemRef field = globals().item(kOutputFile);
    char start[kBrowsePathSize + 1] = {};
    if (items->GetText(field, start, sizeof start) != TQ_HOST_OK) start[0] = '\0';
    start[kBrowsePathSize] = '\0';
    char chosen_path[kBrowsePathSize + 1] = {};
    tq_Bool chosen = 0;
    if (basic->StandardPutFileDialog(kBrowsePrompt, kBrowseFilters, start, "", chosen_path,
                                     sizeof chosen_path, &chosen) != TQ_HOST_OK ||
        !chosen)
      return;
    chosen_path[kBrowsePathSize] = '\0';
    items->SetText(field, chosen_path);
  });
}

void submitProcedure(tq_ItemRef) {
  guardCallback([&] {
    SuiteHandler suites(globals().basic);
    // Every suite the action reads through is there before a job is built.
    if (suites.dialogItem() == nullptr || suites.list() == nullptr || suites.entry() == nullptr ||
        suites.proj() == nullptr)
      return;
    WindowHost host(suites);
    Submitter(host).submit();
  });
}

}  // namespace tq::plugin

#include "plugin/window.h"

#include <cstring>

#include "client/submitter.h"
#include "plugin/callback_guard.h"
#include "plugin/globals.h"
#include "plugin/hooks.h"
#include "plugin/project_items.h"
#include "plugin/strings.h"
#include "plugin/window_host.h"

namespace tq::plugin {

namespace {

ADMItemNotifyProc notifyProc(Notify notify) {
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
  for (ADMItemRef& item : g.items) item = nullptr;
}

std::string missingSuite(const SuiteHandler& suites) {
  return stringText(kStringNoSuite) + suites.missingSuite();
}

std::string itemProblem(StringId reason, int32_t number) {
  return stringText(reason) + std::to_string(number);
}

// The entries of a list item, in order; false with the reason when the host gives no list or
// makes no entry.
bool addEntries(const ADMItemSuite8& items, const ADMEntrySuite5& entries, int32_t number,
                const char* const* texts, std::string& why) {
  ADMListRef list = items.GetList(globals().item(number));
  if (list == nullptr) {
    why = itemProblem(kStringNoList, number);
    return false;
  }
  for (; *texts != nullptr; ++texts) {
    ADMEntryRef entry = entries.Create(list);
    if (entry == nullptr) {
      why = itemProblem(kStringNoEntry, number);
      return false;
    }
    entries.SetText(entry, *texts);
  }
  return true;
}

bool createItem(const ADMItemSuite8& items, const ADMEntrySuite5& entries, int32_t number,
                std::string& why) {
  Globals& g = globals();
  const ItemSpec& row = kItemSpecs[number - 1];
  ADMItemRef item =
      items.Create(g.window, kADMUniqueItemID, row.type, &row.rect, nullptr, nullptr, 0);
  if (item == nullptr) {
    why = itemProblem(kStringNoItem, number);
    return false;
  }
  g.items[number] = item;
  if (row.has_text) items.SetText(item, row.label);
  if (std::strcmp(row.type, kADMTextRadioButtonType) == 0) items.SetBooleanValue(item, row.on);
  if (row.entries != Entries::kNone &&
      !addEntries(items, entries, number, entryTexts(row.entries), why))
    return false;
  if (row.notify != Notify::kNone) items.SetNotifyProc(item, notifyProc(row.notify));
  if (!row.enabled) items.Enable(item, false);
  return true;
}

// One entry per composition, in project order; the first is selected.
bool fillCompositionList(SuiteHandler& suites, const ADMItemSuite8& items,
                         const ADMEntrySuite5& entries, std::string& why) {
  ADMListRef list = items.GetList(globals().item(kCompositionList));
  if (list == nullptr) {
    why = itemProblem(kStringNoList, kCompositionList);
    return false;
  }
  bool first = true;
  A_Err err = forEachComposition(suites, [&](const char* name) -> A_Err {
    ADMEntryRef entry = entries.Create(list);
    if (entry == nullptr) {
      why = itemProblem(kStringNoEntry, kCompositionList);
      return A_Err_GENERIC;
    }
    entries.SetText(entry, name);
    entries.Activate(entry, true);
    if (first) entries.Select(entry, true);
    first = false;
    return A_Err_NONE;
  });
  if (err != A_Err_NONE && why.empty())
    why = suites.error() != A_Err_NONE
              ? missingSuite(suites)
              : "the project's items could not be read (error " + std::to_string(err) + ")";
  return err == A_Err_NONE;
}

bool buildWindow(SuiteHandler& suites, std::string& why) {
  const ADMDialogSuite8* dialogs = suites.dialog();
  const ADMItemSuite8* items = suites.dialogItem();
  const ADMEntrySuite5* entries = suites.entry();
  if (dialogs == nullptr || items == nullptr || entries == nullptr) {
    why = missingSuite(suites);
    return false;
  }
  Globals& g = globals();
  // No platform dialog resource: every item is made below. An AEGP has no plug-in reference of
  // its own to give.
  g.window = dialogs->Create(nullptr, kWindowName, 0, kADMFloatingDialogStyle, nullptr, nullptr, 0);
  if (g.window == nullptr) {
    why = stringText(kStringNoWindow);
    return false;
  }
  dialogs->Show(g.window, true);
  dialogs->Size(g.window, kWindowWidth, kWindowHeight);
  for (int32_t n = 1; n <= kItemCount; ++n)
    if (!createItem(*items, *entries, n, why)) return false;
  return fillCompositionList(suites, *items, *entries, why);
}

}  // namespace

bool createWindow(SuiteHandler& suites, std::string& why) {
  why.clear();
  if (buildWindow(suites, why)) return true;
  destroyWindow(suites);
  return false;
}

void destroyWindow(SuiteHandler& suites) {
  Globals& g = globals();
  if (g.window == nullptr) return;
  const ADMDialogSuite8* dialogs = suites.dialog();
  if (dialogs != nullptr) dialogs->Destroy(g.window);
  // Even without the suite, the reference is not used again.
  forgetWindow();
}

void modeProcedure(ADMItemRef item, ADMNotifierRef notifier) {
  guardCallback([&] {
    SuiteHandler suites(globals().basic);
    const ADMItemSuite8* items = suites.dialogItem();
    if (items == nullptr) return;
    items->DefaultNotify(item, notifier);
    const Globals& g = globals();
    ADMItemRef queue = g.item(kQueueRadio);
    ADMItemRef composition = g.item(kCompositionRadio);
    if (item == queue) items->SetBooleanValue(composition, !items->GetBooleanValue(queue));
    if (item == composition) items->SetBooleanValue(queue, !items->GetBooleanValue(composition));
    ASBoolean whole_queue = items->GetBooleanValue(queue);
    for (int32_t number : kCompositionItems) items->Enable(g.item(number), !whole_queue);
  });
}

void browseProcedure(ADMItemRef item, ADMNotifierRef notifier) {
  guardCallback([&] {
    SuiteHandler suites(globals().basic);
    const ADMItemSuite8* items = suites.dialogItem();
    if (items == nullptr) return;
    items->DefaultNotify(item, notifier);
    const ADMBasicSuite2* basic = suites.admBasic();
    if (basic == nullptr) {
      reportToUser(suites, stringText(kStringBrowseProblem) + missingSuite(suites));
      return;
    }
    ADMItemRef field = globals().item(kOutputFile);
    SPPlatformFileSpecification start = {};
    items->GetText(field, start.path, sizeof start.path);
    start.path[sizeof start.path - 1] = '\0';
    SPPlatformFileSpecification chosen = {};
    if (!basic->StandardPutFileDialog(kBrowsePrompt, start.path[0] != '\0' ? &start : nullptr, "",
                                      &chosen))
      return;
    chosen.path[sizeof chosen.path - 1] = '\0';
    items->SetText(field, chosen.path);
  });
}

void submitProcedure(ADMItemRef item, ADMNotifierRef notifier) {
  guardCallback([&] {
    SuiteHandler suites(globals().basic);
    const ADMItemSuite8* items = suites.dialogItem();
    if (items != nullptr) items->DefaultNotify(item, notifier);
    // Every suite the action reads through is there before a job is built.
    if (items == nullptr || suites.list() == nullptr || suites.entry() == nullptr ||
        suites.proj() == nullptr) {
      reportToUser(suites, stringText(kStringSubmitProblem) + missingSuite(suites));
      return;
    }
    WindowHost host(suites);
    Submitter(host).submit();
  });
}

}  // namespace tq::plugin

#include "plugin/window_host.h"

#include <cstring>
#include <memory>
#include <new>

#include "plugin/globals.h"

namespace tq::plugin {

namespace {

int32_t itemNumber(WindowItem item) {
  switch (item) {
    case WindowItem::kName:
      return kName;
    case WindowItem::kStatus:
      return kStatus;
    case WindowItem::kCluster:
      return kCluster;
    case WindowItem::kHosts:
      return kHosts;
    case WindowItem::kPriority:
      return kPriority;
    case WindowItem::kGroups:
      return kGroups;
    case WindowItem::kCpus:
      return kCpus;
    case WindowItem::kRequirements:
      return kRequirements;
    case WindowItem::kRestrictions:
      return kRestrictions;
    case WindowItem::kReservations:
      return kReservations;
    case WindowItem::kPid:
      return kPid;
    case WindowItem::kPgrp:
      return kPgrp;
    case WindowItem::kUser:
      return kUser;
    case WindowItem::kDomain:
      return kDomain;
    case WindowItem::kFrameRange:
      return kFrameRange;
    case WindowItem::kRenderSettings:
      return kRenderSettings;
    case WindowItem::kOutputModule:
      return kOutputModule;
    case WindowItem::kOutputFile:
      return kOutputFile;
    case WindowItem::kResults:
      return kResults;
    case WindowItem::kCompositionRadio:
      return kCompositionRadio;
    case WindowItem::kQueueRadio:
      return kQueueRadio;
  }
  return 0;
}

// Length first, then length + 1 bytes; what the host wrote up to its NUL.
template <class Ref>
TqString readText(Ref ref, ASInt32 (*length_of)(Ref), void (*text_of)(Ref, char*, ASInt32)) {
  if (ref == nullptr) return TqString();
  ASInt32 length = length_of(ref);
  if (length <= 0 || length == INT32_MAX) return TqString();
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
  if (!buffer) return TqString();
  buffer[0] = '\0';
  text_of(ref, buffer.get(), length + 1);
  buffer[static_cast<size_t>(length)] = '\0';
  return TqString(buffer.get(), static_cast<int32_t>(std::strlen(buffer.get())));
}

}  // namespace

ADMItemRef itemRef(WindowItem item) { return globals().item(itemNumber(item)); }

TqString WindowHost::itemText(WindowItem item) {
  const ADMItemSuite8* items = suites_.dialogItem();
  if (items == nullptr) return TqString();
  return readText(itemRef(item), items->GetTextLength, items->GetText);
}

bool WindowHost::isOn(WindowItem item) {
  const ADMItemSuite8* items = suites_.dialogItem();
  ADMItemRef ref = itemRef(item);
  return items != nullptr && ref != nullptr && items->GetBooleanValue(ref) != 0;
}

std::optional<TqString> WindowHost::selectedCompositionName() {
  const ADMItemSuite8* items = suites_.dialogItem();
  const ADMListSuite3* lists = suites_.list();
  const ADMEntrySuite5* entries = suites_.entry();
  ADMItemRef ref = globals().item(kCompositionList);
  if (items == nullptr || lists == nullptr || entries == nullptr || ref == nullptr) return {};
  ADMListRef list = items->GetList(ref);
  if (list == nullptr || lists->NumberOfSelectedEntries(list) < 1) return {};
  ADMEntryRef entry = lists->IndexSelectedEntry(list, 0);
  if (entry == nullptr) return {};
  return readText(entry, entries->GetTextLength, entries->GetText);
}

TqString WindowHost::projectPath() {
  const AEGP_ProjSuite3* proj = suites_.proj();
  if (proj == nullptr) return TqString();
  AEGP_ProjectH project = nullptr;
  char path[AEGP_MAX_PATH_SIZE] = {};
  if (proj->AEGP_GetProjectByIndex(0, &project) != A_Err_NONE ||
      proj->AEGP_GetProjectPath(project, path) != A_Err_NONE)
    return TqString();
  path[AEGP_MAX_PATH_SIZE - 1] = '\0';
  return TqString(path);
}

HostVersion WindowHost::hostApiVersion() {
  return {globals().major_version, globals().minor_version};
}

void WindowHost::setItemText(WindowItem item, const TqString& text) {
  const ADMItemSuite8* items = suites_.dialogItem();
  ADMItemRef ref = itemRef(item);
  if (items != nullptr && ref != nullptr) items->SetText(ref, text.c_str());
}

}  // namespace tq::plugin

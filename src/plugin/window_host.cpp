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
template <class Ref, class LengthFn, class TextFn>
TqString readText(Ref ref, LengthFn length_of, TextFn text_of) {
  int32_t length = 0;
  if (ref == nullptr || length_of(ref, &length) != TQ_HOST_OK || length <= 0) return TqString();
  if (length == INT32_MAX) return TqString();
  std::unique_ptr<char[]> buffer(new (std::nothrow) char[static_cast<size_t>(length) + 1]);
  if (!buffer) return TqString();
  buffer[0] = '\0';
  if (text_of(ref, buffer.get(), length + 1) != TQ_HOST_OK) return TqString();
  buffer[static_cast<size_t>(length)] = '\0';
  return TqString(buffer.get(), static_cast<int32_t>(std::strlen(buffer.get())));
}

}  // namespace

tq_ItemRef itemRef(WindowItem item) { return globals().item(itemNumber(item)); }

TqString WindowHost::itemText(WindowItem item) {
  const tq_DialogItemSuite8* items = suites_.dialogItem();
  if (items == nullptr) return TqString();
  return readText(itemRef(item), items->GetTextLength, items->GetText);
}

bool WindowHost::isOn(WindowItem item) {
  const tq_DialogItemSuite8* items = suites_.dialogItem();
  tq_ItemRef ref = itemRef(item);
  tq_Bool on = 0;
  return items != nullptr && ref != nullptr && items->GetBooleanValue(ref, &on) == TQ_HOST_OK &&
         on != 0;
}

std::optional<TqString> WindowHost::selectedCompositionName() {
  const tq_DialogItemSuite8* items = suites_.dialogItem();
  const tq_ListSuite3* lists = suites_.list();
  const tq_EntrySuite5* entries = suites_.entry();
  tq_ItemRef ref = globals().item(kCompositionList);
  if (items == nullptr || lists == nullptr || entries == nullptr || ref == nullptr) return {};
  tq_ListRef list = nullptr;
  int32_t count = 0;
  tq_EntryRef entry = nullptr;
  if (items->GetList(ref, &list) != TQ_HOST_OK ||
      lists->NumberOfSelectedEntries(list, &count) != TQ_HOST_OK || count < 1 ||
      lists->IndexSelectedEntry(list, 0, &entry) != TQ_HOST_OK || entry == nullptr)
    return {};
  return readText(entry, entries->GetTextLength, entries->GetText);
}

TqString WindowHost::projectPath() {
  const tq_ProjSuite5* proj = suites_.proj();
  if (proj == nullptr) return TqString();
  tq_ProjectRef project = nullptr;
  char path[TQ_MAX_PATH_SIZE] = {};
  if (proj->GetProjectByIndex(0, &project) != TQ_HOST_OK ||
      proj->GetProjectPath(project, path) != TQ_HOST_OK)
    return TqString();
  path[TQ_MAX_PATH_SIZE - 1] = '\0';
  return TqString(path);
}

HostVersion WindowHost::hostApiVersion() {
  return {globals().major_version, globals().minor_version};
}

void WindowHost::setItemText(WindowItem item, const TqString& text) {
  const tq_DialogItemSuite8* items = suites_.dialogItem();
  tq_ItemRef ref = itemRef(item);
  if (items != nullptr && ref != nullptr) items->SetText(ref, text.c_str());
}

}  // namespace tq::plugin

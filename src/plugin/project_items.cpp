#include "plugin/project_items.h"

namespace tq::plugin {

namespace {

// The walk of items, with or without their names.
tq_HostError walk(SuiteHandler& suites, bool names,
                  const std::function<tq_HostError(const char* name)>& visit) {
  const tq_ProjSuite5* proj = suites.proj();
  const tq_ItemSuite7* items = suites.item();
  if (proj == nullptr || items == nullptr) return suites.error();
  tq_ProjectRef project = nullptr;
  tq_HostError err = proj->GetProjectByIndex(0, &project);
  if (err != TQ_HOST_OK) return err;
  tq_ProjectItemRef item = nullptr;
  err = items->GetFirstProjItem(project, &item);
  while (err == TQ_HOST_OK && item != nullptr) {
    int32_t type = 0;
    err = items->GetItemType(item, &type);
    if (err != TQ_HOST_OK) break;
    if (type == TQ_ITEM_COMPOSITION) {
      char name[TQ_MAX_ITEM_NAME_SIZE] = {};
      if (names) {
        err = items->GetItemName(item, name);
        if (err != TQ_HOST_OK) break;
        name[TQ_MAX_ITEM_NAME_SIZE - 1] = '\0';
      }
      err = visit(name);
      if (err != TQ_HOST_OK) break;
    }
    tq_ProjectItemRef next = nullptr;
    err = items->GetNextProjItem(project, item, &next);
    item = next;
  }
  return err;
}

}  // namespace

tq_HostError forEachComposition(SuiteHandler& suites,
                                const std::function<tq_HostError(const char* name)>& visit) {
  return walk(suites, true, visit);
}

tq_HostError countCompositions(SuiteHandler& suites, int32_t& count) {
  count = 0;
  return walk(suites, false, [&](const char*) {
    ++count;
    return TQ_HOST_OK;
  });
}

}  // namespace tq::plugin

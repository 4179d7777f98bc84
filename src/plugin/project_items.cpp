#include "plugin/project_items.h"

namespace tq::plugin {

namespace {

// The walk of items, with or without their names.
A_Err walk(SuiteHandler& suites, bool names, const std::function<A_Err(const char* name)>& visit) {
  const AEGP_ProjSuite3* proj = suites.proj();
  const AEGP_ItemSuite5* items = suites.item();
  if (proj == nullptr || items == nullptr) return suites.error();
  AEGP_ProjectH project = nullptr;
  A_Err err = proj->AEGP_GetProjectByIndex(0, &project);
  if (err != A_Err_NONE) return err;
  AEGP_ItemH item = nullptr;
  err = proj->AEGP_GetProjectRootFolder(project, &item);
  for (int32_t visited = 0; err == A_Err_NONE && item != nullptr && visited < kMaxProjectItems;
       ++visited) {
    AEGP_ItemType type = AEGP_ItemType_NONE;
    err = items->AEGP_GetItemType(item, &type);
    if (err != A_Err_NONE) break;
    if (type == AEGP_ItemType_COMP) {
      char name[AEGP_MAX_ITEM_NAME_SIZE] = {};
      if (names) {
        err = items->AEGP_GetItemName(item, name);
        if (err != A_Err_NONE) break;
        name[AEGP_MAX_ITEM_NAME_SIZE - 1] = '\0';
      }
      err = visit(name);
      if (err != A_Err_NONE) break;
    }
    AEGP_ItemH next = nullptr;
    err = items->AEGP_GetNextItem(item, &next);
    item = next;
  }
  return err;
}

}  // namespace

A_Err forEachComposition(SuiteHandler& suites,
                         const std::function<A_Err(const char* name)>& visit) {
  return walk(suites, true, visit);
}

A_Err countCompositions(SuiteHandler& suites, int32_t& count) {
  count = 0;
  return walk(suites, false, [&](const char*) {
    ++count;
    return A_Err_NONE;
  });
}

}  // namespace tq::plugin

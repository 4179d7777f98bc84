#include "fuzz/checks/package_checks.h"

#include <string_view>
#include <utility>
#include <vector>

#include "records/package.h"

namespace tq {
namespace {

// Number of levels of the tree, counted without recursion.
int levels(const Package& root) {
  int deepest = 0;
  std::vector<std::pair<const Package*, int>> pending{{&root, 1}};
  while (!pending.empty()) {
    auto [node, level] = pending.back();
    pending.pop_back();
    if (level > deepest) deepest = level;
    for (int32_t i = 0; i < node->childCount(); ++i) pending.push_back({node->child(i), level + 1});
  }
  return deepest;
}

}  // namespace

int fuzzPackageParser(const uint8_t* data, size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::unique_ptr<Package> tree = Package::parseParenthesised(text);
  if (!tree) return size == 0 ? 0 : 1;
  if (levels(*tree) > kMaxPackageDepth) return 1;
  TqString written = tree->writeParenthesised();
  tree->writeMarkup();
  tree->writeReadable();
  std::unique_ptr<Package> again = Package::parseParenthesised(written.view());
  if (!again) return 1;
  return again->writeParenthesised() == written ? 0 : 1;
}

}  // namespace tq

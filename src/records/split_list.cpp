#include "records/split_list.h"

namespace tq {

std::vector<TqString> splitListItems(std::string_view text) {
  std::vector<TqString> items;
  forEachListItem(text, [&](std::string_view item) {
    items.emplace_back(item);
    return items.size() < static_cast<size_t>(kMaxListItems);
  });
  return items;
}

void splitList(const TqString& text, StringList& list) {
  int32_t taken = 0;
  forEachListItem(text.view(), [&](std::string_view item) {
    list.append(TqString(item));
    return ++taken < kMaxListItems;
  });
}

}  // namespace tq

#include "job/name_table.h"

#include "records/split_list.h"

namespace tq {

TqString NameTable::bitsToText(int32_t bits) const {
  TqString text;
  for (size_t i = 0; i < count_; ++i) {
    const NameEntry& e = entries_[i];
    if ((e.options & kReadOnly) || e.value == 0 || (bits & e.value) != e.value) continue;
    if (!text.empty()) text.append(',');
    text.append(e.name);
  }
  if (text.empty()) text.append('0');
  return text;
}

int32_t NameTable::textToBits(const TqString& text) const {
  if (text.isInteger()) return text.toInt();
  StringList items;
  splitList(text, items);
  int32_t bits = 0;
  for (int32_t i = 0; i < items.count(); ++i) {
    if (const NameEntry* e = find(items[i].view())) bits |= e->value;
  }
  return bits;
}

bool NameTable::validate(const TqString& text) const {
  if (text.isInteger()) return true;
  StringList items;
  splitList(text, items);
  for (int32_t i = 0; i < items.count(); ++i) {
    const NameEntry* e = find(items[i].view());
    if (e == nullptr || e->value == 0) return false;
  }
  return true;
}

int32_t NameTable::valueOf(std::string_view name, int32_t fallback) const {
  const NameEntry* e = find(name);
  return e ? e->value : fallback;
}

const char* NameTable::nameOf(int32_t value, const char* fallback) const {
  for (size_t i = 0; i < count_; ++i) {
    if (!(entries_[i].options & kReadOnly) && entries_[i].value == value) return entries_[i].name;
  }
  return fallback;
}

const NameEntry* NameTable::find(std::string_view name) const {
  for (size_t i = 0; i < count_; ++i) {
    if (name == entries_[i].name) return &entries_[i];
  }
  return nullptr;
}

}  // namespace tq

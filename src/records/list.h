// Lists: records that own an ordered sequence of elements of one type.
//
// Binary layout: field 1 (integer) the number of elements, then one field 10 per element, in
// order (a record field, or a string field for string lists). Text layout: every element is a
// field named "item"; the reader finds them as "item", "item1", "item2" ...
//
// Reading appends to the elements already in the list. A field 10 that is not an element of the
// list's type (wrong kind or wrong class) is skipped and adds nothing. Every element is charged
// to the decode's budget (records/decode_budget.h) before it is built; once the budget is
// spent the list ends there, as at a truncated field.
#pragma once

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "records/decode_budget.h"
#include "records/field.h"

namespace tq {

inline constexpr char kItemName[] = "item";

template <class E, int32_t Id, const char* Name>
class List : public Object {
 public:
  static constexpr int32_t kClassId = Id;
  static constexpr const char* kTypeName = Name;
  using Element = E;

  List() = default;
  List(const List& other) : Object(other) { copyFrom(other); }
  List& operator=(const List& other) {
    if (this != &other) {
      clear();
      copyFrom(other);
    }
    return *this;
  }
  List(List&&) = default;
  List& operator=(List&&) = default;

  // Takes ownership of the element.
  void append(std::unique_ptr<E> element) {
    if (element) items_.push_back(std::move(element));
  }
  void append(E element) { items_.push_back(std::make_unique<E>(std::move(element))); }
  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  bool empty() const { return items_.empty(); }
  // Null outside 0..count-1.
  E* at(int32_t i) {
    return i >= 0 && i < count() ? items_[static_cast<size_t>(i)].get() : nullptr;
  }
  const E* at(int32_t i) const {
    return i >= 0 && i < count() ? items_[static_cast<size_t>(i)].get() : nullptr;
  }
  E& operator[](int32_t i) { return *items_[static_cast<size_t>(i)]; }
  const E& operator[](int32_t i) const { return *items_[static_cast<size_t>(i)]; }
  // Gives up ownership of element i; the list closes the gap.
  std::unique_ptr<E> take(int32_t i) {
    if (i < 0 || i >= count()) return nullptr;
    std::unique_ptr<E> e = std::move(items_[static_cast<size_t>(i)]);
    items_.erase(items_.begin() + i);
    return e;
  }
  void clear() { items_.clear(); }

  int32_t classId() const override { return Id; }
  const char* typeName() const override { return Name; }

  void writeFields(Encoder& out) const override {
    out.putInt(1, count());
    Items::putAll(out, items_);
  }

  void readField(Decoder& in) override {
    int32_t n = 0;
    if (!in.getInt(1, n) || n <= 0) return;
    while (in.next()) {
      if (!in.matches(10, FieldCodec<E>::kKind)) {
        in.skip();
        continue;
      }
      if (!in.charge(builtCost<E>())) {
        in.stop();
        return;
      }
      auto e = std::make_unique<E>();
      if (FieldCodec<E>::get(in, 10, *e)) {
        items_.push_back(std::move(e));
      } else if (!in.consumed()) {
        in.skip();
      }
    }
  }

  void writeNamedFields(TextWriter& out) const override { Items::putAllText(out, items_); }

  void readNamedFields(const TextFrame& frame) override {
    for (int i = 0;; ++i) {
      TextKey name("item", i);
      if (!frame.has(name) || !frame.charge(builtCost<E>())) break;
      auto e = std::make_unique<E>();
      FieldCodec<E>::getText(frame, name, *e);
      items_.push_back(std::move(e));
    }
  }

 private:
  using Items = ElementCodec<E, 10, kItemName>;

  void copyFrom(const List& other) {
    items_.reserve(other.items_.size());
    for (const auto& e : other.items_) items_.push_back(std::make_unique<E>(*e));
  }

  std::vector<std::unique_ptr<E>> items_;
};

}  // namespace tq

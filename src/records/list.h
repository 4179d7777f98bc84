// Lists: records that own an ordered sequence of elements of one type.
//
// Binary layout: field 1 (integer) the number of elements, then one field 10 per element, in
// order (a record field, or a string field for string lists). Text layout: every element is a
// field named "item"; the reader finds them as "item", "item1", "item2" ...
//
// The list builds its own elements side by side in blocks (records/element_store.h).
//
// Reading appends to the elements already in the list. A field 10 that is not an element of the
// list's type (wrong kind or wrong class) is skipped and adds nothing. Every element is charged
// to the decode's budget (records/decode_budget.h) before it is built; once the budget is
// spent the list ends there, as at a truncated field.
#pragma once

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

#include "records/decode_budget.h"
#include "records/element_store.h"
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

  // Takes ownership of the element, which keeps its address.
  void append(std::unique_ptr<E> element) {
    if (element) items_.adopt(std::move(element));
  }
  void append(E element) { items_.emplace(SIZE_MAX, std::move(element)); }
  int32_t count() const { return static_cast<int32_t>(items_.size()); }
  bool empty() const { return items_.size() == 0; }
  // Null outside 0..count-1.
  E* at(int32_t i) { return i >= 0 && i < count() ? items_.at(static_cast<size_t>(i)) : nullptr; }
  const E* at(int32_t i) const {
    return i >= 0 && i < count() ? items_.at(static_cast<size_t>(i)) : nullptr;
  }
  E& operator[](int32_t i) { return *items_.at(static_cast<size_t>(i)); }
  const E& operator[](int32_t i) const { return *items_.at(static_cast<size_t>(i)); }
  // Gives up ownership of element i; the list closes the gap.
  std::unique_ptr<E> take(int32_t i) {
    if (i < 0 || i >= count()) return nullptr;
    return items_.take(static_cast<size_t>(i));
  }
  void clear() { items_.clear(); }

  int32_t classId() const override { return Id; }
  const char* typeName() const override { return Name; }

  void writeFields(Encoder& out) const override {
    out.putInt(1, count());
    Items::putAll(out, items_.slots());
  }

  void readField(Decoder& in) override {
    int32_t n = 0;
    if (!in.getInt(1, n) || n <= 0) return;
    // The count the stream declares only bounds the room taken ahead: the elements still
    // declared, never more than were built already.
    size_t declared = static_cast<size_t>(n), built = 0;
    // An element takes at least a field header and a length.
    items_.reserve(items_.size() + std::min(declared, static_cast<size_t>(in.remaining()) / 8));
    while (in.next()) {
      if (!in.matches(10, FieldCodec<E>::kKind)) {
        in.skip();
        continue;
      }
      if (!in.charge(builtCost<E>())) {
        in.stop();
        return;
      }
      E& e = items_.emplace(built < declared ? declared - built : 1);
      if (FieldCodec<E>::get(in, 10, e)) {
        ++built;
      } else {
        items_.dropLast();
        if (!in.consumed()) in.skip();
      }
    }
  }

  void writeNamedFields(TextWriter& out) const override { Items::putAllText(out, items_.slots()); }

  void readNamedFields(const TextFrame& frame) override {
    for (int i = 0;; ++i) {
      TextKey name("item", i);
      if (!frame.has(name) || !frame.charge(builtCost<E>())) break;
      FieldCodec<E>::getText(frame, name, items_.emplace(SIZE_MAX));
    }
  }

 private:
  using Items = ElementCodec<E, 10, kItemName>;

  // Copies are of class E (a derived element is copied as its E part).
  void copyFrom(const List& other) {
    size_t n = other.items_.size();
    items_.reserve(n);
    for (size_t i = 0; i < n; ++i)
      items_.emplace(n - i, static_cast<const E&>(*other.items_.at(i)));
  }

  ElementStore<E> items_;
};

}  // namespace tq

// Field tables: each record class lists its fields once, in its write order, and the Record
// template below turns that list into all four codecs (binary write and read, text write and
// read).
//
//   class JobId : public Record<JobId> {
//    public:
//     static constexpr int32_t kClassId = 19;
//     static constexpr const char* kTypeName = "job_id";
//     int32_t id = 0;
//     int32_t sub_id = 0;
//     static constexpr auto fields() {
//       return std::make_tuple(Field(1, "id", &JobId::id), Field(2, "sub_id", &JobId::sub_id));
//     }
//   };
//
// How each member type travels is in records/field_codec.h. The writers run plans made from
// the table once per class (records/field_plan.h); a class with a field table does not override
// writeFields() or writeNamedFields().
#pragma once

#include <cstdint>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "records/field_codec.h"
#include "records/field_plan.h"
#include "records/limits.h"
#include "records/plan_fields.h"
#include "records/read_plan.h"

namespace tq {

// A record class: D lists its fields in D::fields() and names kClassId and kTypeName.
template <class D, class Base = Object>
class Record : public Base {
 public:
  using FieldTableClass = D;
  using RecordBase = Base;

  int32_t classId() const override { return D::kClassId; }
  const char* typeName() const override { return D::kTypeName; }

  void writeFields(Encoder& out) const override { binary_plan_.write(&buildBinary, &self(), out); }
  // The header is looked up in a table of (id, kind) built once per class, starting after the
  // entry that matched last, so a stream in table order costs one comparison per field.
  void readField(Decoder& in) override {
    constexpr int n = static_cast<int>(std::tuple_size_v<decltype(D::fields())>);
    if constexpr (n > 0) readIn<n>(in);
  }

 private:
  template <int n>
  void readIn(Decoder& in) {
    static constexpr auto table = readTable(std::make_index_sequence<n>());
    const int16_t id = in.id();
    const int16_t kind = in.kind();
    int j = in.hint();
    for (int i = 0; i < n; ++i, ++j) {
      if (j >= n) j = 0;
      if (table.ids[j] == id && table.kinds[j] == kind) {
        in.setHint(j + 1);
        table.readers[j](mutableSelf(), in);
        return;
      }
    }
  }

 public:
  void writeNamedFields(TextWriter& out) const override {
    text_plans_.write(&buildText, &self(), out);
  }
  void readNamedFields(const TextFrame& frame) override {
    forEachEntry([&](const auto& f) {
      if (!(f.options & kBinaryOnly)) codec(f).getText(frame, f.name, mutableSelf().*(f.member));
    });
  }

 private:
  template <class C, class T>
  static FieldCodec<std::remove_cv_t<T>> codec(const FieldEntry<C, T>&) {
    return {};
  }

  // The plans' walks of the table: every field into a binary plan, the named ones into a text
  // plan at a depth; records held by value are walked into the same plan.
 public:
  static void planBinaryFields(PlanBuilder<Encoder>& b, const D& record) {
    forEachEntry([&](const auto& f) { planBinaryField(b, f.id, record.*(f.member)); });
  }
  static void planTextFields(PlanBuilder<TextWriter>& b, const D& record, int depth) {
    forEachEntry([&](const auto& f) {
      if (!(f.options & kBinaryOnly)) planTextField(b, f.textName(), record.*(f.member), depth);
    });
  }
  // The bytes of the fields in the binary stream when they do not depend on the values; -1
  // when they do.
  static constexpr int32_t fixedFieldsSize() {
    int32_t total = 0;
    std::apply(
        [&](const auto&... f) {
          ((total = addFixed(total, fixedBinarySize<typename std::decay_t<decltype(f)>::Member>())),
           ...);
        },
        D::fields());
    return total;
  }

 private:
  static constexpr int32_t addFixed(int32_t total, int32_t size) {
    return total < 0 || size < 0 ? -1 : total + size;
  }
  static void buildBinary(PlanBuilder<Encoder>& b, const void* record, int) {
    planBinaryFields(b, *static_cast<const D*>(record));
  }
  static void buildText(PlanBuilder<TextWriter>& b, const void* record, int depth) {
    planTextFields(b, *static_cast<const D*>(record), depth);
  }
  static inline BinaryPlanSlot binary_plan_;
  static inline TextPlanSlots text_plans_;

 public:
  // Reads every field of a record of this class from `in`: by the class's read plan as far as
  // the stream is as written, then field by field (records/read_plan.h).
  static void readFields(D& record, Decoder& in) {
    const ReadPlan& plan = read_plan_.get(&buildRead, &record);
    if (in.depth() + plan.levels <= kMaxNestingDepth && readPlansOn()) {
      const uint8_t* start = in.peek();
      const uint8_t* at =
          readByPlan(plan, &record, start, start + in.remaining(), in.depth(), in.budget());
      in.skipBytes(static_cast<int32_t>(at - start));
    }
    while (in.next()) {
      record.D::readField(in);
      if (!in.consumed()) in.skip();
    }
  }
  // The walk of the table into a read plan; `top` for the record's own fields (where reading
  // may go back to), not for those of a sub-record taken whole.
  static void planReadFields(ReadPlanBuilder& b, D& record, bool top) {
    planReadIn(b, record, top, std::make_index_sequence<kFieldCount>());
  }
  // How deep the sub-records nest when a read plan takes the fields whole; -1 when it cannot.
  static constexpr int flatFieldLevels() {
    int deepest = 0;
    std::apply(
        [&](const auto&... f) {
          ((deepest =
                deeper(deepest, flatReadLevels<typename std::decay_t<decltype(f)>::Member>())),
           ...);
        },
        D::fields());
    return deepest < 0 ? -1 : deepest + 1;
  }

 private:
  static constexpr size_t kFieldCount = std::tuple_size_v<decltype(D::fields())>;
  static constexpr int deeper(int deepest, int levels) {
    return deepest < 0 || levels < 0 ? -1 : levels > deepest ? levels : deepest;
  }
  template <size_t... I>
  static void planReadIn([[maybe_unused]] ReadPlanBuilder& b, [[maybe_unused]] D& record,
                         [[maybe_unused]] bool top, std::index_sequence<I...>) {
    (planReadAt<I>(b, record, top), ...);
  }
  template <size_t I>
  static void planReadAt(ReadPlanBuilder& b, D& record, bool top) {
    static constexpr auto f = std::get<I>(D::fields());
    if (top) b.beginField();
    planReadField(b, f.id, record.*(f.member), top ? &readErased<I> : nullptr);
  }
  template <size_t I>
  static void readErased(void* record, Decoder& in) {
    readAt<I>(*static_cast<D*>(record), in);
  }
  static void buildRead(ReadPlanBuilder& b, const void* record) {
    planReadFields(b, *static_cast<D*>(const_cast<void*>(record)), true);
  }
  static inline ReadPlanSlot read_plan_;

  using Reader = void (*)(D&, Decoder&);
  template <size_t N>
  struct ReadTable {
    int16_t ids[N];
    int16_t kinds[N];
    Reader readers[N];
  };

  template <size_t I>
  static void readAt(D& record, Decoder& in) {
    constexpr auto f = std::get<I>(D::fields());
    codec(f).get(in, f.id, record.*(f.member));
  }

  template <size_t I>
  static constexpr int16_t kindAt() {
    using Member =
        std::remove_reference_t<decltype(std::declval<D&>().*(std::get<I>(D::fields()).member))>;
    return FieldCodec<std::remove_cv_t<Member>>::kKind;
  }

  template <size_t... I>
  static constexpr ReadTable<sizeof...(I)> readTable(std::index_sequence<I...>) {
    return ReadTable<sizeof...(I)>{
        {std::get<I>(D::fields()).id...}, {kindAt<I>()...}, {&readAt<I>...}};
  }

  // The table is a constant made once, not a tuple rebuilt at every call.
  template <class F>
  static void forEachEntry(F&& f) {
    static constexpr auto kFields = D::fields();
    std::apply([&](const auto&... entry) { (f(entry), ...); }, kFields);
  }
  const D& self() const { return static_cast<const D&>(*this); }
  D& mutableSelf() const { return const_cast<D&>(static_cast<const D&>(*this)); }
};

}  // namespace tq

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

  // Both forms are written by plans made from the table once per class (and text depth).
  void writeFields(Encoder& out) const override { binary_plan_.write(&buildBinary, &self(), out); }
  void writeNamedFields(TextWriter& out) const override {
    text_plans_.write(&buildText, &self(), out);
  }

  // The header is looked up in a table of (id, kind) built once per class, starting after the
  // entry that matched last, so a stream in table order costs one comparison per field.
  void readField(Decoder& in) override {
    if constexpr (kFieldCount > 0) {
      static constexpr auto table = readTable(std::make_index_sequence<kFieldCount>());
      constexpr int n = static_cast<int>(kFieldCount);
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
  }
  void readNamedFields(const TextFrame& frame) override {
    forEachEntry([&](const auto& f) {
      if (!(f.options & kBinaryOnly)) codec(f).getText(frame, f.name, mutableSelf().*(f.member));
    });
  }

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

  // The walks of the table into plans (records/plan_fields.h): every field into a binary plan,
  // the named ones into a text plan at a depth, and into a read plan; `top` for the record's
  // own fields, where reading may go back to, not those of a sub-record read whole.
  static void planBinaryFields(PlanBuilder<Encoder>& b, const D& record) {
    forEachEntry([&](const auto& f) { planBinaryField(b, f.id, record.*(f.member)); });
  }
  static void planTextFields(PlanBuilder<TextWriter>& b, const D& record, int depth) {
    forEachEntry([&](const auto& f) {
      if (!(f.options & kBinaryOnly)) planTextField(b, f.textName(), record.*(f.member), depth);
    });
  }
  static void planReadFields(ReadPlanBuilder& b, const D& record, bool top) {
    planReadIn(b, record, top, std::make_index_sequence<kFieldCount>());
  }
  // The bytes of the fields in the binary stream when they do not depend on the values; -1
  // when they do.
  static constexpr int32_t fixedFieldsSize() {
    int32_t total = 0;
    forEachMemberType([&](auto member) {
      int32_t size = fixedBinarySize<typename decltype(member)::type>();
      total = total < 0 || size < 0 ? -1 : total + size;
    });
    return total;
  }
  // How deep sub-records nest when a read plan takes the fields whole; -1 when it cannot.
  static constexpr int flatFieldLevels() {
    int deepest = 0;
    forEachMemberType([&](auto member) {
      int levels = flatReadLevels<typename decltype(member)::type>();
      deepest = deepest < 0 || levels < 0 ? -1 : levels > deepest ? levels : deepest;
    });
    return deepest < 0 ? -1 : deepest + 1;
  }

 private:
  static constexpr size_t kFieldCount = std::tuple_size_v<decltype(D::fields())>;

  // The plans, made on first use.
  static void buildBinary(PlanBuilder<Encoder>& b, const void* record, int) {
    planBinaryFields(b, *static_cast<const D*>(record));
  }
  static void buildText(PlanBuilder<TextWriter>& b, const void* record, int depth) {
    planTextFields(b, *static_cast<const D*>(record), depth);
  }
  static void buildRead(ReadPlanBuilder& b, const void* record) {
    planReadFields(b, *static_cast<const D*>(record), true);
  }
  static inline BinaryPlanSlot binary_plan_;
  static inline TextPlanSlots text_plans_;
  static inline ReadPlanSlot read_plan_;

  template <size_t... I>
  static void planReadIn([[maybe_unused]] ReadPlanBuilder& b, [[maybe_unused]] const D& record,
                         [[maybe_unused]] bool top, std::index_sequence<I...>) {
    (planReadAt<I>(b, record, top), ...);
  }
  template <size_t I>
  static void planReadAt(ReadPlanBuilder& b, const D& record, bool top) {
    static constexpr auto f = std::get<I>(D::fields());
    if (top) b.beginField();
    planReadField(b, f.id, record.*(f.member), top ? &readErased<I> : nullptr);
  }

  // The field readers, one per entry, and the (id, kind) table that finds them.
  template <size_t I>
  static void readAt(D& record, Decoder& in) {
    constexpr auto f = std::get<I>(D::fields());
    codec(f).get(in, f.id, record.*(f.member));
  }
  template <size_t I>
  static void readErased(void* record, Decoder& in) {
    readAt<I>(*static_cast<D*>(record), in);
  }
  using Reader = void (*)(D&, Decoder&);
  template <size_t N>
  struct ReadTable {
    int16_t ids[N];
    int16_t kinds[N];
    Reader readers[N];
  };
  template <size_t I>
  static constexpr int16_t kindAt() {
    using Member = typename std::tuple_element_t<I, decltype(D::fields())>::Member;
    return FieldCodec<std::remove_cv_t<Member>>::kKind;
  }
  template <size_t... I>
  static constexpr ReadTable<sizeof...(I)> readTable(std::index_sequence<I...>) {
    return ReadTable<sizeof...(I)>{
        {std::get<I>(D::fields()).id...}, {kindAt<I>()...}, {&readAt<I>...}};
  }

  template <class C, class T>
  static FieldCodec<std::remove_cv_t<T>> codec(const FieldEntry<C, T>&) {
    return {};
  }
  // The table is a constant made once, not a tuple rebuilt at every call.
  template <class F>
  static void forEachEntry(F&& f) {
    static constexpr auto kFields = D::fields();
    std::apply([&](const auto&... entry) { (f(entry), ...); }, kFields);
  }
  // Calls f with a tag of each field's member type (in constant expressions too).
  template <class T>
  struct TypeTag {
    using type = T;
  };
  template <class F>
  static constexpr void forEachMemberType(F&& f) {
    std::apply(
        [&](const auto&... entry) {
          (f(TypeTag<typename std::decay_t<decltype(entry)>::Member>()), ...);
        },
        D::fields());
  }
  const D& self() const { return static_cast<const D&>(*this); }
  D& mutableSelf() const { return const_cast<D&>(static_cast<const D&>(*this)); }
};

}  // namespace tq

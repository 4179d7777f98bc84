// What each member type puts into a plan (records/field_plan.h) as a class walks its field
// table: scalars are holes, records held by value are walked into the same plan, and every
// other field is a call to its own writer.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <typeinfo>

#include "records/field_codec.h"
#include "records/field_plan.h"
#include "records/read_plan.h"
#include "records/record_traits.h"

namespace tq {

template <class T>
inline constexpr bool kIsScalar = std::is_same_v<T, int32_t> || std::is_same_v<T, bool> ||
                                  std::is_same_v<T, char> || std::is_same_v<T, TqString>;

template <class T>
constexpr PlanOp scalarOp() {
  if constexpr (std::is_same_v<T, int32_t>) {
    return PlanOp::kInt;
  } else if constexpr (std::is_same_v<T, bool>) {
    return PlanOp::kBool;
  } else if constexpr (std::is_same_v<T, char>) {
    return PlanOp::kChar;
  } else {
    return PlanOp::kString;
  }
}

// The bytes a field of type T takes in the binary stream, header included, when they do not
// depend on its value; -1 when they do.
template <class T>
constexpr int32_t fixedBinarySize() {
  if constexpr (std::is_same_v<T, int32_t>) {
    return 8;
  } else if constexpr (std::is_same_v<T, bool> || std::is_same_v<T, char>) {
    return 5;
  } else if constexpr (kWritesByTable<T>) {
    constexpr int32_t fields = T::fixedFieldsSize();
    return fields < 0 ? -1 : 12 + fields;
  } else {
    return -1;
  }
}

// The writers a call step runs: a field by its codec, or the fields of a record that has no
// field table (a container).
template <class T>
void putFieldCall(const char* value, Encoder& out, const PlanCall<Encoder>& call) {
  const T& v = *reinterpret_cast<const T*>(value);
  if constexpr (std::is_base_of_v<Object, T>) {
    out.putRecordOf(call.id, v);
  } else {
    FieldCodec<T>::put(out, call.id, v);
  }
}
template <class T>
void writeFieldsCall(const char* value, Encoder& out, const PlanCall<Encoder>&) {
  reinterpret_cast<const T*>(value)->T::writeFields(out);
}
template <class T>
void putTextCall(const char* value, TextWriter& out, const PlanCall<TextWriter>& call) {
  FieldCodec<T>::putText(out, call.name, *reinterpret_cast<const T*>(value));
}
template <class T>
void writeNamedFieldsCall(const char* value, TextWriter& out, const PlanCall<TextWriter>&) {
  reinterpret_cast<const T*>(value)->T::writeNamedFields(out);
}

// Field `id` holding v, in the binary stream. A record held by value is of its declared class
// exactly, so its fields go into the same plan.
template <class T>
void planBinaryField(PlanBuilder<Encoder>& b, int16_t id, const T& v) {
  if constexpr (kIsScalar<T>) {
    b.header(id, FieldCodec<T>::kKind);
    b.value(scalarOp<T>(), &v);
  } else if constexpr (std::is_base_of_v<Object, T>) {
    constexpr int32_t fixed = fixedBinarySize<T>();
    if (fixed < 0 && !b.canOpen()) {
      b.call(&putFieldCall<T>, &v, id, 0, {});
      return;
    }
    b.header(id, kRecordKind);
    b.int32(v.T::classId());
    if constexpr (fixed >= 0) {
      b.int32(fixed - 12);
      T::planBinaryFields(b, v);
    } else {
      b.open();
      if constexpr (kWritesByTable<T>) {
        T::planBinaryFields(b, v);
      } else {
        b.call(&writeFieldsCall<T>, &v, id, 0, {});
      }
      b.close();
    }
  } else {
    b.call(&putFieldCall<T>, &v, id, 0, {});
  }
}

// Field `name` holding v, in the text form at a depth: "<name>value</name>", or a record's tag
// and object lines around its fields two tabs deeper.
template <class T>
void planTextField(PlanBuilder<TextWriter>& b, std::string_view name, const T& v, int depth) {
  if constexpr (kIsScalar<T>) {
    b.tabs(depth);
    b.constant("<");
    b.constant(name);
    b.constant(">");
    b.value(scalarOp<T>(), &v);
    b.constant("</");
    b.constant(name);
    b.constant(">\n");
  } else if constexpr (std::is_base_of_v<Object, T> && kHasTypeName<T>) {
    b.tabs(depth);
    b.constant("<");
    b.constant(name);
    b.constant(">\n");
    b.tabs(depth + 1);
    b.constant("<object type = '");
    b.constant(T::kTypeName);
    b.constant("'>\n");
    if constexpr (kWritesByTable<T>) {
      T::planTextFields(b, v, depth + 2);
    } else {
      b.call(&writeNamedFieldsCall<T>, &v, 0, depth + 2, {});
    }
    b.tabs(depth + 1);
    b.constant("</object>\n");
    b.tabs(depth);
    b.constant("</");
    b.constant(name);
    b.constant(">\n");
  } else {
    b.call(&putTextCall<T>, &v, 0, depth, name);
  }
}

// How deep the sub-records of a T nest when a read plan takes them whole (scalars and records
// that read by their tables and hold only such fields); -1 when it cannot. 0 for a scalar.
template <class T>
constexpr int flatReadLevels() {
  if constexpr (kIsScalar<T>) {
    return 0;
  } else if constexpr (kReadsByTable<T>) {
    return T::flatFieldLevels();
  } else {
    return -1;
  }
}

// Field `id` holding v, as a read plan expects it. A record the plan can take whole, at most
// kMaxPlanOpen deep, is read within the plan; any other field by `reader`, its table's entry.
template <class T>
void planReadField(ReadPlanBuilder& b, int16_t id, const T& v, FieldReader reader) {
  constexpr int levels = flatReadLevels<T>();
  if constexpr (kIsScalar<T>) {
    b.header(id, FieldCodec<T>::kKind);
    b.value(scalarOp<T>(), &v);
  } else if constexpr (levels > 0 && levels <= kMaxPlanOpen) {
    constexpr int32_t fixed = fixedBinarySize<T>();
    b.header(id, kRecordKind);
    b.int32(v.T::classId());
    if (fixed >= 0) {
      b.fixedLength(fixed - 12);
    } else {
      b.open();
    }
    b.enter();
    T::planReadFields(b, v, false);
    b.leave();
    if (fixed < 0) b.close();
  } else {
    b.header(id, FieldCodec<T>::kKind);
    b.field(reader);
  }
}

// A container's elements, field `Id` named `Name`: each is written by the element's plan when
// it is of class E itself, and through its virtual operations when of a class derived from E.
template <class E, int16_t Id, const char* Name>
class ElementCodec {
 public:
  static void put(Encoder& out, const E& e) {
    if (planned(e)) {
      binary_.write(&buildBinary, &e, out);
    } else {
      FieldCodec<E>::put(out, Id, e);
    }
  }
  static void putText(TextWriter& out, const E& e) {
    if (planned(e)) {
      text_.write(&buildText, &e, out);
    } else {
      FieldCodec<E>::putText(out, Name, e);
    }
  }
  // The elements of a list (owning pointers), the plan looked up once for them all.
  template <class Items>
  static void putAll(Encoder& out, const Items& items) {
    const BinaryPlan* plan = nullptr;
    for (const auto& e : items) {
      if (!planned(*e)) {
        FieldCodec<E>::put(out, Id, *e);
        continue;
      }
      if (plan == nullptr) plan = &binary_.plan(&buildBinary, e.get());
      out.run(*plan, e.get());
    }
  }
  template <class Items>
  static void putAllText(TextWriter& out, const Items& items) {
    const TextPlan* plan = nullptr;
    for (const auto& e : items) {
      if (!planned(*e)) {
        FieldCodec<E>::putText(out, Name, *e);
      } else if (plan != nullptr || (plan = text_.kept(&buildText, e.get(), out.depth()))) {
        out.run(*plan, e.get());
      } else {
        text_.write(&buildText, e.get(), out);  // deeper than the plans kept
      }
    }
  }

 private:
  static bool planned(const E& e) {
    if constexpr (std::is_polymorphic_v<E> && !std::is_same_v<E, TqString>) {
      return typeid(e) == typeid(E);
    } else {
      return true;
    }
  }
  static void buildBinary(PlanBuilder<Encoder>& b, const void* e, int) {
    planBinaryField(b, Id, *static_cast<const E*>(e));
  }
  static void buildText(PlanBuilder<TextWriter>& b, const void* e, int depth) {
    planTextField(b, Name, *static_cast<const E*>(e), depth);
  }
  static inline BinaryPlanSlot binary_;
  static inline TextPlanSlots text_;
};

}  // namespace tq

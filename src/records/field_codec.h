// How each member type of a field table travels (FieldCodec), and the entries of the tables.
//
// The kind of a field follows from its member type: int32_t integer, char character, TqString
// string, bool boolean, any record record. Other member types take part by specialising
// FieldCodec. Irregular fields are options of the entry: kBinaryOnly fields have no text name
// and travel only in the binary stream. Two entries may share an id when their kinds differ.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>

#include "records/limits.h"
#include "records/object.h"
#include "records/record_traits.h"
#include "records/text_form.h"
#include "records/tq_string.h"

namespace tq {

// How one member type travels. get() answers whether the current field was taken.
template <class T, class Enable = void>
struct FieldCodec;

template <>
struct FieldCodec<int32_t> {
  static constexpr int16_t kKind = kIntegerKind;
  static void put(Encoder& out, int16_t id, int32_t v) { out.putInt(id, v); }
  static bool get(Decoder& in, int16_t id, int32_t& v) { return in.getInt(id, v); }
  static void putText(TextWriter& out, TextName name, int32_t v) { out.putInt(name, v); }
  static bool getText(const TextFrame& f, TextKey name, int32_t& v) {
    return text::getInt(f, name, v);
  }
};

template <>
struct FieldCodec<char> {
  static constexpr int16_t kKind = kCharacterKind;
  static void put(Encoder& out, int16_t id, char v) { out.putChar(id, v); }
  static bool get(Decoder& in, int16_t id, char& v) { return in.getChar(id, v); }
  static void putText(TextWriter& out, TextName name, char v) { out.putChar(name, v); }
  static bool getText(const TextFrame& f, TextKey name, char& v) {
    return text::getChar(f, name, v);
  }
};

template <>
struct FieldCodec<bool> {
  static constexpr int16_t kKind = kBooleanKind;
  static void put(Encoder& out, int16_t id, bool v) { out.putBool(id, v); }
  static bool get(Decoder& in, int16_t id, bool& v) { return in.getBool(id, v); }
  static void putText(TextWriter& out, TextName name, bool v) { out.putBool(name, v); }
  static bool getText(const TextFrame& f, TextKey name, bool& v) {
    return text::getBool(f, name, v);
  }
};

template <>
struct FieldCodec<TqString> {
  static constexpr int16_t kKind = kStringKind;
  static void put(Encoder& out, int16_t id, const TqString& v) { out.putString(id, v.view()); }
  static bool get(Decoder& in, int16_t id, TqString& v) { return in.getString(id, v); }
  static void putText(TextWriter& out, TextName name, const TqString& v) {
    out.putString(name, v.view());
  }
  static bool getText(const TextFrame& f, TextKey name, TqString& v) {
    return text::getString(f, name, v);
  }
};

// Reads a record field into a record of class T itself: by T's read plan when T reads by its
// table, else field by field through direct calls rather than the virtual table.
template <class T>
bool getRecordOf(Decoder& in, int16_t id, T& record) {
  const uint8_t* fields;
  int32_t n;
  if (!in.enterRecord(id, record.T::classId(), fields, n)) return false;
  // Deeper than the limit the sub-record keeps its defaults; the container goes on after it.
  if (in.depth() + 1 <= kMaxNestingDepth) {
    Decoder inner(fields, n, in.depth() + 1, in.budget());
    if constexpr (kReadsByTable<T>) {
      T::readFields(record, inner);
    } else {
      while (inner.next()) {
        record.T::readField(inner);
        if (!inner.consumed()) inner.skip();
      }
    }
  }
  return true;
}

// A record. It is written through its virtual operations, since it may be of a class derived
// from T (a container's element); it is read into a record of class T itself (a member, or an
// element the reader has just made).
template <class T>
struct FieldCodec<T, std::enable_if_t<std::is_base_of_v<Object, T>>> {
  static constexpr int16_t kKind = kRecordKind;
  static void put(Encoder& out, int16_t id, const T& v) { out.putRecord(id, v); }
  static bool get(Decoder& in, int16_t id, T& v) { return getRecordOf(in, id, v); }
  static void putText(TextWriter& out, TextName name, const T& v) { out.putRecord(name, v); }
  static bool getText(const TextFrame& f, TextKey name, T& v) {
    return text::getRecord(f, name, v);
  }
};

enum FieldOption : uint8_t {
  kBinaryOnly = 1,  // no text name: written and read in the binary stream only
};

template <class C, class T>
struct FieldEntry {
  using Member = T;
  int16_t id;
  const char* name;
  T C::*member;
  uint8_t options;
  uint16_t name_length;  // measured once, with the table
  constexpr std::string_view textName() const { return std::string_view(name, name_length); }
};

template <class C, class T>
constexpr FieldEntry<C, T> Field(int16_t id, const char* name, T C::*member, uint8_t options = 0) {
  return FieldEntry<C, T>{id, name, member, options,
                          static_cast<uint16_t>(std::char_traits<char>::length(name))};
}

}  // namespace tq

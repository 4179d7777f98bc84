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
// The kind of a field follows from its member type: int32_t integer, char character, TqString
// string, bool boolean, any record record. Other member types take part by specialising
// FieldCodec. Irregular fields are options of the entry: kBinaryOnly fields have no text name
// and travel only in the binary stream. Two entries may share an id when their kinds differ.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>

#include "records/object.h"
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

template <class T>
struct FieldCodec<T, std::enable_if_t<std::is_base_of_v<Object, T>>> {
  static constexpr int16_t kKind = kRecordKind;
  static void put(Encoder& out, int16_t id, const T& v) { out.putRecord(id, v); }
  static bool get(Decoder& in, int16_t id, T& v) { return in.getRecord(id, v); }
  // The value may be of a class derived from T (a container's element): the object line made
  // ahead for T serves when the type names agree.
  static void putText(TextWriter& out, TextName name, const T& v) {
    out.putRecord(name, v, objectTagsFor<T>());
  }
  static bool getText(const TextFrame& f, TextKey name, T& v) {
    return text::getRecord(f, name, v);
  }
};

enum FieldOption : uint8_t {
  kBinaryOnly = 1,  // no text name: written and read in the binary stream only
};

template <class C, class T>
struct FieldEntry {
  int16_t id;
  const char* name;
  T C::*member;
  uint8_t options;
  uint16_t name_length;  // measured once, with the table
};

template <class C, class T>
constexpr FieldEntry<C, T> Field(int16_t id, const char* name, T C::*member, uint8_t options = 0) {
  return FieldEntry<C, T>{id, name, member, options,
                          static_cast<uint16_t>(std::char_traits<char>::length(name))};
}

// A record class: D lists its fields in D::fields() and names kClassId and kTypeName.
template <class D, class Base = Object>
class Record : public Base {
 public:
  int32_t classId() const override { return D::kClassId; }
  const char* typeName() const override { return D::kTypeName; }

  void writeFields(Encoder& out) const override {
    forEachField([&](const auto& f) { putMember(out, f.id, self().*(f.member)); });
  }
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
    writeNamedIn(out, std::make_index_sequence<std::tuple_size_v<decltype(D::fields())>>());
  }
  void readNamedFields(const TextFrame& frame) override {
    forEachField([&](const auto& f) {
      if (!(f.options & kBinaryOnly)) codec(f).getText(frame, f.name, mutableSelf().*(f.member));
    });
  }

 private:
  template <class C, class T>
  static FieldCodec<std::remove_cv_t<T>> codec(const FieldEntry<C, T>&) {
    return {};
  }

  // A record member is of its declared class exactly (unlike a container's element, which may
  // be of a derived class), so it is written without the virtual calls.
  template <class T>
  static void putMember(Encoder& out, int16_t id, const T& v) {
    if constexpr (std::is_base_of_v<Object, T>) {
      out.putRecordOf(id, v);
    } else {
      FieldCodec<T>::put(out, id, v);
    }
  }

  template <size_t... I>
  void writeNamedIn(TextWriter& out, std::index_sequence<I...>) const {
    (writeNamedAt<I>(out), ...);
  }
  // Each field's tag lines are made with the table, once per class.
  template <size_t I>
  void writeNamedAt(TextWriter& out) const {
    static constexpr auto f = std::get<I>(D::fields());
    if constexpr (!(f.options & kBinaryOnly)) {
      static constexpr auto kTags = fieldTags<f.name_length>(f.name);
      const TextName name = TextName::tagged(kTags.bytes, f.name_length);
      using T = std::remove_cv_t<std::remove_reference_t<decltype(self().*(f.member))>>;
      if constexpr (std::is_base_of_v<Object, T> && kHasTypeName<T>) {
        out.putRecordOf(name, self().*(f.member));
      } else {
        codec(f).putText(out, name, self().*(f.member));
      }
    }
  }

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
  void forEachField(F&& f) const {
    static constexpr auto kFields = D::fields();
    std::apply([&](const auto&... entry) { (f(entry), ...); }, kFields);
  }
  const D& self() const { return static_cast<const D&>(*this); }
  D& mutableSelf() const { return const_cast<D&>(static_cast<const D&>(*this)); }
};

}  // namespace tq

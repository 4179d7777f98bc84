// Generic helpers over field tables, for tests that cover every record class at once:
//   - RecordFiller sets every field of a record to a value other than its default (distinct
//     numbers, distinct texts, true, letters; sub-records recursively; two elements in every
//     list and hash down to kFillDepth containers deep, since some records hold lists of their
//     own kind (a job holds jobs); deeper lists and hashes stay empty);
//   - fieldSignature() describes a class's field table as "id name kind; ..." where kind is
//     integer, character, string, boolean or the sub-record's type name, and a field that has
//     no text name shows "(binary)" as its name;
//   - roundTrip helpers encode, decode into a fresh record and encode again.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>

#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"

namespace tq::test {

template <class T, class = void>
struct HasFieldTable : std::false_type {};
template <class T>
struct HasFieldTable<T, std::void_t<decltype(T::fields())>> : std::true_type {};

class RecordFiller {
 public:
  static constexpr int kFillDepth = 2;

  void fill(int32_t& v) { v = ++next_; }
  void fill(char& v) { v = static_cast<char>('a' + (next_++ % 26)); }
  void fill(bool& v) { v = true; }
  void fill(TqString& v) { v = TqString(("text" + std::to_string(++next_)).c_str()); }

  template <class E, int32_t Id, const char* Name>
  void fill(List<E, Id, Name>& list) {
    if (depth_ >= kFillDepth) return;
    ++depth_;
    for (int i = 0; i < 2; ++i) {
      E element{};
      fill(element);
      list.append(std::move(element));
    }
    --depth_;
  }

  template <class E, int32_t Id, const char* Name>
  void fill(Hash<E, Id, Name>& hash) {
    if (depth_ >= kFillDepth) return;
    ++depth_;
    for (int i = 0; i < 2; ++i) {
      E element{};
      fill(element);
      hash.insert(TqString(("key" + std::to_string(++next_)).c_str()), std::move(element));
    }
    --depth_;
  }

  template <class R>
  std::enable_if_t<HasFieldTable<R>::value> fill(R& record) {
    std::apply([&](const auto&... f) { (fill(record.*(f.member)), ...); }, R::fields());
  }

 private:
  int32_t next_ = 0;
  int depth_ = 0;  // containers being filled around the current value
};

inline std::string kindName(const int32_t*) { return "integer"; }
inline std::string kindName(const char*) { return "character"; }
inline std::string kindName(const bool*) { return "boolean"; }
inline std::string kindName(const TqString*) { return "string"; }
inline std::string kindName(const Object* record) { return record->typeName(); }

template <class R>
std::string fieldSignature() {
  R record;
  std::string out;
  std::apply(
      [&](const auto&... f) {
        ((out += (out.empty() ? "" : "; ") + std::to_string(f.id) + " " +
                 ((f.options & kBinaryOnly) ? std::string("(binary)") : std::string(f.name)) + " " +
                 kindName(&(record.*(f.member)))),
         ...);
      },
      R::fields());
  return out;
}

// Element description of a container: "list of <kind>" or "hash of <kind>".
template <class E, int32_t Id, const char* Name>
std::string containerSignature(const List<E, Id, Name>*) {
  E element{};
  return "list of " + kindName(&element);
}
template <class E, int32_t Id, const char* Name>
std::string containerSignature(const Hash<E, Id, Name>*) {
  E element{};
  return "hash of " + kindName(&element);
}

template <class R>
std::string signatureOf() {
  if constexpr (HasFieldTable<R>::value) {
    return fieldSignature<R>();
  } else {
    return containerSignature(static_cast<const R*>(nullptr));
  }
}

// Whether any field of R travels in the binary stream only.
template <class R>
bool hasBinaryOnlyFields() {
  if constexpr (HasFieldTable<R>::value) {
    return std::apply([](const auto&... f) { return (false || ... || (f.options & kBinaryOnly)); },
                      R::fields());
  } else {
    return false;
  }
}

}  // namespace tq::test

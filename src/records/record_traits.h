// What a record class is made of, as the codecs need to know it at compile time: whether it
// names its type, and whether it writes and reads exactly by its own field table (a Record<T>
// that overrides none of the table's codecs). Plans (records/field_plan.h) see into such
// classes; every other record is written and read through its own operations.
#pragma once

#include <type_traits>

namespace tq {

template <class D, class Base>
class Record;

template <class T, class = void>
inline constexpr bool kHasTypeName = false;
template <class T>
inline constexpr bool kHasTypeName<T, std::void_t<decltype(T::kTypeName)>> = true;

// The class that declares a member function (the one a qualified call on T reaches).
template <class M>
struct MemberOwner;
template <class C, class R, class... A>
struct MemberOwner<R (C::*)(A...)> {
  using type = C;
};
template <class C, class R, class... A>
struct MemberOwner<R (C::*)(A...) const> {
  using type = C;
};
template <class T, class M>
inline constexpr bool kDeclaredByOwnRecord =
    std::is_same_v<typename MemberOwner<M>::type, Record<T, typename T::RecordBase>>;

// T is a Record<T> (not a class derived from one without a table of its own).
template <class T, class = void>
inline constexpr bool kHasFieldTable = false;
template <class T>
inline constexpr bool kHasFieldTable<T, std::void_t<typename T::FieldTableClass>> =
    std::is_same_v<typename T::FieldTableClass, T>;

template <class T, class = void>
inline constexpr bool kWritesByTable = false;
template <class T>
inline constexpr bool kWritesByTable<T, std::enable_if_t<kHasFieldTable<T>>> =
    kDeclaredByOwnRecord<T, decltype(&T::writeFields)>&&
        kDeclaredByOwnRecord<T, decltype(&T::writeNamedFields)>;

template <class T, class = void>
inline constexpr bool kReadsByTable = false;
template <class T>
inline constexpr bool kReadsByTable<T, std::enable_if_t<kHasFieldTable<T>>> =
    kDeclaredByOwnRecord<T, decltype(&T::readField)>;

}  // namespace tq

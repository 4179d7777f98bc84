// Both forms of a record written field by field from its table, the plain way: each field as
// the format describes it, sub-records measured after they are written. The library writes
// records by plans made once per class; tests compare the two, so that a plan that put one
// field's value under another's name, or lost a field, is caught for every class.
//
// Fields with a codec of their own (not a scalar, a record or a container) are written by that
// codec.
#pragma once

#include <cstdint>
#include <string>
#include <tuple>
#include <type_traits>

#include "records/field.h"
#include "records/hash.h"
#include "records/list.h"
#include "support/record_filler.h"
#include "support/sample_records.h"

namespace tq::test {

class ReferenceBinary {
 public:
  template <class R>
  static std::string encode(const R& record) {
    return be32(1) + fieldsOf(record);
  }

  static std::string field(int16_t id, int32_t v) { return header(id, kIntegerKind) + be32(v); }
  static std::string field(int16_t id, char v) {
    return header(id, kCharacterKind) + std::string(1, v);
  }
  static std::string field(int16_t id, bool v) {
    return header(id, kBooleanKind) + std::string(1, v ? '\1' : '\0');
  }
  static std::string field(int16_t id, const TqString& v) {
    return header(id, kStringKind) + be32(v.length()) + v.str();
  }
  template <class T>
  static std::string field(int16_t id, const T& v) {
    if constexpr (std::is_base_of_v<Object, T>) {
      std::string fields = fieldsOf(v);
      return header(id, kRecordKind) + be32(v.classId()) +
             be32(static_cast<int32_t>(fields.size())) + fields;
    } else {
      ByteBuffer buffer;
      Encoder out(buffer);
      FieldCodec<T>::put(out, id, v);
      out.finish();
      return std::string(buffer.view());
    }
  }

  template <class R>
  static std::string fieldsOf(const R& record) {
    std::string out;
    if constexpr (HasFieldTable<R>::value) {
      std::apply([&](const auto&... f) { ((out += field(f.id, record.*(f.member))), ...); },
                 R::fields());
    } else {
      out = containerFields(record);
    }
    return out;
  }

 private:
  template <class E, int32_t Id, const char* Name>
  static std::string containerFields(const List<E, Id, Name>& list) {
    std::string out = field(1, list.count());
    for (int32_t i = 0; i < list.count(); ++i) out += field(10, list[i]);
    return out;
  }
  template <class E, int32_t Id, const char* Name>
  static std::string containerFields(const Hash<E, Id, Name>& hash) {
    std::string out = field(1, hash.count());
    hash.forEach([&](const TqString& key, const E& value) {
      out += field(10, key);
      out += field(30, value);
    });
    return out;
  }
};

class ReferenceText {
 public:
  template <class R>
  static std::string encode(const R& record) {
    return "<version>1</version>\n<object type = '" + std::string(record.typeName()) + "'>\n" +
           fieldsOf(record, 1) + "</object>";
  }

  static std::string escaped(std::string_view value) {
    std::string out;
    for (char c : value) {
      switch (c) {
        case '&':
          out += "&amp;";
          break;
        case '<':
          out += "&lt;";
          break;
        case '>':
          out += "&gt;";
          break;
        case '\r':
          out += "&#13;";
          break;
        default:
          out += c;
      }
    }
    return out;
  }
  static std::string line(std::string_view name, std::string_view value, int depth) {
    std::string tag(name);
    return tabs(depth) + "<" + tag + ">" + escaped(value) + "</" + tag + ">\n";
  }
  static std::string field(std::string_view name, int32_t v, int depth) {
    return line(name, std::to_string(v), depth);
  }
  static std::string field(std::string_view name, bool v, int depth) {
    return line(name, v ? "1" : "0", depth);
  }
  static std::string field(std::string_view name, char v, int depth) {
    return line(name, v == '\0' ? std::string() : std::string(1, v), depth);
  }
  static std::string field(std::string_view name, const TqString& v, int depth) {
    return line(name, v.view(), depth);
  }
  template <class T>
  static std::string field(std::string_view name, const T& v, int depth) {
    if constexpr (std::is_base_of_v<Object, T>) {
      std::string tag(name);
      return tabs(depth) + "<" + tag + ">\n" + tabs(depth + 1) + "<object type = '" + v.typeName() +
             "'>\n" + fieldsOf(v, depth + 2) + tabs(depth + 1) + "</object>\n" + tabs(depth) +
             "</" + tag + ">\n";
    } else {
      ByteBuffer buffer;
      buffer.setTextMode(true);
      ByteCursor cursor(buffer);
      TextWriter out(cursor, depth);
      FieldCodec<T>::putText(out, name, v);
      cursor.finish();
      return std::string(buffer.view());
    }
  }

  template <class R>
  static std::string fieldsOf(const R& record, int depth) {
    std::string out;
    if constexpr (HasFieldTable<R>::value) {
      std::apply(
          [&](const auto&... f) {
            ((out +=
              (f.options & kBinaryOnly) ? std::string() : field(f.name, record.*(f.member), depth)),
             ...);
          },
          R::fields());
    } else {
      out = containerFields(record, depth);
    }
    return out;
  }

 private:
  static std::string tabs(int n) { return std::string(n > 0 ? static_cast<size_t>(n) : 0, '\t'); }

  template <class E, int32_t Id, const char* Name>
  static std::string containerFields(const List<E, Id, Name>& list, int depth) {
    std::string out;
    for (int32_t i = 0; i < list.count(); ++i) out += field("item", list[i], depth);
    return out;
  }
  template <class E, int32_t Id, const char* Name>
  static std::string containerFields(const Hash<E, Id, Name>& hash, int depth) {
    std::string out;
    hash.forEach([&](const TqString& key, const E& value) {
      out += field("key", key, depth);
      out += field("element", value, depth);
    });
    return out;
  }
};

}  // namespace tq::test

// Records used by the record tests: one field of every kind, and the irregular shapes the
// catalogue has (two fields sharing an id, a binary-only field, a digit as a text name, nesting).
#pragma once

#include <string>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"

namespace tq::test {

class Sample : public Record<Sample> {
 public:
  static constexpr int32_t kClassId = 900;
  static constexpr const char* kTypeName = "sample";
  int32_t number = 0;
  char letter = 0;
  TqString text;
  bool flag = false;
  JobId job;
  TqString shared_text;    // id 8, string
  int32_t shared_int = 0;  // id 8, integer
  int32_t hidden = 0;      // binary stream only
  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "number", &Sample::number), Field(2, "letter", &Sample::letter),
        Field(3, "text", &Sample::text), Field(4, "flag", &Sample::flag),
        Field(5, "job", &Sample::job), Field(8, "shared_text", &Sample::shared_text),
        Field(8, "shared_int", &Sample::shared_int), Field(10, "", &Sample::hidden, kBinaryOnly));
  }
};

// A field whose text name is a digit.
class DigitName : public Record<DigitName> {
 public:
  static constexpr int32_t kClassId = 902;
  static constexpr const char* kTypeName = "digit_name";
  TqString digit;
  static constexpr auto fields() { return std::make_tuple(Field(2, "2", &DigitName::digit)); }
};

// A record that holds itself, for nesting-depth tests.
class Nest : public Record<Nest> {
 public:
  static constexpr int32_t kClassId = 901;
  static constexpr const char* kTypeName = "nest";
  int32_t level = 0;
  std::unique_ptr<Nest> inner;  // written through a custom codec below
  static constexpr auto fields();
};

}  // namespace tq::test

namespace tq {
// A nest travels as an optional sub-record: absent when null, created when read.
template <>
struct FieldCodec<std::unique_ptr<test::Nest>> {
  static constexpr int16_t kKind = kRecordKind;
  static void put(Encoder& out, int16_t id, const std::unique_ptr<test::Nest>& v) {
    if (v) out.putRecord(id, *v);
  }
  static bool get(Decoder& in, int16_t id, std::unique_ptr<test::Nest>& v) {
    if (!in.matches(id, kRecordKind)) return false;
    if (!v) v = std::make_unique<test::Nest>();
    return in.getRecord(id, *v);
  }
  static void putText(TextWriter& out, TextName name, const std::unique_ptr<test::Nest>& v) {
    if (v) out.putRecord(name, *v);
  }
  static bool getText(const TextFrame& f, TextKey name, std::unique_ptr<test::Nest>& v) {
    if (!f.object(name)) return false;
    if (!v) v = std::make_unique<test::Nest>();
    return text::getRecord(f, name, *v);
  }
};
}  // namespace tq

namespace tq::test {
inline constexpr auto Nest::fields() {
  return std::make_tuple(Field(1, "level", &Nest::level), Field(2, "inner", &Nest::inner));
}

// Builds a chain of `depth` nests (depth 1: a single record).
inline std::unique_ptr<Nest> makeNest(int depth) {
  auto top = std::make_unique<Nest>();
  Nest* at = top.get();
  for (int i = 1; i < depth; ++i) {
    at->inner = std::make_unique<Nest>();
    at->inner->level = i;
    at = at->inner.get();
  }
  return top;
}

inline int nestDepth(const Nest& n) {
  int d = 1;
  for (const Nest* at = n.inner.get(); at; at = at->inner.get()) ++d;
  return d;
}

// Big-endian helpers for hand-made streams.
inline std::string be32(int32_t v) {
  uint32_t u = static_cast<uint32_t>(v);
  return std::string{static_cast<char>(u >> 24), static_cast<char>(u >> 16),
                     static_cast<char>(u >> 8), static_cast<char>(u)};
}
inline std::string header(int16_t id, int16_t kind) {
  return std::string{static_cast<char>(id >> 8), static_cast<char>(id),
                     static_cast<char>(kind >> 8), static_cast<char>(kind)};
}
inline int decodeBytes(Object& r, const std::string& bytes) {
  return r.decode(reinterpret_cast<const uint8_t*>(bytes.data()),
                  static_cast<int32_t>(bytes.size()));
}
inline std::string encodeBytes(Object& r) {
  r.encode();
  return std::string(r.encoded());
}

}  // namespace tq::test

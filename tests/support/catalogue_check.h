// One table row per record class, and the checks every class must pass: its identity, its field
// table against the published layout, and a round trip of a fully filled record through the
// binary and the text form into a fresh record (compared by encoding again), and both forms of
// a filled record against the plain writing of its table (support/reference_writer.h).
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

#include "records/object.h"
#include "support/record_filler.h"
#include "support/reference_writer.h"
#include "support/sample_records.h"

namespace tq::test {

struct CatalogueEntry {
  int32_t class_id;
  const char* type_name;
  // The layout as published: "id name kind; ..." (see fieldSignature), or "list of <kind>" /
  // "hash of <kind>" for containers; empty for classes without fields.
  const char* layout;
  std::unique_ptr<Object> (*make)();
  void (*fill)(Object&);
  std::string (*signature)();
  bool binary_only_fields;
  // False where the text form cannot be read back at all (a field named by a digit).
  bool text_readable;
  // Both forms written the plain way.
  std::string (*reference_binary)(const Object&);
  std::string (*reference_text)(const Object&);
};

inline std::ostream& operator<<(std::ostream& os, const CatalogueEntry& e) {
  return os << e.class_id << " " << e.type_name;
}

template <class R>
CatalogueEntry catalogueEntry(int32_t class_id, const char* type_name, const char* layout,
                              bool text_readable = true) {
  return CatalogueEntry{
      class_id,
      type_name,
      layout,
      []() -> std::unique_ptr<Object> { return std::make_unique<R>(); },
      [](Object& record) {
        RecordFiller filler;
        filler.fill(static_cast<R&>(record));
      },
      &signatureOf<R>,
      hasBinaryOnlyFields<R>(),
      text_readable,
      [](const Object& record) { return ReferenceBinary::encode(static_cast<const R&>(record)); },
      [](const Object& record) { return ReferenceText::encode(static_cast<const R&>(record)); }};
}

inline std::string wrapText(std::string_view text) {
  return "<pack>\n" + std::string(text) + "\n</pack>";
}

inline std::string encodeTextOf(Object& record) {
  record.encodeText();
  return std::string(record.encoded());
}

inline int decodeTextInto(Object& record, const std::string& text) {
  return record.decodeText(text.data(), static_cast<int32_t>(text.size()));
}

inline void checkIdentity(const CatalogueEntry& e) {
  std::unique_ptr<Object> record = e.make();
  EXPECT_EQ(record->classId(), e.class_id);
  EXPECT_STREQ(record->typeName(), e.type_name);
  EXPECT_EQ(e.signature(), e.layout);
}

inline void checkBinaryRoundTrip(const CatalogueEntry& e) {
  std::unique_ptr<Object> original = e.make();
  std::string defaults = encodeBytes(*original);
  e.fill(*original);
  std::string bytes = encodeBytes(*original);
  EXPECT_EQ(encodeBytes(*original), bytes) << "encoding twice differs";
  bool has_fields = bytes.size() > 4;
  if (has_fields) {
    EXPECT_NE(bytes, defaults) << "the filler left every field at its default";
  }

  std::unique_ptr<Object> back = e.make();
  EXPECT_EQ(decodeBytes(*back, bytes), has_fields ? kDecoded : kDecodeEmpty);
  EXPECT_EQ(encodeBytes(*back), bytes);
}

inline void checkTextRoundTrip(const CatalogueEntry& e) {
  std::unique_ptr<Object> original = e.make();
  e.fill(*original);
  std::string bytes = encodeBytes(*original);
  std::string text = encodeTextOf(*original);

  std::unique_ptr<Object> back = e.make();
  if (!e.text_readable) {
    EXPECT_EQ(decodeTextInto(*back, wrapText(text)), kTextMalformed);
    return;
  }
  ASSERT_EQ(decodeTextInto(*back, wrapText(text)), kTextDecoded) << text;
  EXPECT_EQ(encodeTextOf(*back), text);
  // Fields without a text name stay behind; everything else must match in the binary form too.
  if (!e.binary_only_fields) {
    EXPECT_EQ(encodeBytes(*back), bytes);
  }
}

// A filled record and a default one, in both forms, are what their field table says.
inline void checkWrittenAsItsTableSays(const CatalogueEntry& e) {
  std::unique_ptr<Object> record = e.make();
  for (int filled = 0; filled < 2; ++filled) {
    if (filled) e.fill(*record);
    EXPECT_EQ(encodeBytes(*record), e.reference_binary(*record)) << (filled ? "filled" : "default");
    EXPECT_EQ(encodeTextOf(*record), e.reference_text(*record)) << (filled ? "filled" : "default");
  }
}

}  // namespace tq::test

// tq::Object: the base of every record.
//
// A record has a class id, a type name and numbered, named, typed fields. It writes itself as a
// big-endian binary field stream (the wire and binary files) or as markup text (text files), and
// reads itself back from either. Every record keeps its last encoding until the next one, its
// decoding or its end (see has_encoding_ below).
//
// Binary field stream: a version word (4 bytes, 1), then fields. A field is a header of field id
// (16 bits) and kind (16 bits), then the payload of its kind:
//   1 integer    4 bytes, signed
//   2 character  1 byte
//   3 string     4-byte length N >= 0, then N bytes
//   4 record     4-byte class id, 4-byte length N, then N bytes of the sub-record's fields
//   6 boolean    1 byte, 0 or 1
// Decoding is lenient: fields come in any order, unknown fields of known kinds are skipped, an
// unknown kind or a truncated field ends the record quietly, and absent fields keep their values.
#pragma once

#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

#include "records/byte_buffer.h"
#include "records/field_plan.h"
#include "records/value.h"

namespace tq {

class DecodeBudget;
class Encoder;
class TqString;
class Decoder;
class TextWriter;
class TextFrame;

enum FieldKind : int16_t {
  kIntegerKind = 1,
  kCharacterKind = 2,
  kStringKind = 3,
  kRecordKind = 4,
  kBooleanKind = 6,
};

// Result codes of decode().
enum DecodeResult : int {
  kDecoded = 0,
  kDecodeTooShort = 1,    // fewer than 4 bytes
  kDecodeEmpty = 2,       // nothing after the version word
  kDecodeBadVersion = 3,  // the version word is not 1
};

// Result codes of decodeText().
enum TextDecodeResult : int {
  kTextDecoded = 0,
  kTextNoVersion = 1,
  kTextBadVersion = 3,
  kTextMalformed = 4,
  kTextNoParser = 5,
};

class Object : public Value {
 public:
  static constexpr int32_t kClassId = 71;
  static constexpr int32_t kStreamVersion = 1;

  // Inline: most records (list elements, sub-records) were never encoded on their own.
  ~Object() override {
    if (has_encoding_) dropEncoding();
  }

  // The virtual operations, in their fixed slot order after the destructor and classId().
  int32_t classId() const override { return kClassId; }
  virtual void writeFields(Encoder& out) const = 0;
  // Offered the current field header; takes the value when a field of the class has that id
  // and kind.
  virtual void readField(Decoder& in) = 0;
  virtual const char* typeName() const { return "pack"; }
  virtual void writeNamedFields(TextWriter& out) const = 0;
  virtual void readNamedFields(const TextFrame& frame) = 0;

  // Binary form. encode() returns the encoded length (0 when the encoding would pass 2 GiB).
  int32_t encode();
  int decode(const uint8_t* bytes, int32_t n);
  int32_t saveBinary(const char* path);
  int32_t loadBinary(const char* path);

  // Text form. encodeText() returns the text length (the buffer keeps a zero byte after it).
  int32_t encodeText();
  int decodeText(const char* text, int32_t n);
  int32_t saveText(const char* path);
  int32_t loadText(const char* path);

  // The last encoding (binary or text); null and empty before the first.
  const uint8_t* buffer() const;
  int32_t bufferLength() const;
  std::string_view encoded() const;

  // Runs the field loop over n bytes of fields (no version word) at the given nesting depth,
  // charging what the readers build to the budget of the decode (none: unbounded).
  void decodeFields(const uint8_t* bytes, int32_t n, int depth, DecodeBudget* budget);

 protected:
  Object() = default;
  // Copies make a record with the same field values and no encoding of its own.
  Object(const Object&) noexcept : Value(), has_encoding_(false) {}
  Object& operator=(const Object&) noexcept { return *this; }

 private:
  // Most records (list elements, sub-records) are never encoded on their own, so a record
  // holds no buffer: the buffer of a record's last encoding is made by its first and kept in a
  // table by the record's address (object.cpp). The record only says whether it has one; the
  // flag takes the padding after the virtual table pointer, where a derived record's first
  // 32-bit field would otherwise begin.
  ByteBuffer& ownBuffer();
  const ByteBuffer* lastEncoding() const;
  void dropEncoding();
  bool has_encoding_ = false;
};

inline uint8_t* storeFieldHeader(uint8_t* at, int16_t id, int16_t kind) {
  return storeInt16(storeInt16(at, id), kind);
}

// Appends fields to a buffer in the binary stream, through a cursor into the buffer's room;
// finish() counts them into the buffer's length.
class Encoder {
 public:
  explicit Encoder(ByteBuffer& out) : out_(out) {}

  // Each field takes its room at once and is stored with fixed-size writes; when the buffer
  // cannot grow (past 2 GiB) nothing is written and the buffer says failed().
  void putInt(int16_t id, int32_t value) {
    if (uint8_t* at = out_.room(8))
      out_.advance(storeInt32(storeFieldHeader(at, id, kIntegerKind), value));
  }
  void putChar(int16_t id, char value) {
    if (uint8_t* at = out_.room(5)) {
      at = storeFieldHeader(at, id, kCharacterKind);
      *at = static_cast<uint8_t>(value);
      out_.advance(at + 1);
    }
  }
  void putString(int16_t id, std::string_view value) {
    uint8_t* at = out_.room(8 + value.size());
    if (at == nullptr) return;
    at = storeInt32(storeFieldHeader(at, id, kStringKind), static_cast<int32_t>(value.size()));
    if (!value.empty()) std::memcpy(at, value.data(), value.size());
    out_.advance(at + value.size());
  }
  void putBool(int16_t id, bool value) {
    if (uint8_t* at = out_.room(5)) {
      at = storeFieldHeader(at, id, kBooleanKind);
      *at = value ? 1 : 0;
      out_.advance(at + 1);
    }
  }
  // The sub-record's class id and length, then its fields (no version word).
  void putRecord(int16_t id, const Object& record);
  // The same for a record held by value, whose class is T itself: its operations are called
  // directly rather than through the virtual table.
  template <class T>
  void putRecordOf(int16_t id, const T& record) {
    int32_t length_at = beginRecord(id, record.T::classId());
    if (length_at < 0) return;
    record.T::writeFields(*this);
    endRecord(length_at);
  }

  // Writes a record by its plan (records/field_plan.cpp).
  void run(const BinaryPlan& plan, const void* record);

  void finish() { out_.finish(); }

 private:
  // Writes a record field's header; returns where its length goes (-1 when the buffer failed).
  int32_t beginRecord(int16_t id, int32_t class_id) {
    uint8_t* at = out_.room(12);
    if (at == nullptr) return -1;
    out_.advance(storeInt32(storeInt32(storeFieldHeader(at, id, kRecordKind), class_id), 0));
    return out_.position() - 4;  // the length, filled in after the fields
  }
  void endRecord(int32_t length_at) {
    if (!out_.failed()) storeInt32(out_.at(length_at), out_.position() - length_at - 4);
  }
  ByteCursor out_;
};

// A cursor over the fields of one record in the binary stream.
class Decoder {
 public:
  Decoder(const uint8_t* bytes, int32_t n, int depth, DecodeBudget* budget = nullptr)
      : cursor_(bytes), remaining_(n < 0 ? 0 : n), depth_(depth), budget_(budget) {}

  // Reads the next field header when at least 4 bytes remain.
  bool next() {
    if (remaining_ < 4) return false;
    id_ = readInt16(cursor_);
    kind_ = readInt16(cursor_ + 2);
    cursor_ += 4;
    remaining_ -= 4;
    consumed_ = false;
    return true;
  }
  int16_t id() const { return id_; }
  int16_t kind() const { return kind_; }
  bool consumed() const { return consumed_; }
  int depth() const { return depth_; }
  int32_t remaining() const { return remaining_; }
  DecodeBudget* budget() const { return budget_; }
  // Charges what a reader is about to build; false when the budget is spent (the reader then
  // builds nothing and ends the record). Always true without a budget.
  bool charge(int64_t bytes);
  bool matches(int16_t id, int16_t kind) const { return !consumed_ && id_ == id && kind_ == kind; }

  // Each reader does nothing unless the current header has its id and kind. On a match it
  // takes the value and answers true; a match without enough bytes ends the record.
  bool getInt(int16_t id, int32_t& value) {
    if (!matches(id, kIntegerKind)) return false;
    int32_t v;
    if (!takeInt32(v)) {
      stop();
      return false;
    }
    value = v;
    consumed_ = true;
    return true;
  }
  bool getChar(int16_t id, char& value);
  bool getString(int16_t id, TqString& value);
  bool getBool(int16_t id, bool& value);
  // The class id in the stream must equal the destination's; its fields are decoded in place.
  bool getRecord(int16_t id, Object& record);
  // Skips the current (unconsumed) field by its kind; an unknown kind ends the record.
  void skip();
  // Ends the record: everything after the cursor is lost.
  void stop() {
    cursor_ += remaining_;
    remaining_ = 0;
  }

  // Primitives for readers that take fields apart themselves (message content, containers).
  bool takeInt32(int32_t& value) {
    if (remaining_ < 4) return false;
    value = readInt32(cursor_);
    cursor_ += 4;
    remaining_ -= 4;
    return true;
  }
  bool takeBytes(int32_t n, const uint8_t*& bytes) {
    if (n < 0 || n > remaining_) return false;
    bytes = cursor_;
    cursor_ += n;
    remaining_ -= n;
    return true;
  }
  void markConsumed() { consumed_ = true; }
  // The bytes at the cursor, and a step over n of them (at most what remains).
  const uint8_t* peek() const { return cursor_; }
  void skipBytes(int32_t n) {
    cursor_ += n;
    remaining_ -= n;
  }

  // Where a record's field table matched last: writers emit fields in table order, so the
  // entry after it is tried first.
  int hint() const { return hint_; }
  void setHint(int hint) { hint_ = hint; }

  // Takes a record field's class id and length, and its bytes when the class is `class_id`;
  // otherwise ends the record (false).
  bool enterRecord(int16_t id, int32_t class_id, const uint8_t*& fields, int32_t& n) {
    if (!matches(id, kRecordKind)) return false;
    int32_t stream_class;
    if (!takeInt32(stream_class) || stream_class != class_id || !takeInt32(n) ||
        !takeBytes(n, fields)) {
      stop();
      return false;
    }
    consumed_ = true;
    return true;
  }

 private:
  const uint8_t* cursor_;
  int32_t remaining_;
  int depth_;
  DecodeBudget* budget_;
  int16_t id_ = 0;
  int16_t kind_ = 0;
  bool consumed_ = false;
  int hint_ = 0;
};

}  // namespace tq

// The markup text form of records.
//
// A record at top level is written as
//   <version>1</version>
//   <object type = 'job_id'>
//   \t<id>42</id>
//   \t<sub_id>3</sub_id>
//   </object>
// (no line feed after the last line). A record field opens a tag line, holds the sub-record's
// object lines one tab deeper and closes the tag. List elements are fields named "item"; hash
// entries are a "key" field followed by an "element" field.
//
// String values are written byte for byte except '&', '<', '>' and CR, written as "&amp;",
// "&lt;", "&gt;" and "&#13;" so that every value reads back unchanged. Bytes 128 to 255 are read
// as ISO-8859-1 and given back as the same bytes. Control bytes other than TAB, LF and CR cannot
// be carried by the markup: a file holding them does not parse.
//
// The reader parses the text with Expat into a document of frames (records/text_frames.h) and
// each record reads its fields from its frame by name. The reader charges every frame, every filed
// element and the character data it keeps to the decode's budget (records/decode_budget.h). Once
// the budget is spent it files nothing more: the frames already open are still closed and filed,
// and the records read what was filed. A document type declaration, which the writer never writes
// and which could declare entities that expand a few bytes into many, is refused as malformed
// (result 4), and so is a text nested deeper than kMaxTextElementDepth elements.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "records/byte_buffer.h"
#include "records/field_plan.h"
#include "records/text_frames.h"

namespace tq {

class Object;
class TqString;

// A field name as the writer takes it.
using TextName = std::string_view;

// Copies n bytes that may not be read past (a value), with at most two moves of up to 16
// bytes when n is at most 32.
inline uint8_t* copyValue(uint8_t* at, const char* from, size_t n) {
  if (n > 16 && n <= 32) {
    std::memcpy(at, from, 16);
    std::memcpy(at + n - 16, from + n - 16, 16);
  } else if (n >= 8 && n <= 16) {
    std::memcpy(at, from, 8);
    std::memcpy(at + n - 8, from + n - 8, 8);
  } else if (n >= 4 && n < 8) {
    std::memcpy(at, from, 4);
    std::memcpy(at + n - 4, from + n - 4, 4);
  } else if (n < 4) {
    for (size_t i = 0; i < n; ++i) at[i] = static_cast<uint8_t>(from[i]);
  } else {
    std::memcpy(at, from, n);
  }
  return at + n;
}

// The entity each byte is written as, for the bytes the markup would not give back unchanged.
struct EscapeTable {
  const char* entity[256] = {};
  uint8_t length[256] = {};
  constexpr void set(char c, const char* text, uint8_t n) {
    entity[static_cast<unsigned char>(c)] = text;
    length[static_cast<unsigned char>(c)] = n;
  }
  constexpr EscapeTable() {
    set('&', "&amp;", 5);
    set('<', "&lt;", 4);
    set('>', "&gt;", 4);
    set('\r', "&#13;", 5);
  }
};
inline constexpr EscapeTable kTextEscapes;

// Writes fields of the text form at a depth (a tab per level). Records with a field table are
// written by their plans (records/field_plan.h, run here by run()); the line writers below
// serve the fields that write themselves.
class TextWriter {
 public:
  TextWriter(ByteCursor& out, int depth) : out_(out), depth_(depth) {}

  void putInt(TextName name, int32_t value) {
    char digits[12];
    std::string_view text = formatInt(digits, value);
    putLine(name, text, text.size());
  }
  void putChar(TextName name, char value);
  void putString(TextName name, std::string_view value) {
    putLine(name, value, escapedSize(value));
  }
  void putBool(TextName name, bool value) { putInt(name, value ? 1 : 0); }
  // A record field: its tag lines around the record's object lines one tab deeper.
  void putRecord(TextName name, const Object& record);
  // The object lines of a sub-record at this writer's depth.
  void putObject(const Object& record);
  int depth() const { return depth_; }

  // Writes a record by its plan (records/field_plan.cpp).
  void run(const TextPlan& plan, const void* record);

  // The bytes a value takes once escaped; past 2 GiB, 2 GiB + 1 (which no buffer can take, and
  // which a 32-bit size_t holds with room to add to).
  static size_t escapedSize(std::string_view value) {
    uint64_t size = value.size();
    for (char c : value) {
      uint8_t n = kTextEscapes.length[static_cast<unsigned char>(c)];
      if (n > 0) size += n - 1u;
    }
    return size > INT32_MAX ? size_t{INT32_MAX} + 1 : static_cast<size_t>(size);
  }
  // The decimal digits of a value, at the end of `digits`.
  static std::string_view formatInt(char (&digits)[12], int32_t value) {
    char* first = digits + sizeof digits;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    while (magnitude >= 100) {  // two digits at a time
      uint32_t pair = magnitude % 100;
      magnitude /= 100;
      *--first = static_cast<char>('0' + pair % 10);
      *--first = static_cast<char>('0' + pair / 10);
    }
    if (magnitude >= 10) *--first = static_cast<char>('0' + magnitude % 10);
    *--first = static_cast<char>('0' + (magnitude >= 10 ? magnitude / 10 : magnitude));
    if (value < 0) *--first = '-';
    return std::string_view(first, static_cast<size_t>(digits + sizeof digits - first));
  }

 private:
  size_t tabs() const { return depth_ > 0 ? static_cast<size_t>(depth_) : 0; }
  // A line "<name>value</name>", the value taking `size` bytes once escaped.
  void putLine(TextName name, std::string_view value, size_t size);
  // A line "<tabs><open><name><close>".
  void putTagLine(std::string_view open, std::string_view name, std::string_view close);

  ByteCursor& out_;
  int depth_;
};

// Writes a value with its escapes into room measured with escapedSize().
uint8_t* putEscaped(uint8_t* at, std::string_view value);

// Readers of named fields: each leaves the destination unchanged when the name is absent.
namespace text {
bool getInt(const TextFrame& frame, TextKey key, int32_t& value);
bool getChar(const TextFrame& frame, TextKey key, char& value);
bool getString(const TextFrame& frame, TextKey key, TqString& value);
bool getBool(const TextFrame& frame, TextKey key, bool& value);
bool getRecord(const TextFrame& frame, TextKey key, Object& record);
}  // namespace text

}  // namespace tq

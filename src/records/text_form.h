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
#include <type_traits>

#include "records/byte_buffer.h"
#include "records/text_frames.h"

namespace tq {

class Object;
class TqString;

// Tag lines made ahead, so that the writer puts a line with a few fixed-size copies. A field
// name's tags are "<16 tabs><name>\n<16 tabs></name>\n"; a class's object line is
// "<16 tabs><object type = 'T'>\n". Each is followed by kTagPad bytes that copies may read.
inline constexpr size_t kTagTabs = 16;
inline constexpr size_t kTagPad = 32;

template <size_t N>
struct TagBytes {
  char bytes[N] = {};
  constexpr size_t put(size_t at, const char* text, size_t n) {
    for (size_t i = 0; i < n; ++i) bytes[at + i] = text[i];
    return at + n;
  }
  constexpr size_t putTabs(size_t at) {
    for (size_t i = 0; i < kTagTabs; ++i) bytes[at + i] = '\t';
    return at + kTagTabs;
  }
};

template <size_t L>
constexpr TagBytes<2 * kTagTabs + 2 * L + 7 + kTagPad> fieldTags(const char* name) {
  TagBytes<2 * kTagTabs + 2 * L + 7 + kTagPad> t;
  size_t at = t.putTabs(0);
  at = t.put(at, "<", 1);
  at = t.put(at, name, L);
  at = t.put(at, ">\n", 2);
  at = t.putTabs(at);
  at = t.put(at, "</", 2);
  at = t.put(at, name, L);
  t.put(at, ">\n", 2);
  return t;
}

template <size_t L>
constexpr TagBytes<kTagTabs + L + 19 + kTagPad> objectLine(const char* type_name) {
  TagBytes<kTagTabs + L + 19 + kTagPad> t;
  size_t at = t.putTabs(0);
  at = t.put(at, "<object type = '", 16);
  at = t.put(at, type_name, L);
  t.put(at, "'>\n", 3);
  return t;
}

constexpr TagBytes<kTagTabs + 10 + kTagPad> closeObjectLine() {
  TagBytes<kTagTabs + 10 + kTagPad> t;
  t.put(t.putTabs(0), "</object>\n", 10);
  return t;
}
inline constexpr auto kCloseObjectLine = closeObjectLine();

// A field name as the writer takes it, with its tags when they were made ahead (the name then
// sits in them after the first 16 tabs and '<'). Two words, so that it travels in registers.
class TextName {
 public:
  constexpr TextName(const char* n)  // NOLINT(runtime/explicit)
      : TextName(std::string_view(n)) {}
  constexpr TextName(std::string_view n)  // NOLINT(runtime/explicit)
      : text_(n.data()), length_(static_cast<uint32_t>(n.size())), tagged_(false) {}
  static constexpr TextName tagged(const char* tags, size_t length) {
    return TextName(tags, length);
  }
  std::string_view name() const {
    return std::string_view(tagged_ ? text_ + kTagTabs + 1 : text_, length_);
  }
  size_t size() const { return length_; }
  // The made-ahead tags, or null.
  const char* tags() const { return tagged_ ? text_ : nullptr; }

 private:
  constexpr TextName(const char* tags, size_t length)
      : text_(tags), length_(static_cast<uint32_t>(length)), tagged_(true) {}
  const char* text_;
  uint32_t length_;
  bool tagged_;
};

// The tags of a name known where the code is compiled.
inline constexpr char kItemName[] = "item";
inline constexpr char kKeyName[] = "key";
inline constexpr char kElementName[] = "element";
template <const char* Name>
struct NameTags {
  static constexpr size_t kLength = std::char_traits<char>::length(Name);
  static constexpr auto kTags = fieldTags<kLength>(Name);
  static constexpr TextName name() { return TextName::tagged(kTags.bytes, kLength); }
};

// The object line of class T, which names its type in T::kTypeName.
struct ObjectTags {
  const char* type_name;
  const char* line;  // at the first of its 16 tabs
  size_t type_length;
};
template <class T>
struct ObjectTagsOf {
  static constexpr size_t kLength = std::char_traits<char>::length(T::kTypeName);
  static constexpr auto kLine = objectLine<kLength>(T::kTypeName);
  static constexpr ObjectTags kTags{T::kTypeName, kLine.bytes, kLength};
};

template <class T, class = void>
inline constexpr bool kHasTypeName = false;
template <class T>
inline constexpr bool kHasTypeName<T, std::void_t<decltype(T::kTypeName)>> = true;

// The object line made ahead for T, when T names its type.
template <class T>
constexpr const ObjectTags* objectTagsFor() {
  if constexpr (kHasTypeName<T>) {
    return &ObjectTagsOf<T>::kTags;
  } else {
    return nullptr;
  }
}

// Copies n bytes of a tag made ahead, which may be read kTagPad bytes past its end, with
// 16-byte moves into padded room: up to 31 bytes past the n are stored too, and later copies
// overwrite them.
inline uint8_t* copyTag(uint8_t* at, const char* from, size_t n) {
  std::memcpy(at, from, 16);
  if (n > 16) {
    std::memcpy(at + 16, from + 16, 16);
    if (n > 32) std::memcpy(at + 32, from + 32, n - 32);
  }
  return at + n;
}

// Copies n bytes that may not be read past (a value), with at most two moves of up to 8 bytes
// when n is at most 16.
inline uint8_t* copyValue(uint8_t* at, const char* from, size_t n) {
  if (n >= 8 && n <= 16) {
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

// Writes fields of the text form at a depth (a tab per level). The common lines (tags made
// ahead, values that need no escape, room to spare) are written inline; the rest out of line.
class TextWriter {
 public:
  TextWriter(ByteCursor& out, int depth) : out_(out), depth_(depth) {}

  void putInt(TextName name, int32_t value) {
    char digits[12];
    char* first = digits + sizeof digits;
    uint32_t magnitude =
        value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    do {
      *--first = static_cast<char>('0' + magnitude % 10);
      magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0) *--first = '-';
    putLine(name, std::string_view(first, static_cast<size_t>(digits + sizeof digits - first)), 0);
  }
  void putChar(TextName name, char value);
  void putString(TextName name, std::string_view value) {
    putLine(name, value, value.empty() ? 0 : escapedExtra(value));
  }
  void putBool(TextName name, bool value) { putInt(name, value ? 1 : 0); }
  // A record field: its tag lines around the record's object lines one tab deeper. When the
  // record's type name is that of `expected`, the object line made ahead for it is used.
  void putRecord(TextName name, const Object& record, const ObjectTags* expected = nullptr);
  // The same for a record held by value, whose class is T itself: its fields are written by a
  // direct call rather than through the virtual table.
  template <class T>
  void putRecordOf(TextName name, const T& record) {
    openTag(name);
    TextWriter inner(out_, depth_ + 1);
    inner.openObject(ObjectTagsOf<T>::kTags.type_name, &ObjectTagsOf<T>::kTags);
    TextWriter fields(out_, depth_ + 2);
    record.T::writeNamedFields(fields);
    inner.closeObject();
    closeTag(name);
  }

  // The object lines of a sub-record at this writer's depth.
  void putObject(const Object& record, const ObjectTags* expected = nullptr);
  int depth() const { return depth_; }

  // How many bytes more than the value its escaped form takes.
  static size_t escapedExtra(std::string_view value);

 private:
  size_t tabs() const { return depth_ > 0 ? static_cast<size_t>(depth_) : 0; }

  // A line "<name>value</name>", the value taking `extra` more bytes once escaped.
  void putLine(TextName name, std::string_view value, size_t extra) {
    size_t tabs = this->tabs(), name_n = name.size();
    const char* tags = name.tags();
    uint8_t* at;
    if (tags && tabs <= kTagTabs && extra == 0 &&
        (at = out_.padRoom(tabs + 2 * name_n + 6 + value.size(), kTagPad))) {
      at = copyTag(at, tags + kTagTabs - tabs, tabs + name_n + 2);
      at = copyValue(at, value.data(), value.size());
      out_.advance(copyTag(at, tags + 2 * kTagTabs + name_n + 3, name_n + 4));
    } else {
      putLineExactly(name, value, extra);
    }
  }
  void putLineExactly(TextName name, std::string_view value, size_t extra);

  // "<name>" and "</name>" lines, and the object lines.
  void openTag(TextName name) {
    size_t tabs = this->tabs();
    if (name.tags() && tabs <= kTagTabs) {
      putMadeLine(name.tags() + kTagTabs - tabs, tabs + name.size() + 3);
    } else {
      putTagLine("<", name.name(), ">\n");
    }
  }
  void closeTag(TextName name) {
    size_t tabs = this->tabs();
    if (name.tags() && tabs <= kTagTabs) {
      putMadeLine(name.tags() + 2 * kTagTabs + name.size() + 3 - tabs, tabs + name.size() + 4);
    } else {
      putTagLine("</", name.name(), ">\n");
    }
  }
  void openObject(const char* type_name, const ObjectTags* expected) {
    size_t tabs = this->tabs();
    if (expected && expected->type_name == type_name && tabs <= kTagTabs) {
      putMadeLine(expected->line + kTagTabs - tabs, tabs + 16 + expected->type_length + 3);
    } else {
      putTagLine("<object type = '", type_name, "'>\n");
    }
  }
  void closeObject() {
    size_t tabs = this->tabs();
    if (tabs <= kTagTabs) {
      putMadeLine(kCloseObjectLine.bytes + kTagTabs - tabs, tabs + 10);
    } else {
      putTagLine("", {}, "</object>\n");
    }
  }

  // A whole line taken from tags made ahead.
  void putMadeLine(const char* line, size_t n) {
    if (uint8_t* at = out_.padRoom(n, kTagPad)) {
      out_.advance(copyTag(at, line, n));
    } else if ((at = out_.room(n)) != nullptr) {
      std::memcpy(at, line, n);
      out_.advance(at + n);
    }
  }
  // A line "<tabs><open><name><close>".
  void putTagLine(std::string_view open, std::string_view name, std::string_view close);

  ByteCursor& out_;
  int depth_;
};

// Readers of named fields: each leaves the destination unchanged when the name is absent.
namespace text {
bool getInt(const TextFrame& frame, TextKey key, int32_t& value);
bool getChar(const TextFrame& frame, TextKey key, char& value);
bool getString(const TextFrame& frame, TextKey key, TqString& value);
bool getBool(const TextFrame& frame, TextKey key, bool& value);
bool getRecord(const TextFrame& frame, TextKey key, Object& record);
}  // namespace text

}  // namespace tq

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

#include <cstdint>
#include <string_view>

#include "records/byte_buffer.h"
#include "records/text_frames.h"

namespace tq {

class Object;
class TqString;

// Writes fields of the text form at a depth (a tab per level).
class TextWriter {
 public:
  TextWriter(ByteBuffer& out, int depth) : out_(out), depth_(depth) {}

  void putInt(std::string_view name, int32_t value);
  void putChar(std::string_view name, char value);
  void putString(std::string_view name, std::string_view value);
  void putBool(std::string_view name, bool value) { putInt(name, value ? 1 : 0); }
  void putRecord(std::string_view name, const Object& record);

  // The object lines of a sub-record at this writer's depth.
  void putObject(const Object& record);
  int depth() const { return depth_; }

 private:
  ByteBuffer& out_;
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

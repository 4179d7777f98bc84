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
// The reader parses the text with Expat into a tree of frames. Each frame files its scalar
// elements and its object elements under their element names, made unique by appending 1, 2,
// 3 ... ("item", "item1", "item2"); an object that follows a closed scalar element at the same
// level is filed under "undef_obj", which is how the top-level record is found.
//
// The reader charges every frame, every filed element and the character data it keeps to the
// decode's budget (records/decode_budget.h). Once the budget is spent it files nothing more:
// the frames already open are still closed and filed, and the records read what was filed. A
// document type declaration, which the writer never writes and which could declare entities
// that expand a few bytes into many, is refused as malformed (result 4), and so is a text
// nested deeper than kMaxTextElementDepth elements.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>

#include "records/byte_buffer.h"

namespace tq {

class DecodeBudget;
class Object;
class TqString;

// Writes fields of the text form at a depth (a tab per level).
class TextWriter {
 public:
  TextWriter(ByteBuffer& out, int depth) : out_(out), depth_(depth) {}

  void putInt(const char* name, int32_t value);
  void putChar(const char* name, char value);
  void putString(const char* name, std::string_view value);
  void putBool(const char* name, bool value) { putInt(name, value ? 1 : 0); }
  void putRecord(const char* name, const Object& record);

  // The object lines of a sub-record at this writer's depth.
  void putObject(const Object& record);
  int depth() const { return depth_; }

 private:
  ByteBuffer& out_;
  int depth_;
};

// One element frame of the reader: what one "object" element holds.
struct TextFrame {
  std::unordered_map<std::string, std::unique_ptr<TextFrame>> objects;
  std::unordered_map<std::string, std::string> scalars;

  const TextFrame* object(std::string_view name) const;
  const std::string* scalar(std::string_view name) const;
  bool has(std::string_view name) const { return object(name) || scalar(name); }
  // Charges what a reader builds from this frame to the decode's budget; always true without
  // one. False when the budget is spent: the reader then builds nothing more.
  bool charge(int64_t bytes) const;

  // Files a value under name, or name1, name2 ... when taken.
  void addObject(const std::string& name, std::unique_ptr<TextFrame> frame);
  void addScalar(const std::string& name, std::string text);

  // The budget of the decode that built the frame (none for a frame made by hand).
  DecodeBudget* budget = nullptr;

  // Parser state.
  std::string element;
  std::string text;

 private:
  std::unordered_map<std::string, int> next_object_suffix_;
  std::unordered_map<std::string, int> next_scalar_suffix_;
};

// Parses markup into a root frame, charging the frames to the budget, which must outlive the
// frames. Returns kTextDecoded, kTextMalformed or kTextNoParser.
int parseTextFrames(const char* text, int32_t n, DecodeBudget& budget,
                    std::unique_ptr<TextFrame>& root);

// Name used for repeated elements: "item", "item1", "item2" ...
std::string repeatedName(const char* base, int index);

// Readers of named fields: each leaves the destination unchanged when the name is absent.
namespace text {
bool getInt(const TextFrame& frame, const char* name, int32_t& value);
bool getChar(const TextFrame& frame, const char* name, char& value);
bool getString(const TextFrame& frame, const char* name, TqString& value);
bool getBool(const TextFrame& frame, const char* name, bool& value);
bool getRecord(const TextFrame& frame, const char* name, Object& record);
}  // namespace text

}  // namespace tq

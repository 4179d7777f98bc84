#include "records/text_form.h"

#include <cstdint>
#include <cstring>

#include "records/object.h"
#include "records/tq_string.h"

namespace tq {

// ---- Writing ----
//
// Records with a field table are written by their plans (records/field_plan.cpp); here are the
// lines of the fields that write themselves. Each line is measured, then written into room
// taken from the buffer at once.

namespace {

uint8_t* putTabs(uint8_t* at, size_t depth) {
  std::memset(at, '\t', depth);
  return at + depth;
}

}  // namespace

uint8_t* putEscaped(uint8_t* at, std::string_view value) {
  for (char c : value) {
    auto byte = static_cast<unsigned char>(c);
    if (const char* entity = kTextEscapes.entity[byte]) {
      std::memcpy(at, entity, kTextEscapes.length[byte]);
      at += kTextEscapes.length[byte];
    } else {
      *at++ = byte;
    }
  }
  return at;
}

void TextWriter::putChar(TextName name, char value) {
  // A NUL character is written as an empty element, which leaves the field as it is on reading.
  putString(name, value == '\0' ? std::string_view() : std::string_view(&value, 1));
}

void TextWriter::putLine(TextName name, std::string_view value, size_t size) {
  size_t tabs = this->tabs(), name_n = name.size();
  uint8_t* at = out_.room(tabs + 2 * name_n + 6 + size);
  if (at == nullptr) return;
  at = putTabs(at, tabs);
  *at++ = '<';
  at = copyValue(at, name.data(), name_n);
  *at++ = '>';
  at = size == value.size() ? copyValue(at, value.data(), size) : putEscaped(at, value);
  *at++ = '<';
  *at++ = '/';
  at = copyValue(at, name.data(), name_n);
  *at++ = '>';
  *at++ = '\n';
  out_.advance(at);
}

void TextWriter::putTagLine(std::string_view open, std::string_view name, std::string_view close) {
  size_t tabs = this->tabs();
  uint8_t* at = out_.room(tabs + open.size() + name.size() + close.size());
  if (at == nullptr) return;
  at = putTabs(at, tabs);
  at = copyValue(at, open.data(), open.size());
  at = copyValue(at, name.data(), name.size());
  out_.advance(copyValue(at, close.data(), close.size()));
}

void TextWriter::putRecord(TextName name, const Object& record) {
  putTagLine("<", name, ">\n");
  TextWriter inner(out_, depth_ + 1);
  inner.putObject(record);
  putTagLine("</", name, ">\n");
}

void TextWriter::putObject(const Object& record) {
  putTagLine("<object type = '", record.typeName(), "'>\n");
  TextWriter fields(out_, depth_ + 1);
  record.writeNamedFields(fields);
  putTagLine("", {}, "</object>\n");
}

// ---- Named readers ----

namespace text {

bool getInt(const TextFrame& frame, TextKey key, int32_t& value) {
  std::string_view s;
  if (!frame.scalar(key, s)) return false;
  value = TqString::toInt(s);
  return true;
}

bool getChar(const TextFrame& frame, TextKey key, char& value) {
  std::string_view s;
  if (!frame.scalar(key, s) || s.empty()) return false;
  value = s[0];
  return true;
}

bool getString(const TextFrame& frame, TextKey key, TqString& value) {
  std::string_view s;
  if (!frame.scalar(key, s)) return false;
  // What assigning a fresh string of the text does: the bytes, and the flag of a plain string.
  if (s.size() > static_cast<size_t>(INT32_MAX - 1)) return false;
  value.assignFitted(s.data(), static_cast<int32_t>(s.size()));
  value.setSecure(false);
  return true;
}

bool getBool(const TextFrame& frame, TextKey key, bool& value) {
  int32_t i = 0;
  if (!getInt(frame, key, i)) return false;
  value = i != 0;
  return true;
}

bool getRecord(const TextFrame& frame, TextKey key, Object& record) {
  const TextFrame* child = frame.object(key);
  if (child == nullptr) return false;
  record.readNamedFields(*child);
  return true;
}

}  // namespace text
}  // namespace tq

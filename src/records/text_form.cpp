#include "records/text_form.h"

#include <cstring>

#include "records/object.h"
#include "records/tq_string.h"

namespace tq {

// ---- Writing ----
//
// Each element is measured first and then written into room taken from the buffer at once.

namespace {

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
constexpr EscapeTable kEscape;

// How many bytes more than the value its escaped form takes.
size_t escapedExtra(std::string_view value) {
  size_t extra = 0;
  for (char c : value) {
    uint8_t n = kEscape.length[static_cast<unsigned char>(c)];
    if (n > 0) extra += n - 1u;
  }
  return extra;
}

uint8_t* putEscaped(uint8_t* at, std::string_view value) {
  for (char c : value) {
    auto byte = static_cast<unsigned char>(c);
    if (const char* entity = kEscape.entity[byte]) {
      std::memcpy(at, entity, kEscape.length[byte]);
      at += kEscape.length[byte];
    } else {
      *at++ = byte;
    }
  }
  return at;
}

// Most of what a line holds (names, tabs, numbers) is a few bytes long: up to 16 bytes are
// copied with two fixed-size copies that may overlap, which the compiler makes single moves.
uint8_t* put(uint8_t* at, const char* bytes, size_t n) {
  if (n >= 8 && n <= 16) {
    std::memcpy(at, bytes, 8);
    std::memcpy(at + n - 8, bytes + n - 8, 8);
  } else if (n >= 4 && n < 8) {
    std::memcpy(at, bytes, 4);
    std::memcpy(at + n - 4, bytes + n - 4, 4);
  } else if (n < 4) {
    for (size_t i = 0; i < n; ++i) at[i] = static_cast<uint8_t>(bytes[i]);
  } else {
    std::memcpy(at, bytes, n);
  }
  return at + n;
}

constexpr char kTabs[] = "\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t\t";

uint8_t* putTabs(uint8_t* at, size_t depth) {
  if (depth <= sizeof kTabs - 1) return put(at, kTabs, depth);
  std::memset(at, '\t', depth);
  return at + depth;
}

size_t tabsFor(int depth) { return depth > 0 ? static_cast<size_t>(depth) : 0; }

// A line "<tabs><open><name><close>".
void putTagLine(ByteBuffer& out, int depth, const char* open, size_t open_n, std::string_view name,
                const char* close, size_t close_n) {
  size_t tabs = tabsFor(depth), name_n = name.size();
  uint8_t* at = out.extend(tabs + open_n + name_n + close_n);
  if (!at) return;
  at = putTabs(at, tabs);
  at = put(at, open, open_n);
  at = put(at, name.data(), name_n);
  put(at, close, close_n);
}

}  // namespace

void TextWriter::putInt(std::string_view name, int32_t value) {
  char digits[12];
  char* first = digits + sizeof digits;
  uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
  do {
    *--first = static_cast<char>('0' + magnitude % 10);
    magnitude /= 10;
  } while (magnitude != 0);
  if (value < 0) *--first = '-';
  putString(name, std::string_view(first, static_cast<size_t>(digits + sizeof digits - first)));
}

void TextWriter::putChar(std::string_view name, char value) {
  // A NUL character is written as an empty element, which leaves the field as it is on reading.
  putString(name, value == '\0' ? std::string_view() : std::string_view(&value, 1));
}

void TextWriter::putString(std::string_view name, std::string_view value) {
  size_t tabs = tabsFor(depth_), name_n = name.size(), extra = escapedExtra(value);
  uint8_t* at = out_.extend(tabs + 2 * name_n + 6 + value.size() + extra);
  if (!at) return;
  at = putTabs(at, tabs);
  *at++ = '<';
  at = put(at, name.data(), name_n);
  *at++ = '>';
  at = extra == 0 ? put(at, value.data(), value.size()) : putEscaped(at, value);
  *at++ = '<';
  *at++ = '/';
  at = put(at, name.data(), name_n);
  *at++ = '>';
  *at = '\n';
}

void TextWriter::putRecord(std::string_view name, const Object& record) {
  putTagLine(out_, depth_, "<", 1, name, ">\n", 2);
  TextWriter inner(out_, depth_ + 1);
  inner.putObject(record);
  putTagLine(out_, depth_, "</", 2, name, ">\n", 2);
}

void TextWriter::putObject(const Object& record) {
  static const char kOpen[] = "<object type = '";
  putTagLine(out_, depth_, kOpen, sizeof kOpen - 1, record.typeName(), "'>\n", 3);
  TextWriter fields(out_, depth_ + 1);
  record.writeNamedFields(fields);
  static const char kClose[] = "</object>\n";
  uint8_t* at = out_.extend(tabsFor(depth_) + sizeof kClose - 1);
  if (at) put(putTabs(at, tabsFor(depth_)), kClose, sizeof kClose - 1);
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
  value.assign(s.data(), static_cast<int32_t>(s.size()));
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

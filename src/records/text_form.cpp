#include "records/text_form.h"

#include <expat.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "records/decode_budget.h"
#include "records/limits.h"
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

uint8_t* put(uint8_t* at, const char* bytes, size_t n) {
  if (n > 0) std::memcpy(at, bytes, n);  // an empty value may have no bytes at all
  return at + n;
}

uint8_t* putTabs(uint8_t* at, size_t depth) {
  std::memset(at, '\t', depth);
  return at + depth;
}

size_t tabsFor(int depth) { return depth > 0 ? static_cast<size_t>(depth) : 0; }

// A line "<tabs><open><name><close>".
void putTagLine(ByteBuffer& out, int depth, const char* open, size_t open_n, const char* name,
                const char* close, size_t close_n) {
  size_t tabs = tabsFor(depth), name_n = std::strlen(name);
  uint8_t* at = out.extend(tabs + open_n + name_n + close_n);
  if (!at) return;
  at = putTabs(at, tabs);
  at = put(at, open, open_n);
  at = put(at, name, name_n);
  put(at, close, close_n);
}

}  // namespace

void TextWriter::putInt(const char* name, int32_t value) {
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

void TextWriter::putChar(const char* name, char value) {
  // A NUL character is written as an empty element, which leaves the field as it is on reading.
  putString(name, value == '\0' ? std::string_view() : std::string_view(&value, 1));
}

void TextWriter::putString(const char* name, std::string_view value) {
  size_t tabs = tabsFor(depth_), name_n = std::strlen(name), extra = escapedExtra(value);
  uint8_t* at = out_.extend(tabs + 2 * name_n + 6 + value.size() + extra);
  if (!at) return;
  at = putTabs(at, tabs);
  *at++ = '<';
  at = put(at, name, name_n);
  *at++ = '>';
  at = extra == 0 ? put(at, value.data(), value.size()) : putEscaped(at, value);
  *at++ = '<';
  *at++ = '/';
  at = put(at, name, name_n);
  *at++ = '>';
  *at = '\n';
}

void TextWriter::putRecord(const char* name, const Object& record) {
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

// ---- Frames ----

const TextFrame* TextFrame::object(std::string_view name) const {
  auto it = objects.find(std::string(name));
  return it == objects.end() ? nullptr : it->second.get();
}

const std::string* TextFrame::scalar(std::string_view name) const {
  auto it = scalars.find(std::string(name));
  return it == scalars.end() ? nullptr : &it->second;
}

std::string repeatedName(const char* base, int index) {
  return index == 0 ? std::string(base) : std::string(base) + std::to_string(index);
}

namespace {

// The first free key among name, name1, name2 ... Keys are never removed, so the search for a
// name can go on from where it last stopped.
template <class Map>
std::string uniqueKey(const Map& map, std::unordered_map<std::string, int>& next,
                      const std::string& name) {
  if (map.find(name) == map.end()) return name;
  int& i = next[name];
  if (i == 0) i = 1;
  std::string key;
  for (;; ++i) {
    key = name + std::to_string(i);
    if (map.find(key) == map.end()) break;
  }
  ++i;
  return key;
}

}  // namespace

void TextFrame::addObject(const std::string& name, std::unique_ptr<TextFrame> frame) {
  objects.emplace(uniqueKey(objects, next_object_suffix_, name), std::move(frame));
}

void TextFrame::addScalar(const std::string& name, std::string value) {
  scalars.emplace(uniqueKey(scalars, next_scalar_suffix_, name), std::move(value));
}

// ---- Reading ----

bool TextFrame::charge(int64_t bytes) const { return budget == nullptr || budget->charge(bytes); }

namespace {

// What filing one element costs besides its name and text: a map entry with its allocation.
constexpr int64_t kFiledEntryCost = 64 + kDecodeAllocationCost;

struct ParseState {
  XML_Parser parser = nullptr;
  DecodeBudget* budget = nullptr;
  std::vector<std::unique_ptr<TextFrame>> stack;
  int skipped_depth = 0;  // "object" elements being ignored (too deep, or the budget spent)
  int element_depth = 0;  // open elements of any name
  bool refused = false;   // stopped: nested too deep, or a document type declaration

  bool spent() const { return budget->spent(); }
  void refuse() {
    refused = true;
    XML_StopParser(parser, XML_FALSE);
  }
};

// Expat hands out UTF-8; the input was declared ISO-8859-1, so every code point below 256 is
// turned back into the byte it came from. Higher code points (from character references) stay
// UTF-8.
void appendLatin1(std::string& out, const XML_Char* s, int len) {
  int plain = 0;  // ASCII runs are copied whole
  while (plain < len && static_cast<unsigned char>(s[plain]) < 0x80) ++plain;
  out.append(s, static_cast<size_t>(plain));
  for (int i = plain; i < len; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < len &&
        (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
      out.push_back(static_cast<char>(((c & 0x03) << 6) | (s[i + 1] & 0x3F)));
      ++i;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
}

std::string latin1(const XML_Char* s) {
  std::string out;
  appendLatin1(out, s, static_cast<int>(std::strlen(s)));
  return out;
}

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** /*attributes*/) {
  auto* state = static_cast<ParseState*>(data);
  if (++state->element_depth > kMaxTextElementDepth) {
    state->refuse();
    return;
  }
  bool is_object = std::strcmp(name, "object") == 0;
  if (state->skipped_depth > 0 || state->spent()) {
    if (is_object) ++state->skipped_depth;
    return;
  }
  if (is_object) {
    // The root frame is not an object; the limit counts object frames only.
    if (static_cast<int>(state->stack.size()) > kMaxNestingDepth ||
        !state->budget->charge(builtCost<TextFrame>() + kFiledEntryCost)) {
      state->skipped_depth = 1;
      return;
    }
    state->stack.push_back(std::make_unique<TextFrame>());
    state->stack.back()->budget = state->budget;
    return;
  }
  TextFrame& top = *state->stack.back();
  top.element = latin1(name);
  top.text.clear();
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
  auto* state = static_cast<ParseState*>(data);
  --state->element_depth;
  bool is_object = std::strcmp(name, "object") == 0;
  if (state->skipped_depth > 0) {
    if (is_object) --state->skipped_depth;
    return;
  }
  if (is_object) {
    // Frames opened before the budget ran out are still filed, so that what they hold is read.
    if (state->stack.size() < 2) return;
    std::unique_ptr<TextFrame> done = std::move(state->stack.back());
    state->stack.pop_back();
    TextFrame& top = *state->stack.back();
    top.addObject(top.element, std::move(done));
    return;
  }
  TextFrame& top = *state->stack.back();
  if (state->spent() ||
      !state->budget->charge(kFiledEntryCost + static_cast<int64_t>(top.element.size()))) {
    top.text.clear();
    return;
  }
  top.addScalar(top.element, std::move(top.text));
  top.text.clear();
  top.element = "undef_obj";
}

void XMLCALL onText(void* data, const XML_Char* s, int len) {
  auto* state = static_cast<ParseState*>(data);
  if (state->skipped_depth > 0 || state->spent()) return;
  TextFrame& top = *state->stack.back();
  if (len > 0) {
    if (!state->budget->charge(len)) return;
    appendLatin1(top.text, s, len);
  } else {
    top.text.clear();
  }
}

void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  static_cast<ParseState*>(data)->refuse();
}

}  // namespace

int parseTextFrames(const char* text, int32_t n, DecodeBudget& budget,
                    std::unique_ptr<TextFrame>& root) {
  if (text == nullptr || n < 0) n = 0;
  XML_Parser parser = XML_ParserCreate("ISO-8859-1");
  if (parser == nullptr) return kTextNoParser;
  ParseState state;
  state.parser = parser;
  state.budget = &budget;
  state.stack.push_back(std::make_unique<TextFrame>());
  state.stack.back()->budget = &budget;
  XML_SetUserData(parser, &state);
  XML_SetElementHandler(parser, onStart, onEnd);
  XML_SetCharacterDataHandler(parser, onText);
  XML_SetStartDoctypeDeclHandler(parser, onDoctype);
  XML_Status status = XML_Parse(parser, text ? text : "", n, XML_TRUE);
  XML_ParserFree(parser);
  if (status != XML_STATUS_OK || state.refused) return kTextMalformed;
  if (state.stack.empty()) return kTextNoParser;
  root = std::move(state.stack.front());
  return kTextDecoded;
}

// ---- Named readers ----

namespace text {

bool getInt(const TextFrame& frame, const char* name, int32_t& value) {
  const std::string* s = frame.scalar(name);
  if (s == nullptr) return false;
  value = TqString(*s).toInt();
  return true;
}

bool getChar(const TextFrame& frame, const char* name, char& value) {
  const std::string* s = frame.scalar(name);
  if (s == nullptr || s->empty()) return false;
  value = (*s)[0];
  return true;
}

bool getString(const TextFrame& frame, const char* name, TqString& value) {
  const std::string* s = frame.scalar(name);
  if (s == nullptr) return false;
  value = TqString(*s);
  return true;
}

bool getBool(const TextFrame& frame, const char* name, bool& value) {
  int32_t i = 0;
  if (!getInt(frame, name, i)) return false;
  value = i != 0;
  return true;
}

bool getRecord(const TextFrame& frame, const char* name, Object& record) {
  const TextFrame* child = frame.object(name);
  if (child == nullptr) return false;
  record.readNamedFields(*child);
  return true;
}

}  // namespace text
}  // namespace tq

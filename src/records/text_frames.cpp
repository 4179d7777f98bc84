#include "records/text_frames.h"

#include <expat.h>

#include <algorithm>
#include <cstring>

#include "records/decode_budget.h"
#include "records/limits.h"
#include "records/object.h"

namespace tq {

std::string repeatedName(std::string_view base, int index) {
  std::string name(base);
  if (index != 0) name += std::to_string(index);
  return name;
}

std::string TextKey::name() const { return repeatedName(base, index); }

// ---- Lookups ----

namespace {

// How far past the cursor a lookup looks before it uses the index: a record's scalar fields
// are separated by the scalars its record fields leave (their elements' white space).
constexpr uint32_t kLookAhead = 8;

uint64_t nameBit(uint32_t name) { return uint64_t{1} << (name % 64); }

uint64_t pairKey(uint32_t name, uint32_t occurrence) { return (uint64_t{name} << 32) | occurrence; }

// The full keys of one side of a frame in a document with ambiguous names, held as hashes: an
// element's key is its name and the number it was given (0: none), rebuilt to compare.
class KeyIndex {
 public:
  // Gives each element the first free key among name, name1, name2 ... Keys are never removed,
  // so the search for a name goes on from where it last stopped.
  void build(const std::deque<std::string>& names, const TextFrame::Entry* entries, uint32_t n) {
    names_ = &names;
    entries_ = entries;
    number_.assign(n, 0);
    std::unordered_map<uint32_t, uint32_t> next;  // by name: the number to try first
    std::string key;
    for (uint32_t i = 0; i < n; ++i) {
      const std::string& name = names[entries[i].name];
      uint32_t number = 0, at;
      if (find(name, at)) {
        uint32_t& k = next[entries[i].name];
        if (k == 0) k = 1;
        for (;; ++k) {
          key = name + std::to_string(k);
          if (!find(key, at)) break;
        }
        number = k++;
      }
      number_[i] = number;
      by_hash_.emplace(std::hash<std::string_view>()(number ? std::string_view(key) : name), i);
    }
  }

  bool find(std::string_view key, uint32_t& at) const {
    auto [first, last] = by_hash_.equal_range(std::hash<std::string_view>()(key));
    for (auto it = first; it != last; ++it) {
      if (is(key, it->second)) {
        at = it->second;
        return true;
      }
    }
    return false;
  }

 private:
  bool is(std::string_view key, uint32_t i) const {
    std::string_view name = (*names_)[entries_[i].name];
    if (number_[i] == 0) return key == name;
    return key.size() > name.size() && key.substr(0, name.size()) == name &&
           key.substr(name.size()) == std::to_string(number_[i]);
  }

  const std::deque<std::string>* names_ = nullptr;
  const TextFrame::Entry* entries_ = nullptr;
  std::vector<uint32_t> number_;
  std::unordered_multimap<size_t, uint32_t> by_hash_;
};

}  // namespace

// Built for a side on its first lookup out of order: (name, occurrence) to position, or, in a
// document with ambiguous names, the full key that numbering gives to position.
struct TextFrame::Index {
  bool built[2] = {false, false};
  std::unordered_map<uint64_t, uint32_t> by_name[2];
  KeyIndex by_key[2];
};

TextFrame::TextFrame() = default;
TextFrame::~TextFrame() = default;

bool TextFrame::charge(int64_t bytes) const {
  DecodeBudget* budget = document_ ? document_->budget_ : nullptr;
  return budget == nullptr || budget->charge(bytes);
}

const TextFrame* TextFrame::object(TextKey key) const {
  const Entry* e = find(objects_, true, key);
  return e ? &document_->frames_[e->a] : nullptr;
}

bool TextFrame::scalar(TextKey key, std::string_view& text) const {
  const Entry* e = find(scalars_, false, key);
  if (e == nullptr) return false;
  text = std::string_view(text_ + e->a, e->b);
  return true;
}

bool TextFrame::has(TextKey key) const {
  std::string_view ignored;
  return object(key) != nullptr || scalar(key, ignored);
}

const TextFrame::Entry* TextFrame::find(const Side& side, bool objects, TextKey key) const {
  if (side.count == 0 || key.index < 0) return nullptr;
  const TextDocument& doc = *document_;
  if (doc.ambiguous_names_) return findInIndex(side, objects, key, 0, 0);
  const Entry* entries = side.entries;
  // The element after the last one found, then that one again (a reader that asked whether a
  // field is there reads it next).
  auto is = [&](const Entry& e) {
    return e.occurrence == static_cast<uint32_t>(key.index) && doc.names_[e.name] == key.base;
  };
  if (side.next < side.count && is(entries[side.next])) return &entries[side.next++];
  if (side.next > 0 && is(entries[side.next - 1])) return &entries[side.next - 1];
  uint32_t name = 0, occurrence = 0;
  if (!doc.resolve(key, name, occurrence) || !(side.names & nameBit(name))) return nullptr;
  uint32_t end = std::min(side.count, side.next + kLookAhead);
  for (uint32_t i = side.next; i < end; ++i) {
    if (entries[i].name == name && entries[i].occurrence == occurrence) {
      side.next = i + 1;
      return &entries[i];
    }
  }
  // Elements of one name are filed in the order of their occurrences: when the last one found
  // is the occurrence before, this one can only be among the elements just looked at.
  if (end == side.count && side.next > 0 && occurrence > 0 && entries[side.next - 1].name == name &&
      entries[side.next - 1].occurrence == occurrence - 1)
    return nullptr;
  return findInIndex(side, objects, key, name, occurrence);
}

const TextFrame::Entry* TextFrame::findInIndex(const Side& side, bool objects, TextKey key,
                                               uint32_t name, uint32_t occurrence) const {
  const TextDocument& doc = *document_;
  const Entry* entries = side.entries;
  if (!index_) index_ = std::make_unique<Index>();
  int s = objects ? 1 : 0;
  if (!index_->built[s]) {
    index_->built[s] = true;
    if (doc.ambiguous_names_) {
      index_->by_key[s].build(doc.names_, entries, side.count);
    } else {
      for (uint32_t i = 0; i < side.count; ++i)
        index_->by_name[s].emplace(pairKey(entries[i].name, entries[i].occurrence), i);
    }
  }
  uint32_t at;
  if (doc.ambiguous_names_) {
    if (!index_->by_key[s].find(key.name(), at)) return nullptr;
  } else {
    auto it = index_->by_name[s].find(pairKey(name, occurrence));
    if (it == index_->by_name[s].end()) return nullptr;
    at = it->second;
  }
  side.next = at + 1;
  return &entries[at];
}

// ---- Names ----

TextDocument::TextDocument() { frames_.emplace_back(); }
TextDocument::~TextDocument() = default;

char* TextDocument::place(size_t n) {
  constexpr size_t kAlign = alignof(TextFrame::Entry);
  n = (n + kAlign - 1) / kAlign * kAlign;
  if (n > kStorageBlock / 4) {
    storage_.push_back(std::unique_ptr<char[]>(new char[n]));
    return storage_.back().get();
  }
  if (n > left_) {
    storage_.push_back(std::unique_ptr<char[]>(new char[kStorageBlock]));
    free_ = storage_.back().get();
    left_ = kStorageBlock;
  }
  char* at = free_;
  free_ += n;
  left_ -= n;
  return at;
}

uint32_t TextDocument::intern(std::string_view name) {
  auto it = name_ids_.find(name);
  if (it != name_ids_.end()) return it->second;
  auto id = static_cast<uint32_t>(names_.size());
  names_.emplace_back(name);
  name_ids_.emplace(names_.back(), id);
  return id;
}

bool TextDocument::lookupName(std::string_view name, uint32_t& id) const {
  auto it = name_ids_.find(name);
  if (it == name_ids_.end()) return false;
  id = it->second;
  return true;
}

namespace {

// The occurrence a decimal suffix numbers: digits without a leading zero, 1 or more.
bool suffixOccurrence(std::string_view digits, uint32_t& occurrence) {
  if (digits.empty() || digits.size() > 9 || digits[0] < '1' || digits[0] > '9') return false;
  uint32_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<uint32_t>(c - '0');
  }
  occurrence = value;
  return true;
}

}  // namespace

bool TextDocument::resolve(TextKey key, uint32_t& id, uint32_t& occurrence) const {
  if (key.index > 0 && lookupName(key.base, id)) {
    occurrence = static_cast<uint32_t>(key.index);
    return true;
  }
  std::string full = key.name();
  std::string_view name(full);
  if (lookupName(name, id)) {
    occurrence = 0;
    return true;
  }
  // A generated name: a written name and the number of its occurrence. Without ambiguous names
  // at most one prefix of the name is a written name.
  for (size_t cut = name.size(); cut > 0 && name[cut - 1] >= '0' && name[cut - 1] <= '9';) {
    --cut;
    if (suffixOccurrence(name.substr(cut), occurrence) && lookupName(name.substr(0, cut), id))
      return true;
  }
  return false;
}

void TextDocument::settleNames() {
  for (const std::string& name : names_) {
    std::string_view n(name);
    uint32_t occurrence, id;
    for (size_t cut = n.size(); cut > 0 && n[cut - 1] >= '0' && n[cut - 1] <= '9';) {
      --cut;
      if (suffixOccurrence(n.substr(cut), occurrence) && lookupName(n.substr(0, cut), id)) {
        // Lookups now go by full keys alone: the map of names is given back.
        ambiguous_names_ = true;
        std::unordered_map<std::string_view, uint32_t>().swap(name_ids_);
        return;
      }
    }
  }
}

// ---- Parsing ----

namespace {

// What filing one element costs besides its name and text: an entry with its share of the
// document's storage.
constexpr int64_t kFiledEntryCost = 64 + kDecodeAllocationCost;

// How many elements of one name a frame has filed (one per name and side for the document):
// the frame that files one takes the name over and gives the count back when it closes, so an
// open ancestor goes on counting where it was.
struct NameCount {
  uint32_t frame = UINT32_MAX;
  uint32_t count = 0;
};

struct TakenName {
  int side;
  uint32_t name;
  NameCount was;
};

// The frame of an "object" element being parsed; kept for reuse by the next one at its depth.
struct OpenFrame {
  uint32_t frame = 0;
  std::vector<TextFrame::Entry> scalars;
  std::vector<TextFrame::Entry> objects;
  std::vector<TakenName> taken;  // counts taken over from other frames, to give back
  std::string text;
  size_t text_start = 0;  // where the current element's text began
  uint32_t element = 0;   // the name the next element is filed under

  void reset(uint32_t index, uint32_t undefined) {
    frame = index;
    scalars.clear();
    objects.clear();
    taken.clear();
    text.clear();
    text_start = 0;
    element = undefined;
  }
};

// The length of the ASCII run at the start of s, eight bytes at a time.
size_t asciiRun(const char* s, size_t len) {
  size_t i = 0;
  for (uint64_t word; i + 8 <= len; i += 8) {
    std::memcpy(&word, s + i, 8);
    if (word & 0x8080808080808080u) break;
  }
  while (i < len && static_cast<unsigned char>(s[i]) < 0x80) ++i;
  return i;
}

// Expat hands out UTF-8; the input was declared ISO-8859-1, so every code point below 256 is
// turned back into the byte it came from. Higher code points (from character references) stay
// UTF-8.
void appendLatin1(std::string& out, const XML_Char* s, int len) {
  size_t n = static_cast<size_t>(len), plain = asciiRun(s, n);  // ASCII runs are copied whole
  out.append(s, plain);
  for (size_t i = plain; i < n; ++i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    if ((c == 0xC2 || c == 0xC3) && i + 1 < n &&
        (static_cast<unsigned char>(s[i + 1]) & 0xC0) == 0x80) {
      out.push_back(static_cast<char>(((c & 0x03) << 6) | (s[i + 1] & 0x3F)));
      ++i;
    } else {
      out.push_back(static_cast<char>(c));
    }
  }
}

bool isObject(const XML_Char* name) { return name[0] == 'o' && std::strcmp(name, "object") == 0; }

}  // namespace

struct TextParse {
  XML_Parser parser = nullptr;
  TextDocument* doc = nullptr;
  DecodeBudget* budget = nullptr;
  std::vector<OpenFrame> open;    // open[0] is the root; entries past depth are kept for reuse
  size_t depth = 0;               // open object frames, the root included
  int skipped_depth = 0;          // "object" elements being ignored (too deep, or the budget spent)
  int element_depth = 0;          // open elements of any name
  bool refused = false;           // stopped: nested too deep, or a document type declaration
  uint32_t undefined = 0;         // "undef_obj"
  uint32_t unnamed = 0;           // "": what an object first in its frame is filed under
  uint32_t last_name = 0;         // the name of the last element started
  std::vector<uint32_t> follows;  // for each name, the name that came after it last
  std::string converted;

  void refuse() {
    refused = true;
    XML_StopParser(parser, XML_FALSE);
  }

  // Element names repeat in the same order (a record's fields), so the name that followed the
  // last one is tried before the map.
  uint32_t nameOf(const XML_Char* raw) {
    size_t n = std::strlen(raw);
    std::string_view name(raw, n);
    if (asciiRun(raw, n) != n) {
      converted.clear();
      appendLatin1(converted, raw, static_cast<int>(n));
      name = converted;
    }
    uint32_t guess = last_name < follows.size() ? follows[last_name] : UINT32_MAX;
    uint32_t id;
    if (guess < doc->names_.size() && doc->names_[guess] == name) {
      id = guess;
    } else {
      id = doc->intern(name);
      if (follows.size() < doc->names_.size()) follows.resize(doc->names_.size(), UINT32_MAX);
      follows[last_name] = id;
    }
    last_name = id;
    return id;
  }

  int64_t nameLength(uint32_t name) const { return static_cast<int64_t>(doc->names_[name].size()); }

  void push() {
    uint32_t index = static_cast<uint32_t>(doc->frames_.size());
    doc->frames_.emplace_back();
    if (depth == open.size()) open.emplace_back();
    open[depth++].reset(index, unnamed);
  }

  std::vector<NameCount> counts[2];  // by name: scalars, objects

  // How many elements of the name the frame has filed before this one.
  uint32_t occurrence(OpenFrame& f, int side, uint32_t name) {
    std::vector<NameCount>& by_name = counts[side];
    if (by_name.size() <= name) by_name.resize(doc->names_.size());
    NameCount& c = by_name[name];
    if (c.frame != f.frame) {
      f.taken.push_back({side, name, c});
      c = {f.frame, 0};
    }
    return c.count++;
  }

  // Moves a finished frame's elements into the document.
  void close(OpenFrame& f) {
    for (auto it = f.taken.rbegin(); it != f.taken.rend(); ++it)
      counts[it->side][it->name] = it->was;
    TextFrame& frame = doc->frames_[f.frame];
    frame.document_ = doc;
    if (!f.text.empty()) {
      char* text = doc->place(f.text.size());
      std::memcpy(text, f.text.data(), f.text.size());
      frame.text_ = text;
    }
    auto file = [&](TextFrame::Side& side, const std::vector<TextFrame::Entry>& entries) {
      if (entries.empty()) return;
      auto* filed = reinterpret_cast<TextFrame::Entry*>(
          doc->place(entries.size() * sizeof(TextFrame::Entry)));
      std::memcpy(filed, entries.data(), entries.size() * sizeof(TextFrame::Entry));
      side.entries = filed;
      side.count = static_cast<uint32_t>(entries.size());
      for (const TextFrame::Entry& e : entries) side.names |= nameBit(e.name);
    };
    file(frame.scalars_, f.scalars);
    file(frame.objects_, f.objects);
  }
};

namespace {

void XMLCALL onStart(void* data, const XML_Char* name, const XML_Char** /*attributes*/) {
  auto* p = static_cast<TextParse*>(data);
  if (++p->element_depth > kMaxTextElementDepth) {
    p->refuse();
    return;
  }
  bool is_object = isObject(name);
  if (p->skipped_depth > 0 || p->budget->spent()) {
    if (is_object) ++p->skipped_depth;
    return;
  }
  if (is_object) {
    // The root frame is not an object; the limit counts object frames only.
    if (p->depth > static_cast<size_t>(kMaxNestingDepth) ||
        !p->budget->charge(builtCost<TextFrame>() + kFiledEntryCost)) {
      p->skipped_depth = 1;
      return;
    }
    p->push();
    return;
  }
  OpenFrame& top = p->open[p->depth - 1];
  top.element = p->nameOf(name);
  top.text.resize(top.text_start);
}

void XMLCALL onEnd(void* data, const XML_Char* name) {
  auto* p = static_cast<TextParse*>(data);
  --p->element_depth;
  bool is_object = isObject(name);
  if (p->skipped_depth > 0) {
    if (is_object) --p->skipped_depth;
    return;
  }
  if (is_object) {
    // Frames opened before the budget ran out are still filed, so that what they hold is read.
    if (p->depth < 2) return;
    OpenFrame& done = p->open[--p->depth];
    p->close(done);
    OpenFrame& top = p->open[p->depth - 1];
    top.objects.push_back({top.element, p->occurrence(top, 1, top.element), done.frame, 0});
    return;
  }
  OpenFrame& top = p->open[p->depth - 1];
  if (p->budget->spent() || !p->budget->charge(kFiledEntryCost + p->nameLength(top.element))) {
    top.text.resize(top.text_start);
    return;
  }
  auto begin = static_cast<uint32_t>(top.text_start);
  auto length = static_cast<uint32_t>(top.text.size() - top.text_start);
  top.scalars.push_back({top.element, p->occurrence(top, 0, top.element), begin, length});
  top.text_start = top.text.size();
  top.element = p->undefined;
}

void XMLCALL onText(void* data, const XML_Char* s, int len) {
  auto* p = static_cast<TextParse*>(data);
  if (p->skipped_depth > 0 || p->budget->spent()) return;
  OpenFrame& top = p->open[p->depth - 1];
  if (len > 0) {
    if (!p->budget->charge(len)) return;
    appendLatin1(top.text, s, len);
  } else {
    top.text.resize(top.text_start);
  }
}

void XMLCALL onDoctype(void* data, const XML_Char*, const XML_Char*, const XML_Char*, int) {
  static_cast<TextParse*>(data)->refuse();
}

}  // namespace

int parseTextFrames(const char* text, int32_t n, DecodeBudget& budget, TextDocument& document) {
  if (text == nullptr || n < 0) n = 0;
  XML_Parser parser = XML_ParserCreate("ISO-8859-1");
  if (parser == nullptr) return kTextNoParser;
  TextParse p;
  p.parser = parser;
  p.doc = &document;
  p.budget = &budget;
  document.budget_ = &budget;
  p.undefined = document.intern("undef_obj");
  p.unnamed = document.intern("");
  p.open.emplace_back();
  p.open[0].reset(0, p.unnamed);
  p.depth = 1;
  XML_SetUserData(parser, &p);
  XML_SetElementHandler(parser, onStart, onEnd);
  XML_SetCharacterDataHandler(parser, onText);
  XML_SetStartDoctypeDeclHandler(parser, onDoctype);
  // A text of up to kWhole bytes is fed at once, which Expat reads in place. A longer one goes
  // in pieces, which Expat gets through faster than one long run (a quarter less time at
  // 100 MB): each piece an eighth of what came before (at least kFirstPiece), which keeps the
  // rescans of a token cut by a piece's end to a few times the input at worst.
  constexpr int32_t kWhole = 4 * 1024 * 1024, kFirstPiece = 256 * 1024;
  if (text == nullptr) text = "";
  XML_Status status = XML_STATUS_OK;
  int32_t fed = 0;
  do {
    int32_t piece = n <= kWhole ? n : std::min(n - fed, std::max(kFirstPiece, fed / 8));
    bool last = fed + piece == n;
    status = XML_Parse(parser, text + fed, piece, last ? XML_TRUE : XML_FALSE);
    fed += piece;
  } while (status == XML_STATUS_OK && fed < n && !p.refused);
  XML_ParserFree(parser);
  if (status != XML_STATUS_OK || p.refused) return kTextMalformed;
  p.close(p.open[0]);
  document.settleNames();
  return kTextDecoded;
}

}  // namespace tq

// What the text reader parses markup into: a document of frames, one per "object" element.
//
// Each frame files its scalar elements and its object elements under their element names, made
// unique by appending 1, 2, 3 ... ("item", "item1", "item2"); scalars and objects are filed
// apart, each with its own names. An object that follows a closed scalar element at the same
// level is filed under "undef_obj", which is how the top-level record is found.
//
// A frame keeps its elements in document order and remembers where its last lookup ended:
// readers ask in the order the writer wrote, so most lookups compare one name. A lookup out of
// that order builds the frame's index once. Names are held once per document; a document in
// which some element name is another one followed by digits ("item" and "item1") cannot tell
// a generated name from a written one, and its frames are looked up by the full names instead.
// Either way a lookup finds exactly what the numbering above files.
//
// Lookups change a frame's cursor: a document is read by one thread at a time.
#pragma once

#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tq {

class DecodeBudget;
class TextDocument;

// A name a reader asks for: base itself (index 0) or base followed by index in decimal.
struct TextKey {
  TextKey(const char* name) : base(name) {}  // NOLINT(runtime/explicit): field names
  TextKey(std::string_view name, int i) : base(name), index(i) {}
  std::string name() const;  // the full name
  std::string_view base;
  int index = 0;
};

class TextFrame {
 public:
  TextFrame();
  ~TextFrame();

  const TextFrame* object(TextKey key) const;
  // The text of a scalar element (empty for an empty one); false when there is none.
  bool scalar(TextKey key, std::string_view& text) const;
  bool has(TextKey key) const;
  // Charges what a reader builds from this frame to the decode's budget. False when the budget
  // is spent: the reader then builds nothing more.
  bool charge(int64_t bytes) const;

  // One filed element: its interned name, how many elements of that name came before it in
  // the frame, and its text (begin and length in the document's text) or its frame (index).
  struct Entry {
    uint32_t name;
    uint32_t occurrence;
    uint32_t a;
    uint32_t b;
  };

 private:
  friend class TextDocument;
  friend struct TextParse;

  // The elements of one sort (scalars or objects) in document order.
  struct Side {
    const Entry* entries = nullptr;  // in the document's storage
    uint32_t count = 0;
    uint64_t names = 0;  // bit (name % 64) set for every name filed: most absent names miss it
    mutable uint32_t next = 0;  // where the last lookup ended
  };
  struct Index;

  const Entry* find(const Side& side, bool objects, TextKey key) const;
  const Entry* findInIndex(const Side& side, bool objects, TextKey key, uint32_t name,
                           uint32_t occurrence) const;

  const TextDocument* document_ = nullptr;
  const char* text_ = nullptr;  // the frame's scalar texts, in the document's storage
  Side scalars_;
  Side objects_;
  mutable std::unique_ptr<Index> index_;  // built by the first lookup out of order
};

class TextDocument {
 public:
  TextDocument();
  ~TextDocument();
  TextDocument(const TextDocument&) = delete;
  TextDocument& operator=(const TextDocument&) = delete;

  // The frame outside every "object" element (empty before a successful parse).
  const TextFrame& root() const { return frames_.front(); }

 private:
  friend class TextFrame;
  friend struct TextParse;
  friend int parseTextFrames(const char*, int32_t, DecodeBudget&, TextDocument&);

  uint32_t intern(std::string_view name);
  bool lookupName(std::string_view name, uint32_t& id) const;
  // The element a key names in a document without ambiguous names: an interned name and an
  // occurrence.
  bool resolve(TextKey key, uint32_t& id, uint32_t& occurrence) const;
  // Whether a generated name can equal a written one (see above); set after parsing.
  void settleNames();

  // Room for n bytes aligned for an entry, which stays where it is for the document's life.
  char* place(size_t n);

  std::deque<TextFrame> frames_;  // grows without moving the frames it holds
  // The frames' entries and texts, each frame's side by side in blocks of kStorageBlock bytes
  // (a larger frame gets a block of its own), so that nothing is moved as the document grows.
  static constexpr size_t kStorageBlock = 64 * 1024;
  std::vector<std::unique_ptr<char[]>> storage_;
  char* free_ = nullptr;
  size_t left_ = 0;
  std::deque<std::string> names_;  // by id; a deque keeps each string where it is
  std::unordered_map<std::string_view, uint32_t> name_ids_;  // views of names_; emptied once
                                                             // ambiguous names make it unused
  bool ambiguous_names_ = false;
  DecodeBudget* budget_ = nullptr;
};

// Parses markup into a document, charging what it files to the budget, which must outlive the
// document. Returns kTextDecoded, kTextMalformed or kTextNoParser.
int parseTextFrames(const char* text, int32_t n, DecodeBudget& budget, TextDocument& document);

// Name used for repeated elements: "item", "item1", "item2" ...
std::string repeatedName(std::string_view base, int index);

}  // namespace tq

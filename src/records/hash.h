// Hashes: records that map string keys to owned values of one type, in an open-addressing table.
//
// The key hash is the sum of the key's bytes (as signed 8-bit values) times 7^i, wrapping in
// 32 bits; the first probe is that value modulo the table size (taken as unsigned) and after the
// k-th miss the next probe is h + 2^(k+1), at most size/2 probes in all (and never more than
// kMaxProbes). When every probe is taken the table grows to size * 4 + 1 + (random mod 100)
// slots and everything is reinserted. A new table has 17 slots. Inserting an existing key
// replaces its value.
//
// The key hash is easy to collide on purpose, and keys that share one hash share one probe
// sequence: such keys would make the table grow without end, and make every insertion walk the
// whole sequence. So probes stop at kMaxProbes, and a table that is less than an eighth full
// places a key whose probes are all taken in the next free slot instead; such misplaced keys are
// found again through an index of their own. Honest keys are placed as before.
//
// Binary layout: field 1 the number of entries, then per entry field 10 (the key, a string)
// directly followed by field 30 (the value), in slot order. Every entry is charged to the
// decode's budget before it is built; once the budget is spent the hash ends there. Text layout:
// the pairs "key" and "element" ("key1"/"element1", ...).
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "records/decode_budget.h"
#include "records/field.h"

namespace tq {

// Slot bookkeeping shared by every hash; values live in the typed table below.
class HashSlots {
 public:
  static constexpr int32_t kInitialSize = 17;
  static constexpr int32_t kMaxProbes = 64;

  static int32_t keyHash(const TqString& key);
  // Pseudo-random spread of grown sizes; replaceable for tests through the random source.
  static int32_t growthSize(int32_t size);
};

template <class E>
class HashTable {
 public:
  // The slots are allocated by the first insertion: most hashes of a record stay empty.
  HashTable() = default;
  HashTable(const HashTable& other) { copyFrom(other); }
  HashTable& operator=(const HashTable& other) {
    if (this != &other) copyFrom(other);
    return *this;
  }
  // A table moved from is left empty and usable.
  HashTable(HashTable&& other) : HashTable() { swap(other); }
  HashTable& operator=(HashTable&& other) {
    if (this != &other) {
      clear();
      swap(other);
    }
    return *this;
  }

  // Takes ownership of the value; replaces the value of an existing key.
  void insert(const TqString& key, std::unique_ptr<E> value) {
    if (!value || size_ == 0) return;
    while (!place(key, value)) grow();
  }
  void insert(const TqString& key, E value) { insert(key, std::make_unique<E>(std::move(value))); }

  E* find(const TqString& key) {
    int32_t slot = locate(key);
    return slot < 0 ? nullptr : values_[static_cast<size_t>(slot)].get();
  }
  const E* find(const TqString& key) const { return const_cast<HashTable*>(this)->find(key); }
  bool contains(const TqString& key) const { return find(key) != nullptr; }

  // Frees the key's slot (marked removed, so later probes go on past it).
  bool remove(const TqString& key) {
    int32_t slot = locate(key);
    if (slot < 0) return false;
    state_[static_cast<size_t>(slot)] = kRemoved;
    if (!misplaced_.empty()) misplaced_.erase(keys_[static_cast<size_t>(slot)]->str());
    keys_[static_cast<size_t>(slot)].reset();
    values_[static_cast<size_t>(slot)].reset();
    --count_;
    return true;
  }

  void clear() {
    std::vector<std::unique_ptr<TqString>>().swap(keys_);
    std::vector<std::unique_ptr<E>>().swap(values_);
    std::vector<SlotState>().swap(state_);
    misplaced_.clear();
    size_ = HashSlots::kInitialSize;
    count_ = 0;
    free_cursor_ = 0;
  }

  int32_t count() const { return count_; }
  int32_t size() const { return size_; }

  // Visits the entries in slot order.
  template <class F>
  void forEach(F&& f) const {
    for (int32_t i = 0; i < allocatedSlots(); ++i)
      if (state_[static_cast<size_t>(i)] == kUsed)
        f(*keys_[static_cast<size_t>(i)], *values_[static_cast<size_t>(i)]);
  }

 private:
  enum SlotState : uint8_t { kEmpty, kUsed, kRemoved };

  int32_t allocatedSlots() const { return static_cast<int32_t>(state_.size()); }

  void resize(int32_t size) {
    size_ = size;
    keys_.clear();
    values_.clear();
    state_.assign(static_cast<size_t>(size), kEmpty);
    keys_.resize(static_cast<size_t>(size));
    values_.resize(static_cast<size_t>(size));
    misplaced_.clear();
    free_cursor_ = 0;
  }

  // Index of the k-th probe (k from 0): h, h + 4, h + 8, h + 16 ... modulo the size.
  template <class F>
  int32_t probe(const TqString& key, F&& visit) const {
    uint32_t usize = static_cast<uint32_t>(size_);
    uint32_t h = static_cast<uint32_t>(HashSlots::keyHash(key)) % usize;
    uint64_t step = 4 % usize;  // 2^(k+1) modulo the size
    int32_t probes = size_ / 2 > 0 ? size_ / 2 : 1;
    if (probes > HashSlots::kMaxProbes) probes = HashSlots::kMaxProbes;
    uint32_t index = h;
    for (int32_t k = 0; k < probes; ++k) {
      int r = visit(static_cast<int32_t>(index));
      if (r >= 0) return r;
      if (r == -2) return -1;
      index = static_cast<uint32_t>((uint64_t{h} + step) % usize);
      step = (step * 2) % usize;
    }
    return -1;
  }

  // Slot of key, or -1.
  int32_t locate(const TqString& key) const {
    if (state_.empty()) return -1;
    bool ended = false;
    int32_t slot = probe(key, [&](int32_t i) -> int {
      SlotState s = state_[static_cast<size_t>(i)];
      if (s == kEmpty) {
        ended = true;
        return -2;
      }
      return s == kUsed && keys_[static_cast<size_t>(i)]->equals(key) ? i : -1;
    });
    if (slot >= 0 || ended || misplaced_.empty()) return slot;
    auto it = misplaced_.find(key.str());
    return it == misplaced_.end() ? -1 : it->second;
  }

  // The next slot not in use, from where the last search stopped (slots fill in order, so the
  // search costs little over many insertions). -1 when every slot is in use.
  int32_t nextFreeSlot() {
    for (int32_t n = 0; n < size_; ++n) {
      int32_t i = (free_cursor_ + n) % size_;
      if (state_[static_cast<size_t>(i)] != kUsed) {
        free_cursor_ = (i + 1) % size_;
        return i;
      }
    }
    return -1;
  }

  bool place(const TqString& key, std::unique_ptr<E>& value) {
    if (state_.empty()) resize(size_);
    int32_t existing = locate(key);
    if (existing >= 0) {
      keys_[static_cast<size_t>(existing)] = std::make_unique<TqString>(key);
      values_[static_cast<size_t>(existing)] = std::move(value);
      return true;
    }
    int32_t free = probe(
        key, [&](int32_t i) -> int { return state_[static_cast<size_t>(i)] == kUsed ? -1 : i; });
    if (free < 0 && int64_t{count_} * 8 < size_) {
      free = nextFreeSlot();
      if (free >= 0) misplaced_.emplace(key.str(), free);
    }
    if (free < 0) return false;
    state_[static_cast<size_t>(free)] = kUsed;
    keys_[static_cast<size_t>(free)] = std::make_unique<TqString>(key);
    values_[static_cast<size_t>(free)] = std::move(value);
    ++count_;
    return true;
  }

  void swap(HashTable& other) {
    keys_.swap(other.keys_);
    values_.swap(other.values_);
    state_.swap(other.state_);
    misplaced_.swap(other.misplaced_);
    std::swap(size_, other.size_);
    std::swap(count_, other.count_);
    std::swap(free_cursor_, other.free_cursor_);
  }

  using Entries = std::vector<std::pair<std::unique_ptr<TqString>, std::unique_ptr<E>>>;

  // Moves every entry out of the table.
  void takeAll(Entries& out) {
    for (int32_t i = 0; i < allocatedSlots(); ++i) {
      if (state_[static_cast<size_t>(i)] != kUsed) continue;
      out.emplace_back(std::move(keys_[static_cast<size_t>(i)]),
                       std::move(values_[static_cast<size_t>(i)]));
    }
  }

  // Reinserts everything into a larger table; a table size where some entry finds no slot is
  // given up for the next larger one.
  void grow() {
    Entries entries;
    takeAll(entries);
    int32_t new_size = HashSlots::growthSize(size_);
    for (;;) {
      resize(new_size);
      count_ = 0;
      size_t placed = 0;
      while (placed < entries.size() && place(*entries[placed].first, entries[placed].second))
        ++placed;
      if (placed == entries.size()) return;
      Entries back;
      takeAll(back);
      for (size_t i = placed; i < entries.size(); ++i) back.push_back(std::move(entries[i]));
      entries = std::move(back);
      new_size = HashSlots::growthSize(new_size);
    }
  }

  void copyFrom(const HashTable& other) {
    if (other.state_.empty()) {
      clear();
      return;
    }
    resize(other.size_);
    count_ = other.count_;
    misplaced_ = other.misplaced_;
    free_cursor_ = other.free_cursor_;
    state_ = other.state_;
    for (int32_t i = 0; i < size_; ++i) {
      if (other.state_[static_cast<size_t>(i)] != kUsed) continue;
      keys_[static_cast<size_t>(i)] =
          std::make_unique<TqString>(*other.keys_[static_cast<size_t>(i)]);
      values_[static_cast<size_t>(i)] = std::make_unique<E>(*other.values_[static_cast<size_t>(i)]);
    }
  }

  std::vector<std::unique_ptr<TqString>> keys_;
  std::vector<std::unique_ptr<E>> values_;
  std::vector<SlotState> state_;
  int32_t size_ = HashSlots::kInitialSize;
  int32_t count_ = 0;
  // Keys placed outside their probe sequence, and where they are.
  std::unordered_map<std::string, int32_t> misplaced_;
  int32_t free_cursor_ = 0;
};

inline constexpr char kKeyName[] = "key";
inline constexpr char kElementName[] = "element";

template <class E, int32_t Id, const char* Name>
class Hash : public Object, public HashTable<E> {
  using Keys = ElementCodec<TqString, 10, kKeyName>;
  using Elements = ElementCodec<E, 30, kElementName>;

 public:
  static constexpr int32_t kClassId = Id;
  static constexpr const char* kTypeName = Name;
  using Element = E;

  int32_t classId() const override { return Id; }
  const char* typeName() const override { return Name; }

  void writeFields(Encoder& out) const override {
    int32_t n = this->count();
    out.putInt(1, n);
    this->forEach([&](const TqString& key, const E& value) {
      Keys::put(out, key);
      Elements::put(out, value);
    });
  }

  void readField(Decoder& in) override {
    int32_t n = 0;
    if (!in.getInt(1, n) || n <= 0) return;
    while (in.next()) {
      // A key, a value and their slot, charged before either is built.
      if (!in.charge(builtCost<E>() + builtCost<TqString>() + kDecodeHashEntryCost)) {
        in.stop();
        return;
      }
      TqString key;
      bool have_key = FieldCodec<TqString>::get(in, 10, key);
      if (!in.consumed()) in.skip();
      if (!in.next()) break;
      auto value = std::make_unique<E>();
      FieldCodec<E>::get(in, 30, *value);
      if (have_key) this->insert(key, std::move(value));
      if (!in.consumed()) in.skip();
    }
  }

  void writeNamedFields(TextWriter& out) const override {
    this->forEach([&](const TqString& key, const E& value) {
      Keys::putText(out, key);
      Elements::putText(out, value);
    });
  }

  void readNamedFields(const TextFrame& frame) override {
    for (int i = 0;; ++i) {
      TextKey key_name("key", i);
      if (!frame.has(key_name)) break;
      if (!frame.charge(builtCost<E>() + builtCost<TqString>() + kDecodeHashEntryCost)) break;
      TqString key;
      FieldCodec<TqString>::getText(frame, key_name, key);
      auto value = std::make_unique<E>();
      FieldCodec<E>::getText(frame, TextKey("element", i), *value);
      this->insert(key, std::move(value));
    }
  }
};

}  // namespace tq

// The elements of a list: their addresses in order, and the memory that holds them.
//
// Elements the list builds itself (decoded, copied, appended by value) live side by side in
// blocks, each new block as large as the list so far (up to kBlockBytes) and no larger than the
// elements still expected, so that a list of n elements costs about log n allocations instead of
// n, and an honest decode leaves no unused room. An element handed over as a std::unique_ptr
// keeps its own allocation: it may be of a derived class, and its address is the caller's.
// Elements never move while they are in the list.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace tq {

template <class E>
class ElementStore {
 public:
  static constexpr size_t kBlockBytes = 64 * 1024;

  // One element: its address, with the lowest bit set when it has an allocation of its own.
  class Slot {
   public:
    E& operator*() const { return *get(); }
    E* get() const { return reinterpret_cast<E*>(bits_ & ~uintptr_t{1}); }
    bool alone() const { return (bits_ & 1) != 0; }

   private:
    friend class ElementStore;
    Slot(E* e, bool alone) : bits_(reinterpret_cast<uintptr_t>(e) | (alone ? 1 : 0)) {}
    uintptr_t bits_;
  };

  ElementStore() = default;
  ElementStore(const ElementStore&) = delete;
  ElementStore& operator=(const ElementStore&) = delete;
  ElementStore(ElementStore&& other) noexcept
      : slots_(std::move(other.slots_)), blocks_(std::exchange(other.blocks_, nullptr)) {
    other.slots_.clear();
  }
  ElementStore& operator=(ElementStore&& other) noexcept {
    if (this != &other) {
      clear();
      slots_.swap(other.slots_);
      std::swap(blocks_, other.blocks_);
    }
    return *this;
  }
  ~ElementStore() { clear(); }

  const std::vector<Slot>& slots() const { return slots_; }
  size_t size() const { return slots_.size(); }
  E* at(size_t i) const { return slots_[i].get(); }
  void reserve(size_t n) { slots_.reserve(n); }

  // Takes over an element in its own allocation.
  void adopt(std::unique_ptr<E> element) {
    slots_.push_back(Slot(element.get(), true));
    element.release();
  }

  // Builds an element at the end from `args`; at most `expected` elements (counting this one)
  // are still to come, which bounds the room a new block takes.
  template <class... A>
  E& emplace(size_t expected, A&&... args) {
    Block* b = room(expected);
    E* e = new (slotIn(b, b->used)) E(std::forward<A>(args)...);
    ++b->used;
    ++b->live;
    slots_.push_back(Slot(e, false));
    return *e;
  }

  // Destroys the element just built by emplace().
  void dropLast() {
    E* e = slots_.back().get();
    slots_.pop_back();
    e->~E();
    --blocks_->used;
    --blocks_->live;
  }

  // Gives up element i (an element of a block is moved into an allocation of its own); the
  // store closes the gap. A block whose elements have all been taken is freed, so that a list
  // used as a queue holds no more than its elements.
  std::unique_ptr<E> take(size_t i) {
    Slot slot = slots_[i];
    std::unique_ptr<E> out;
    if (slot.alone()) {
      out.reset(slot.get());
    } else {
      out = std::make_unique<E>(std::move(*slot.get()));
      slot.get()->~E();
      release(slot.get());
    }
    slots_.erase(slots_.begin() + static_cast<std::ptrdiff_t>(i));
    return out;
  }

  void clear() {
    for (const Slot& slot : slots_) {
      if (slot.alone()) {
        delete slot.get();
      } else {
        slot.get()->~E();
      }
    }
    slots_.clear();
    while (blocks_ != nullptr) {
      Block* next = blocks_->next;
      ::operator delete(blocks_);
      blocks_ = next;
    }
  }

 private:
  struct Block {
    Block* next;
    size_t capacity;
    size_t used;  // rooms handed out, from the first
    size_t live;  // elements still in the block
  };
  static constexpr size_t kHeader = (sizeof(Block) + alignof(E) - 1) / alignof(E) * alignof(E);
  static constexpr size_t kMostPerBlock = std::max<size_t>(kBlockBytes / sizeof(E), 1);

  static void* slotIn(Block* b, size_t k) {
    return reinterpret_cast<char*>(b) + kHeader + k * sizeof(E);
  }

  // Counts out the element at `e` from its block, and frees the block when it holds no more
  // (the newest block is kept and starts again from its first room).
  void release(const E* e) {
    auto at = reinterpret_cast<uintptr_t>(e);
    for (Block** link = &blocks_; *link != nullptr; link = &(*link)->next) {
      Block* b = *link;
      auto first = reinterpret_cast<uintptr_t>(slotIn(b, 0));
      if (at < first || at - first >= b->capacity * sizeof(E)) continue;
      if (--b->live > 0) return;
      if (b == blocks_) {
        b->used = 0;
      } else {
        *link = b->next;
        ::operator delete(b);
      }
      return;
    }
  }

  // The newest block when it has room, else a new one.
  Block* room(size_t expected) {
    static_assert(alignof(E) >= 2, "the lowest address bit marks an element of its own");
    static_assert(alignof(E) <= __STDCPP_DEFAULT_NEW_ALIGNMENT__, "blocks are plainly aligned");
    if (blocks_ != nullptr && blocks_->used < blocks_->capacity) return blocks_;
    size_t n = std::min(
        {std::max<size_t>(slots_.size(), 2), std::max<size_t>(expected, 1), kMostPerBlock});
    auto* b = static_cast<Block*>(::operator new(kHeader + n * sizeof(E)));
    b->next = blocks_;
    b->capacity = n;
    b->used = 0;
    b->live = 0;
    blocks_ = b;
    return b;
  }

  std::vector<Slot> slots_;
  Block* blocks_ = nullptr;  // the newest first
};

}  // namespace tq

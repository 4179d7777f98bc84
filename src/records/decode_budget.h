// The budget of what one decode may build (see kDecodeBudgetFloor in records/limits.h).
//
// A decode makes one budget from its input's length and hands it down to every reader it
// calls; each reader charges what it is about to build and builds nothing once a charge fails.
// A spent budget stays spent.
#pragma once

#include <cstdint>

#include "records/limits.h"

namespace tq {

class DecodeBudget {
 public:
  // The budget for an input of n bytes.
  explicit DecodeBudget(int64_t n) : DecodeBudget(n, kDecodeBudgetFloor) {}
  // The same with another floor (0: the factor alone, which is what an input of any size gets
  // once it is large enough).
  DecodeBudget(int64_t n, int64_t floor)
      : left_(n * kDecodeBudgetPerInputByte > floor ? n * kDecodeBudgetPerInputByte : floor),
        initial_(left_) {}

  // False, and spent from now on, when fewer than `bytes` are left.
  bool charge(int64_t bytes) {
    if (spent_ || bytes > left_) {
      spent_ = true;
      left_ = 0;
      return false;
    }
    left_ -= bytes;
    return true;
  }
  bool spent() const { return spent_; }
  int64_t left() const { return left_; }
  int64_t used() const { return initial_ - left_; }

 private:
  int64_t left_;
  int64_t initial_;
  bool spent_ = false;
};

// What building one element of type E costs: the object and its allocation.
template <class E>
constexpr int64_t builtCost() {
  return static_cast<int64_t>(sizeof(E)) + kDecodeAllocationCost;
}

}  // namespace tq

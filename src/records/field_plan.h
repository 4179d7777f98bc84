// Field plans: a record class's encoding made once, as constant bytes with holes for values.
//
// Most of what a record writes does not depend on its values: field headers and class ids in
// the binary stream, tabs, tags and object lines in the text form. So each class walks its field
// table once per form (and, for text, per depth) and keeps the result as a plan: a run of
// constant bytes, then a step that says what to put next (an integer, a string ... at a given
// offset from the record), then more constant bytes, and so on. Sub-records held by value are
// walked into the same plan, so that a work item with its six sub-records is one plan of about
// twenty steps. Writing a record is then copying the constant runs and formatting the values.
//
// A field the plan cannot see into (a container, a field with a codec of its own) is a call
// step: the plan calls the field's own writer at that point. Plans are built on first use, from
// the record being written (which gives the offsets of its members), and kept for the life of
// the process; building one is safe from several threads at once.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

namespace tq {

class Encoder;
class TextWriter;

enum class PlanOp : uint8_t {
  kInt,     // an int32_t
  kBool,    // a bool
  kChar,    // a char
  kString,  // a TqString
  kCall,    // the field's own writer (calls[offset])
  kOpen,    // binary: a sub-record's length, filled in at the matching kClose
  kClose,
  kEnd,
};

// One step: a run of `chunk` constant bytes, then the op for the value at `offset` from the
// record.
struct PlanStep {
  uint32_t chunk;
  uint32_t offset;
  PlanOp op;
  // Read plans: a field of the record itself begins with the run, and the bytes the stream
  // must hold from the run on (the run, and the sub-records of fixed length it begins).
  bool restart = false;
  uint32_t need = 0;
};

// A field written by its own writer, Sink being Encoder (binary) or TextWriter (text).
template <class Sink>
struct PlanCall {
  using Writer = void (*)(const char* value, Sink& out, const PlanCall& call);
  Writer write;
  uint32_t offset;  // of the value from the record
  int16_t id;       // binary: the field id
  int depth;        // text: the depth of the field's lines
  std::string_view name;
};

// Copies of the constant runs may read and store up to kPlanPad - 1 bytes past their end.
inline constexpr size_t kPlanPad = 32;
// Binary sub-records whose length is filled in later, open at once in one plan.
inline constexpr int kMaxPlanOpen = 16;

template <class Sink>
struct Plan {
  std::vector<PlanStep> steps;  // the last is kEnd
  std::vector<PlanCall<Sink>> calls;
  std::string bytes;  // the constant runs back to back, then kPlanPad bytes
};
using BinaryPlan = Plan<Encoder>;
using TextPlan = Plan<TextWriter>;

// A field header and a 32-bit integer as the binary stream holds them (big-endian).
std::string fieldHeaderBytes(int16_t id, int16_t kind);
std::string int32Bytes(int32_t value);

// Records the steps of a plan while a class walks its field table.
template <class Sink>
class PlanBuilder {
 public:
  // `record` is the record the offsets are measured from.
  explicit PlanBuilder(const void* record)
      : record_(static_cast<const char*>(record)), plan_(std::make_unique<Plan<Sink>>()) {}

  void constant(std::string_view bytes) {
    plan_->bytes.append(bytes);
    pending_ += static_cast<uint32_t>(bytes.size());
  }
  void tabs(int depth) {
    if (depth <= 0) return;
    plan_->bytes.append(static_cast<size_t>(depth), '\t');
    pending_ += static_cast<uint32_t>(depth);
  }
  // Binary constants: a field header, a 32-bit integer.
  void header(int16_t id, int16_t kind) { constant(fieldHeaderBytes(id, kind)); }
  void int32(int32_t value) { constant(int32Bytes(value)); }

  void value(PlanOp op, const void* at) { step(op, offset(at)); }
  void call(typename PlanCall<Sink>::Writer write, const void* at, int16_t id, int depth,
            std::string_view name) {
    plan_->calls.push_back(PlanCall<Sink>{write, offset(at), id, depth, name});
    step(PlanOp::kCall, static_cast<uint32_t>(plan_->calls.size() - 1));
  }
  // Binary: a sub-record whose length is known only once written. When kMaxPlanOpen are open
  // already the caller writes the field by a call instead.
  bool canOpen() const { return open_ < kMaxPlanOpen; }
  void open() {
    ++open_;
    step(PlanOp::kOpen, 0);
  }
  void close() {
    --open_;
    step(PlanOp::kClose, 0);
  }

  std::unique_ptr<Plan<Sink>> finish() {
    step(PlanOp::kEnd, 0);
    plan_->bytes.append(kPlanPad, '\0');
    return std::move(plan_);
  }

 private:
  uint32_t offset(const void* at) const {
    return static_cast<uint32_t>(static_cast<const char*>(at) - record_);
  }
  void step(PlanOp op, uint32_t offset) {
    plan_->steps.push_back(PlanStep{pending_, offset, op});
    pending_ = 0;
  }

  const char* record_;
  std::unique_ptr<Plan<Sink>> plan_;
  uint32_t pending_ = 0;  // constant bytes since the last step
  int open_ = 0;
};

// Walks a class's field table into a builder, for a record and (text) a depth.
template <class Sink>
using PlanBuild = void (*)(PlanBuilder<Sink>& builder, const void* record, int depth);

// The one lock under which plans are built (once per class, form and depth), and the list that
// keeps every plan built for the life of the process (never destroyed: records written from
// static destructors may still use them).
std::mutex& planMutex();
void keepForLife(std::shared_ptr<const void> plan);

// Where a plan of type P is kept once built: make() builds it on first use.
template <class P>
class PlanSlot {
 public:
  template <class Make>
  const P& get(Make&& make) {
    const P* plan = plan_.load(std::memory_order_acquire);
    return plan ? *plan : keep(make);
  }

 private:
  template <class Make>
  const P& keep(Make& make) {
    std::lock_guard<std::mutex> lock(planMutex());
    if (const P* plan = plan_.load(std::memory_order_acquire)) return *plan;
    std::shared_ptr<const P> plan = make();
    keepForLife(plan);
    plan_.store(plan.get(), std::memory_order_release);
    return *plan;
  }
  std::atomic<const P*> plan_{nullptr};
};

// The binary plan of one class (or one kind of container element).
class BinaryPlanSlot {
 public:
  void write(PlanBuild<Encoder> build, const void* record, Encoder& out);
  const BinaryPlan& plan(PlanBuild<Encoder> build, const void* record);

 private:
  PlanSlot<BinaryPlan> slot_;
};

// Text plans are kept per depth up to this; deeper records are planned at every write.
inline constexpr int kKeptTextPlanDepths = 32;

// The text plans of one class (or one kind of container element), one per depth.
class TextPlanSlots {
 public:
  void write(PlanBuild<TextWriter> build, const void* record, TextWriter& out);
  // The plan kept for a depth; null past the depths kept.
  const TextPlan* kept(PlanBuild<TextWriter> build, const void* record, int depth);

 private:
  PlanSlot<TextPlan> slots_[kKeptTextPlanDepths];
};

}  // namespace tq

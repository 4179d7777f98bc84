// Read plans: the binary stream of a record class as its own writer makes it.
//
// A record in the stream is most often exactly what the class's writer wrote: its fields in
// table order, with the headers, class ids and fixed lengths that the class's write plan puts.
// A read plan holds those bytes as the reader expects them, with holes for the values. Reading
// compares each run of expected bytes with the stream and takes the value after it, instead of
// looking each header up in the field table. Sub-records held by value that hold only scalars
// and such sub-records are read within the same plan; any other field (a container, a field
// with a codec of its own) is read by its own reader at that point.
//
// Wherever the stream differs from the plan (fields in another order, an unknown field, a field
// missing, a length other than written, a truncation), reading goes back to the start of the
// record's field at hand and goes on field by field, as any stream is read. A plan reads only
// what field-by-field reading would read from the same bytes, in the same order: the values of
// the field at hand that the plan took before the difference are taken again from the same
// bytes. So the two ways agree on every input.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "records/field_plan.h"

namespace tq {

class DecodeBudget;
class Decoder;

// Reads one field of a record whose header `in` has just read (a field table's entry).
using FieldReader = void (*)(void* record, Decoder& in);

struct ReadPlan {
  std::vector<PlanStep> steps;       // the last is kEnd
  std::vector<FieldReader> readers;  // of the kCall steps
  std::string bytes;                 // the expected runs back to back
  int levels = 0;                    // sub-records nested in the plan, at most
};

// Records a read plan while a class walks its field table.
class ReadPlanBuilder {
 public:
  explicit ReadPlanBuilder(const void* record) : record_(static_cast<const char*>(record)) {}

  // A field of the record itself begins with the next run: reading goes back there when the
  // stream differs from the plan.
  void beginField() { restart_ = true; }
  void header(int16_t id, int16_t kind) { constant(fieldHeaderBytes(id, kind)); }
  void int32(int32_t value) { constant(int32Bytes(value)); }
  // The length of a sub-record whose fields take that many bytes whatever their values: the
  // stream must hold them all before any is read, as field by field.
  void fixedLength(int32_t length) {
    int32(length);
    if (pending_ + static_cast<uint32_t>(length) > need_) need_ = pending_ + length;
  }
  void value(PlanOp op, const void* at) { step(op, offset(at)); }
  // A field read by its own reader; its header is the run before.
  void field(FieldReader reader) {
    plan_->readers.push_back(reader);
    step(PlanOp::kCall, static_cast<uint32_t>(plan_->readers.size() - 1));
  }
  // A sub-record whose length is read from the stream, and its end.
  void open() { step(PlanOp::kOpen, 0); }
  void close() { step(PlanOp::kClose, 0); }
  // The fields of a sub-record follow / have ended.
  void enter() {
    if (++level_ > plan_->levels) plan_->levels = level_;
  }
  void leave() { --level_; }

  std::unique_ptr<ReadPlan> finish() {
    step(PlanOp::kEnd, 0);
    return std::move(plan_);
  }

 private:
  uint32_t offset(const void* at) const {
    return static_cast<uint32_t>(static_cast<const char*>(at) - record_);
  }
  void step(PlanOp op, uint32_t offset) {
    plan_->steps.push_back(
        PlanStep{pending_, offset, op, restart_, need_ > pending_ ? need_ : pending_});
    pending_ = 0;
    need_ = 0;
    restart_ = false;
  }
  void constant(std::string_view bytes) {
    plan_->bytes.append(bytes);
    pending_ += static_cast<uint32_t>(bytes.size());
  }

  const char* record_;
  std::unique_ptr<ReadPlan> plan_ = std::make_unique<ReadPlan>();
  uint32_t pending_ = 0;  // bytes of the run since the last step
  uint32_t need_ = 0;     // bytes the stream must hold from the run on
  bool restart_ = false;
  int level_ = 0;
};

// Where a class keeps its read plan: build(builder, record) walks the table.
class ReadPlanSlot {
 public:
  using Build = void (*)(ReadPlanBuilder& builder, const void* record);
  const ReadPlan& get(Build build, const void* record) {
    return slot_.get([&] {
      ReadPlanBuilder builder(record);
      build(builder, record);
      return builder.finish();
    });
  }

 private:
  PlanSlot<ReadPlan> slot_;
};

// Test and fuzz seam: with read plans off every record is read field by field, so that both
// ways can be run on the same input and compared. On by default.
inline std::atomic<bool> g_read_plans{true};
inline void setReadPlans(bool on) { g_read_plans.store(on, std::memory_order_relaxed); }
inline bool readPlansOn() { return g_read_plans.load(std::memory_order_relaxed); }

// Reads the fields of `record` from [at, end) as far as they are as the plan expects; returns
// where reading field by field goes on (`end` when the plan took everything).
const uint8_t* readByPlan(const ReadPlan& plan, void* record, const uint8_t* at, const uint8_t* end,
                          int depth, DecodeBudget* budget);

}  // namespace tq

#include "records/read_plan.h"

#include <cstring>

#include "records/object.h"
#include "records/tq_string.h"

namespace tq {

namespace {

// Whether n bytes of the stream are the expected run (most runs are one 4-byte header).
inline bool sameBytes(const uint8_t* at, const char* run, size_t n) {
  uint32_t a, b;
  while (n >= 4) {
    std::memcpy(&a, at, 4);
    std::memcpy(&b, run, 4);
    if (a != b) return false;
    at += 4;
    run += 4;
    n -= 4;
  }
  return n == 0 || std::memcmp(at, run, n) == 0;
}

// A length of `n` bytes that the stream holds after `at`, or -1.
inline int32_t takenLength(const uint8_t* at, const uint8_t* limit) {
  if (limit - at < 4) return -1;
  int32_t n = readInt32(at);
  return n >= 0 && n <= limit - at - 4 ? n : -1;
}

}  // namespace

const uint8_t* readByPlan(const ReadPlan& plan, void* record, const uint8_t* at, const uint8_t* end,
                          int depth, DecodeBudget* budget) {
  char* top = static_cast<char*>(record);
  const char* run = plan.bytes.data();
  const uint8_t* restart = at;
  const uint8_t* limit = end;  // of the innermost sub-record open
  const uint8_t* outer[kMaxPlanOpen];
  int opened = 0;
  for (const PlanStep* s = plan.steps.data();; ++s) {
    if (s->restart) restart = at;
    const size_t n = s->chunk;
    if (static_cast<size_t>(limit - at) < s->need || !sameBytes(at, run, n)) return restart;
    at += n;
    run += n;
    char* value = top + s->offset;
    switch (s->op) {
      case PlanOp::kInt: {
        if (limit - at < 4) return restart;
        int32_t v = readInt32(at);
        std::memcpy(value, &v, sizeof v);
        at += 4;
        break;
      }
      case PlanOp::kBool:
        if (limit - at < 1) return restart;
        *reinterpret_cast<bool*>(value) = *at++ != 0;
        break;
      case PlanOp::kChar:
        if (limit - at < 1) return restart;
        *value = static_cast<char>(*at++);
        break;
      case PlanOp::kString: {
        int32_t length = takenLength(at, limit);
        if (length < 0) return restart;
        at += 4;
        // An empty string leaves the field as it was, as field by field.
        if (length > 0)
          reinterpret_cast<TqString*>(value)->assignFitted(reinterpret_cast<const char*>(at),
                                                           length);
        at += length;
        break;
      }
      case PlanOp::kOpen: {
        int32_t length = takenLength(at, limit);
        if (length < 0 || opened == kMaxPlanOpen) return restart;
        at += 4;
        outer[opened++] = limit;
        limit = at + length;
        break;
      }
      case PlanOp::kClose:
        if (at != limit) return restart;
        limit = outer[--opened];
        break;
      case PlanOp::kCall: {
        // The field's own reader, from its header on; when it ends the record, everything
        // after is lost, as field by field.
        const uint8_t* header = at - 4;
        Decoder in(header, static_cast<int32_t>(limit - header), depth, budget);
        in.next();
        plan.readers[s->offset](record, in);
        if (!in.consumed()) in.skip();
        at = limit - in.remaining();
        break;
      }
      case PlanOp::kEnd:
        return at;
    }
  }
}

}  // namespace tq

#include "records/field_plan.h"

#include <cstring>
#include <mutex>

#include "records/object.h"
#include "records/text_form.h"
#include "records/tq_string.h"

namespace tq {

namespace {

template <class T>
T load(const char* at) {
  return *reinterpret_cast<const T*>(at);
}

// The cursor of a buffer while a plan runs, held in locals: each step takes room for its
// constant run and its value at once. With room to spare the run is copied in 32-byte moves,
// which read and store up to 31 bytes past it (plans keep kPlanPad bytes after their last run;
// the stores land in room that the next step overwrites or that lies past the contents). When
// the buffer has to grow, the step is written exactly and the buffer grows by its rule for the
// step's bytes.
class PlanCursor {
 public:
  explicit PlanCursor(ByteCursor& out) : out_(out) { reload(); }

  // Room for a run of n bytes and `more` bytes after it; copies the run and answers where the
  // `more` bytes go (null when the buffer cannot grow).
  uint8_t* take(const char* run, size_t n, size_t more) {
    if (static_cast<size_t>(end_ - at_) >= n + more + kPlanPad) {
      uint8_t* to = at_;
      size_t i = 0;
      do {
        std::memcpy(to + i, run + i, 32);
        i += 32;
      } while (i < n);
      return to + n;
    }
    return takeGrowing(run, n, more);
  }
  void advance(uint8_t* to) { at_ = to; }
  // Hands the cursor to code that writes through the ByteCursor, and takes it back after.
  ByteCursor& sync() {
    out_.advance(at_);
    return out_;
  }
  void reload() {
    at_ = out_.cursor();
    end_ = at_ + out_.roomLeft();
  }

 private:
  uint8_t* takeGrowing(const char* run, size_t n, size_t more) {
    out_.advance(at_);
    uint8_t* to = out_.room(n + more);
    if (to == nullptr) return nullptr;
    if (n > 0) std::memcpy(to, run, n);
    at_ = to;
    end_ = to + out_.roomLeft();
    return to + n;
  }

  ByteCursor& out_;
  uint8_t* at_;
  uint8_t* end_;
};

}  // namespace

std::string fieldHeaderBytes(int16_t id, int16_t kind) {
  uint8_t bytes[4];
  storeFieldHeader(bytes, id, kind);
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::string int32Bytes(int32_t value) {
  uint8_t bytes[4];
  storeInt32(bytes, value);
  return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

std::mutex& planMutex() {
  static auto* mutex = new std::mutex;
  return *mutex;
}

void keepForLife(std::shared_ptr<const void> plan) {
  static auto* kept = new std::vector<std::shared_ptr<const void>>;
  kept->push_back(std::move(plan));
}

namespace {

template <class Sink>
std::unique_ptr<Plan<Sink>> makePlan(PlanBuild<Sink> build, const void* record, int depth) {
  PlanBuilder<Sink> builder(record);
  build(builder, record, depth);
  return builder.finish();
}

}  // namespace

const BinaryPlan& BinaryPlanSlot::plan(PlanBuild<Encoder> build, const void* record) {
  return slot_.get([&] { return makePlan(build, record, 0); });
}

void BinaryPlanSlot::write(PlanBuild<Encoder> build, const void* record, Encoder& out) {
  out.run(plan(build, record), record);
}

const TextPlan* TextPlanSlots::kept(PlanBuild<TextWriter> build, const void* record, int depth) {
  if (depth < 0) depth = 0;
  if (depth >= kKeptTextPlanDepths) return nullptr;
  return &slots_[depth].get([&] { return makePlan(build, record, depth); });
}

void TextPlanSlots::write(PlanBuild<TextWriter> build, const void* record, TextWriter& out) {
  if (const TextPlan* plan = kept(build, record, out.depth())) {
    out.run(*plan, record);
  } else {
    out.run(*makePlan(build, record, out.depth()), record);
  }
}

// ---- Running a binary plan ----

void Encoder::run(const BinaryPlan& plan, const void* record) {
  const char* top = static_cast<const char*>(record);
  const char* run = plan.bytes.data();
  PlanCursor out(out_);
  int32_t open[kMaxPlanOpen];
  int opened = 0;
  for (const PlanStep* s = plan.steps.data();; ++s) {
    const size_t n = s->chunk;
    const char* value = top + s->offset;
    uint8_t* at;
    switch (s->op) {
      case PlanOp::kInt:
        if ((at = out.take(run, n, 4)) == nullptr) return;
        out.advance(storeInt32(at, load<int32_t>(value)));
        break;
      case PlanOp::kBool:
        if ((at = out.take(run, n, 1)) == nullptr) return;
        *at = load<bool>(value) ? 1 : 0;
        out.advance(at + 1);
        break;
      case PlanOp::kChar:
        if ((at = out.take(run, n, 1)) == nullptr) return;
        *at = load<uint8_t>(value);
        out.advance(at + 1);
        break;
      case PlanOp::kString: {
        std::string_view text = reinterpret_cast<const TqString*>(value)->view();
        if ((at = out.take(run, n, 4 + text.size())) == nullptr) return;
        at = storeInt32(at, static_cast<int32_t>(text.size()));
        out.advance(copyValue(at, text.data(), text.size()));
        break;
      }
      case PlanOp::kOpen:
        if ((at = out.take(run, n, 4)) == nullptr) return;
        out.advance(at + 4);  // the length, filled in at kClose
        open[opened++] = out.sync().position() - 4;
        break;
      case PlanOp::kClose: {
        if ((at = out.take(run, n, 0)) == nullptr) return;
        out.advance(at);
        ByteCursor& cursor = out.sync();
        int32_t length_at = open[--opened];
        storeInt32(cursor.at(length_at), cursor.position() - length_at - 4);
        break;
      }
      case PlanOp::kCall: {
        if ((at = out.take(run, n, 0)) == nullptr) return;
        out.advance(at);
        out.sync();
        const PlanCall<Encoder>& call = plan.calls[s->offset];
        call.write(top + call.offset, *this, call);
        if (out_.failed()) return;
        out.reload();
        break;
      }
      case PlanOp::kEnd:
        if ((at = out.take(run, n, 0)) != nullptr) out.advance(at);
        out.sync();
        return;
    }
    run += n;
  }
}

// ---- Running a text plan ----

void TextWriter::run(const TextPlan& plan, const void* record) {
  const char* top = static_cast<const char*>(record);
  const char* run = plan.bytes.data();
  PlanCursor out(out_);
  for (const PlanStep* s = plan.steps.data();; ++s) {
    const size_t n = s->chunk;
    const char* value = top + s->offset;
    uint8_t* at;
    switch (s->op) {
      case PlanOp::kInt: {
        int32_t number = load<int32_t>(value);
        if (static_cast<uint32_t>(number) < 10) {
          if ((at = out.take(run, n, 1)) == nullptr) return;
          *at = static_cast<uint8_t>('0' + number);
          out.advance(at + 1);
        } else {
          char digits[12];
          std::string_view text = formatInt(digits, number);
          if ((at = out.take(run, n, text.size())) == nullptr) return;
          out.advance(copyValue(at, text.data(), text.size()));
        }
        break;
      }
      case PlanOp::kBool:
        if ((at = out.take(run, n, 1)) == nullptr) return;
        *at = load<bool>(value) ? '1' : '0';
        out.advance(at + 1);
        break;
      case PlanOp::kChar: {
        char c = load<char>(value);
        // A NUL character is written as an empty element, which reading leaves as it is.
        std::string_view text = c == '\0' ? std::string_view() : std::string_view(&c, 1);
        if ((at = out.take(run, n, TextWriter::escapedSize(text))) == nullptr) return;
        out.advance(putEscaped(at, text));
        break;
      }
      case PlanOp::kString: {
        std::string_view text = reinterpret_cast<const TqString*>(value)->view();
        size_t size = text.empty() ? 0 : TextWriter::escapedSize(text);
        if ((at = out.take(run, n, size)) == nullptr) return;
        out.advance(size == text.size() ? copyValue(at, text.data(), size) : putEscaped(at, text));
        break;
      }
      case PlanOp::kCall: {
        if ((at = out.take(run, n, 0)) == nullptr) return;
        out.advance(at);
        const PlanCall<TextWriter>& call = plan.calls[s->offset];
        TextWriter inner(out.sync(), call.depth);
        call.write(top + call.offset, inner, call);
        if (out_.failed()) return;
        out.reload();
        break;
      }
      case PlanOp::kOpen:
      case PlanOp::kClose:
        break;  // binary only
      case PlanOp::kEnd:
        if ((at = out.take(run, n, 0)) != nullptr) out.advance(at);
        out.sync();
        return;
    }
    run += n;
  }
}

}  // namespace tq

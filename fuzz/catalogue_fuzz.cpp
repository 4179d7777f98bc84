// Decodes arbitrary bytes as each registered record class, in the binary form and in the text
// form. The first byte picks the class (its index among the registered ids, modulo their
// number), so that the fuzzer reaches every class and keeps the inputs that matter for each;
// the rest is the input. Whatever decodes must encode again, and that encoding must decode
// again to a record of the same encoded length (hash entries may come out in another slot
// order, so the bytes themselves may differ).
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "job/registry.h"
#include "platform/random.h"
#include "records/object.h"

namespace {

const std::vector<int32_t>& registeredIds() {
  static const std::vector<int32_t> ids = [] {
    std::vector<int32_t> out;
    for (int32_t id = 0; id < 1000; ++id)
      if (tq::isRegisteredClass(id)) out.push_back(id);
    return out;
  }();
  return ids;
}

void checkBinary(int32_t id, const uint8_t* data, size_t size) {
  std::unique_ptr<tq::Object> first = tq::createRecord(id);
  if (!first) std::abort();
  if (first->decode(data, static_cast<int32_t>(size)) != tq::kDecoded) return;
  int32_t length = first->encode();
  std::unique_ptr<tq::Object> second = tq::createRecord(id);
  int result = second->decode(first->buffer(), first->bufferLength());
  if (result != tq::kDecoded && !(result == tq::kDecodeEmpty && length == 4)) std::abort();
  if (second->encode() != length) std::abort();
}

void checkText(int32_t id, const uint8_t* data, size_t size) {
  std::unique_ptr<tq::Object> record = tq::createRecord(id);
  if (record->decodeText(reinterpret_cast<const char*>(data), static_cast<int32_t>(size)) !=
      tq::kTextDecoded)
    return;
  record->encodeText();
  record->encode();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1 || size > (1u << 16)) return 0;
  tq::platform::seedRandom(1);
  const std::vector<int32_t>& ids = registeredIds();
  if (ids.empty()) std::abort();
  int32_t id = ids[data[0] % ids.size()];
  checkBinary(id, data + 1, size - 1);
  checkText(id, data + 1, size - 1);
  return 0;
}

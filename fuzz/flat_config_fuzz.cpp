// Reads arbitrary bytes as a flat configuration file. Whatever is read must write back as text
// that reads to the same keys, with the same values wherever the writer can carry them (CRs
// are dropped by every reader, and a value with unpaired braces that needs braces comes back
// with braces added); it must survive the binary form, and merge into a template (the input
// itself) without harm.
#include <cstdint>
#include <cstdlib>

#include "config/config_record.h"

namespace {

bool bracesBalanced(const tq::TqString& value) {
  int64_t depth = 0;
  for (char c : value.view()) {
    if (c == '{') ++depth;
    if (c == '}' && --depth < 0) return false;
  }
  return depth == 0;
}

bool writerCanCarry(const tq::TqString& value) {
  if (value.contains('\r')) return false;
  if (bracesBalanced(value)) return true;
  return !value.contains('\n') && !(value.contains('"') && value.contains('\''));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  tq::TqString input(reinterpret_cast<const char*>(data), static_cast<int32_t>(size));
  tq::ConfigRecord first;
  first.setText(input);

  tq::ConfigRecord second;
  second.setText(first.toText());
  if (second.count() != first.count()) std::abort();
  first.options.forEach([&](const tq::TqString& key, const tq::TqString& value) {
    if (!second.has(key)) std::abort();
    if (writerCanCarry(value) && second.get(key) != value) std::abort();
  });

  if (first.encode() == 0) std::abort();
  tq::ConfigRecord binary;
  if (binary.decode(first.buffer(), first.bufferLength()) != tq::kDecoded) std::abort();
  if (binary.count() != first.count() || !binary.equals(first)) std::abort();

  first.mergeIntoTemplateText(input);
  return 0;
}

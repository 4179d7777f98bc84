// Reads arbitrary bytes as the text form of an "env" record. Whatever is read must write and
// read back to the same text, must survive the binary form unchanged, and its mount targets and
// variable values must split and translate without harm.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "config/env_record.h"
#include "config/path_map.h"
#include "platform/random.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size > (1u << 20)) return 0;
  tq::platform::seedRandom(1);
  tq::Env first;
  first.fromText(tq::TqString(reinterpret_cast<const char*>(data), static_cast<int32_t>(size)));
  const tq::TqString text = first.toText();

  tq::Env second;
  second.fromText(text);
  if (second.toText() != text) std::abort();

  if (first.encode() == 0) std::abort();
  tq::Env binary;
  if (binary.decode(first.buffer(), first.bufferLength()) != tq::kDecoded) std::abort();
  if (binary.toText() != text) std::abort();

  // The mounts as a direct map, applied to every variable value.
  tq::PathMap from, to;
  first.mounts.forEach([&](const tq::TqString& drive, const tq::TqString& target) {
    tq::TqString user, password, path;
    if (!first.mountCredentials(drive, user, password, path)) std::abort();
    if (path.length() > target.length()) std::abort();
    from.direct_map.insert(drive, path);
    to.logical_map.insert(user, target);
  });
  from.logical_map = to.logical_map;
  // A translation costs the size of the maps; a few values show it (all of them would make the
  // target's own cost the product of two sizes).
  for (int32_t i = 0; i < first.values.count() && i < 64; ++i) {
    tq::translatePath(first.values[i], from, to);
    tq::translatePath(first.values[i], from, to, false);
  }
  return 0;
}

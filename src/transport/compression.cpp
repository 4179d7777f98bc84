#include "transport/compression.h"

#include <zlib.h>

#include <limits>
#include <new>

namespace tq {

std::unique_ptr<uint8_t[]> compressBody(const uint8_t* source, int32_t length,
                                        int32_t& compressed_length, int32_t headroom) {
  compressed_length = 0;
  if (length < 0 || headroom < 0 || (length > 0 && !source)) return nullptr;
  // compressBound() is what zlib guarantees to be enough; it must fit a frame's 32-bit field.
  uLong bound = compressBound(static_cast<uLong>(length));
  if (bound > static_cast<uLong>(std::numeric_limits<int32_t>::max() - headroom)) return nullptr;
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[bound + static_cast<uLong>(headroom)]);
  if (!out) return nullptr;
  uLongf produced = bound;
  static const Bytef kNothing = 0;
  if (compress(out.get() + headroom, &produced, length > 0 ? source : &kNothing,
               static_cast<uLong>(length)) != Z_OK)
    return nullptr;
  compressed_length = static_cast<int32_t>(produced);
  return out;
}

std::unique_ptr<uint8_t[]> uncompressBody(const uint8_t* source, int32_t compressed_length,
                                          int32_t length) {
  if (!source || compressed_length <= 0 || length <= 0) return nullptr;
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
  if (!out) return nullptr;
  uLongf produced = static_cast<uLongf>(length);
  // Z_BUF_ERROR covers a stream that would inflate past `length`.
  if (uncompress(out.get(), &produced, source, static_cast<uLong>(compressed_length)) != Z_OK ||
      produced != static_cast<uLongf>(length))
    return nullptr;
  return out;
}

}  // namespace tq

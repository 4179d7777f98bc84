#include "transport/compression.h"

#include <zlib.h>

#include <atomic>
#include <limits>
#include <new>

namespace tq {

namespace {

// Setting up a deflate stream (its window and tables, about 256 KiB) costs ten times more than
// compressing a submit-sized body, so one idle stream is kept between calls and reset, which
// gives the same bytes as compress(). A second thread compressing at the same time sets up its
// own stream and keeps whichever is given back last.
class IdleDeflateStream {
 public:
  ~IdleDeflateStream() { release(idle_.exchange(nullptr)); }

  z_stream* take() {
    if (z_stream* stream = idle_.exchange(nullptr)) {
      if (deflateReset(stream) == Z_OK) return stream;
      release(stream);
    }
    auto* stream = new (std::nothrow) z_stream();
    if (stream && deflateInit(stream, Z_DEFAULT_COMPRESSION) != Z_OK) {
      delete stream;
      return nullptr;
    }
    return stream;
  }

  void giveBack(z_stream* stream) { release(idle_.exchange(stream)); }

  static void release(z_stream* stream) {
    if (!stream) return;
    deflateEnd(stream);
    delete stream;
  }

 private:
  std::atomic<z_stream*> idle_{nullptr};
};

IdleDeflateStream idle_deflate;

// One deflate of the whole body into `out` (at least compressBound() bytes); the produced
// length, or -1.
int64_t deflateWhole(const uint8_t* source, uLong length, uint8_t* out, uLong capacity) {
  z_stream* stream = idle_deflate.take();
  if (!stream) return -1;
  stream->next_in = const_cast<Bytef*>(source);
  stream->avail_in = static_cast<uInt>(length);
  stream->next_out = out;
  stream->avail_out = static_cast<uInt>(capacity);
  int result = deflate(stream, Z_FINISH);
  int64_t produced = result == Z_STREAM_END ? static_cast<int64_t>(stream->total_out) : -1;
  idle_deflate.giveBack(stream);
  return produced;
}

}  // namespace

std::unique_ptr<uint8_t[]> compressBody(const uint8_t* source, int32_t length,
                                        int32_t& compressed_length, int32_t headroom) {
  compressed_length = 0;
  if (length < 0 || headroom < 0 || (length > 0 && !source)) return nullptr;
  // compressBound() is what zlib guarantees to be enough; it must fit a frame's 32-bit field.
  uLong bound = compressBound(static_cast<uLong>(length));
  if (bound > static_cast<uLong>(std::numeric_limits<int32_t>::max() - headroom)) return nullptr;
  std::unique_ptr<uint8_t[]> out(new (std::nothrow) uint8_t[bound + static_cast<uLong>(headroom)]);
  if (!out) return nullptr;
  static const Bytef kNothing = 0;
  int64_t produced = deflateWhole(length > 0 ? source : &kNothing, static_cast<uLong>(length),
                                  out.get() + headroom, bound);
  if (produced < 0) return nullptr;
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

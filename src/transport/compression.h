// The zlib bodies of TCP frames: the bytes of zlib's one-shot compress() at its default level
// (from a deflate stream kept between calls) and uncompress(). Only success or failure is passed
// on, never zlib's own codes.
#pragma once

#include <cstdint>
#include <memory>

namespace tq {

// The zlib stream of L bytes, C set to its length; null (C = 0) on failure. `headroom` bytes
// are left free before the stream, for a frame header (the stream starts at the returned
// pointer + headroom).
std::unique_ptr<uint8_t[]> compressBody(const uint8_t* source, int32_t length,
                                        int32_t& compressed_length, int32_t headroom = 0);
// Exactly `length` bytes inflated from C bytes of zlib stream; null when the stream is
// malformed or inflates to any other length.
std::unique_ptr<uint8_t[]> uncompressBody(const uint8_t* source, int32_t compressed_length,
                                          int32_t length);

}  // namespace tq

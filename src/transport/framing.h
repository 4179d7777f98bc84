// How message bodies cross a comm, by comm type.
//
// TCP frame (type 1), integers 32-bit signed big-endian:
//   offset 0  1 byte   comm version, the byte 2
//   offset 1  4 bytes  C, the compressed length (> 0)
//   offset 5  4 bytes  L, the length before compression (> 0)
//   offset 9  C bytes  the zlib stream (RFC 1950) of the L body bytes
// Every TCP frame is compressed, whatever its size.
//
// UDP datagram (type 2), one message per datagram, not compressed:
//   offset 0  1 byte   the byte 2;  offset 1  4 bytes  L (> 0);  offset 5  L bytes  the body
// A body longer than 65530 bytes cannot be received.
//
// Raw TCP (type 4) carries the caller's bytes unchanged; the SSL types (5, 7) send and receive
// nothing (there is no SSL layer).
//
// The functions below are the frame code proper, on a byte stream (a socket, or memory for
// fuzzing); tq::Comm's send() and receive() dispatch to them by type. Failures set the codes of
// the message table in `error`. The receivers trust no header: lengths above maxFrameBody()
// (transport/limits.h) are refused before anything is allocated, a body must inflate to
// exactly L bytes, a peer that closes mid-frame ends the receive, and the whole frame must
// arrive within the time-out plus one second per kMinimumBytesPerSecond of body.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "transport/byte_stream.h"
#include "transport/error.h"

namespace tq {

inline constexpr uint8_t kCommVersion = 2;
inline constexpr int32_t kTcpHeaderSize = 9;
inline constexpr int32_t kDatagramHeaderSize = 5;

// Writes one TCP frame: the number of compressed body bytes written, or -1 with codes 4
// (compression failed), 5 (time-out), 6, 7 or 8 (the header could not be written). A write
// error inside the body returns the body bytes written so far (0 when none) without a code.
int32_t writeTcpFrame(ByteStream& out, const uint8_t* body, int32_t n, int32_t timeout_ms,
                      Error& error);
// Reads one TCP frame: the L body bytes (n = L), or null with codes 15 (time-out), 16 (closed
// before the first byte), 17 (read failed), 18 (version byte), 19 (a length field could not be
// read), 20 (a length of 0 or less, or above the limit), 14 (no memory), 41 (closed or failed
// inside the body) or 21 (the body does not inflate to L bytes). After code 18 the rest of the
// frame stays unread.
std::unique_ptr<uint8_t[]> readTcpFrame(ByteStream& in, int32_t timeout_ms, Error& error,
                                        int32_t& n);

// Writes the bytes as they are: the count written, or -1 with code 9 (time-out).
int32_t writeRaw(ByteStream& out, const uint8_t* bytes, int32_t n, int32_t timeout_ms,
                 Error& error);
// Whatever the peer has sent: waits up to the time-out for the first bytes, then reads while
// more are ready at once. Stops when the peer closes, and at maxFrameBody() bytes (the rest
// stays on the stream). An empty, non-null result when nothing came. Null only without memory
// (code 14).
std::unique_ptr<uint8_t[]> readRaw(ByteStream& in, int32_t timeout_ms, Error& error, int32_t& n);

// The datagram for a body: header and body in one buffer. False (code 13) when the body is too
// long for a datagram's length field.
bool buildDatagram(const uint8_t* body, int32_t n, std::vector<uint8_t>& datagram, Error& error);
// The body of a received datagram of `size` bytes, or null with code 30 (5 bytes or fewer,
// L <= 0, or L beyond the bytes received) or 31 (version byte).
std::unique_ptr<uint8_t[]> parseDatagram(const uint8_t* datagram, int32_t size, Error& error,
                                         int32_t& n);

}  // namespace tq

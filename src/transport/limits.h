// Limits of the transport. Frame headers come from whoever can reach our port, so no header can
// make a receiver allocate or wait without bound; each limit says what happens past it.
#pragma once

#include <cstdint>

namespace tq {

// Largest body a TCP frame may declare, compressed (C) or uncompressed (L), and the most bytes
// one raw TCP receive collects. A frame header claiming more is refused with code 20 ("no data
// in comm") before anything is allocated; a raw receive stops at this many bytes and leaves the
// rest on the socket. 64 MiB holds a submission of 10,000 render jobs several times over.
// setMaxFrameBody() changes it for the process (a farm with larger submissions).
inline constexpr int32_t kDefaultMaxFrameBody = int32_t{64} << 20;

// A frame must keep arriving: on top of the comm's time-out, a TCP frame receive allows one
// second per this many bytes of its body. A peer that trickles a byte at a time therefore
// cannot hold a receive much longer than one time-out, however long its frame claims to be.
inline constexpr int32_t kMinimumBytesPerSecond = 64 << 10;

// Listener binds that fail (a port still in use) are retried every kBindRetryPauseMs through the
// library's sleep, for at most kBindRetryTotalMs in all; then the open fails with the bind's
// error.
inline constexpr int32_t kBindRetryPauseMs = 10000;
inline constexpr int32_t kBindRetryTotalMs = 600000;

// The UDP receive buffer: a datagram body longer than 65530 bytes cannot be received.
inline constexpr int32_t kDatagramBufferSize = 65535;

int32_t maxFrameBody();
void setMaxFrameBody(int32_t bytes);

}  // namespace tq

#include "transport/framing.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <limits>
#include <new>

#include "records/byte_buffer.h"
#include "transport/compression.h"
#include "transport/limits.h"

namespace tq {
namespace {

using Clock = std::chrono::steady_clock;

// deflate cannot shrink data by more than about 1032 to 1, so a header whose L exceeds what C
// bytes could ever inflate to is refused before the L bytes are allocated.
constexpr int64_t kMaxInflateRatio = 1032;
constexpr int64_t kInflateSlack = 1024;

// The time a frame may take: one time-out, plus one second per kMinimumBytesPerSecond of body
// once its length is known. Each wait is the comm's time-out or what is left, whichever is less.
class Deadline {
 public:
  explicit Deadline(int32_t timeout_ms)
      : timeout_(std::max(timeout_ms, 0)),
        end_(Clock::now() + std::chrono::milliseconds(timeout_)) {}
  void allowBody(int32_t bytes) {
    end_ += std::chrono::milliseconds(int64_t{bytes} * 1000 / kMinimumBytesPerSecond);
  }
  // The next wait, or -1 when the frame's time is spent.
  int32_t nextWait() const {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end_ - Clock::now()).count();
    if (left < 0) return -1;
    return static_cast<int32_t>(std::min<int64_t>(left, timeout_));
  }

 private:
  int32_t timeout_;
  Clock::time_point end_;
};

enum class ReadOutcome { kDone, kTimedOut, kClosed, kFailed };

// Reads exactly n bytes, waiting only when nothing is there yet; how many came is in *done.
ReadOutcome readExact(ByteStream& in, uint8_t* bytes, int32_t n, const Deadline& deadline,
                      int32_t* done = nullptr) {
  int32_t got = 0;
  if (done != nullptr) *done = 0;
  while (got < n) {
    int32_t r = in.tryRead(bytes + got, n - got);
    if (r == ByteStream::kWouldBlock) {
      int32_t wait = deadline.nextWait();
      if (wait < 0 || !in.waitReadable(wait)) return ReadOutcome::kTimedOut;
      r = in.read(bytes + got, n - got);
    }
    if (r == 0) return ReadOutcome::kClosed;
    if (r < 0) return ReadOutcome::kFailed;
    got += r;
    if (done != nullptr) *done = got;
  }
  return ReadOutcome::kDone;
}

void setVersion(Error& error, int32_t code, uint8_t byte) {
  error.setCode(code);
  error.setValue("VERSION", TqString(static_cast<int>(static_cast<int8_t>(byte))));
}

void setFailure(Error& error, int32_t code, const std::string& reason) {
  error.setCode(code);
  error.setValue("ERROR", TqString(reason));
}

constexpr const char* kClosedByPeer = "connection closed by peer";

// The reason of a wait that ran out.
std::string waitedFor(const char* what, int32_t timeout_ms) {
  return std::string(what) + " within " + std::to_string(std::max(timeout_ms, 0)) + " ms";
}

bool validLength(int32_t value) { return value > 0 && value <= maxFrameBody(); }

// Reads the two length fields of the header (C, then L): false with the code set. A C of 0 or
// less, or above the limit, is refused whatever L says.
bool readLengths(ByteStream& in, const Deadline& deadline, Error& error, int32_t& compressed,
                 int32_t& length) {
  uint8_t fields[8];
  switch (readExact(in, fields, 8, deadline)) {
    case ReadOutcome::kDone:
      break;
    case ReadOutcome::kTimedOut:
      setFailure(error, kTcpReceiveTimedOut, "the frame header did not arrive in time");
      return false;
    case ReadOutcome::kClosed:
      setFailure(error, kTcpLengthReadFailed, kClosedByPeer);
      return false;
    case ReadOutcome::kFailed:
      setFailure(error, kTcpLengthReadFailed, in.failureText());
      return false;
  }
  compressed = readInt32(fields);
  length = readInt32(fields + 4);
  if (!validLength(compressed) || !validLength(length)) {
    setFailure(error, kNoDataInComm,
               "the frame header claims " + std::to_string(compressed) + " compressed bytes and " +
                   std::to_string(length) + " in all (each must be 1 to " +
                   std::to_string(maxFrameBody()) + ")");
    return false;
  }
  return true;
}

}  // namespace

int32_t writeTcpFrame(ByteStream& out, const uint8_t* body, int32_t n, int32_t timeout_ms,
                      Error& error) {
  int32_t compressed = 0;
  std::unique_ptr<uint8_t[]> frame = compressBody(body, n, compressed, kTcpHeaderSize);
  if (!frame) {
    error.setCode(kCompressFailed);
    return -1;
  }
  frame[0] = kCommVersion;
  storeInt32(&frame[1], compressed);
  storeInt32(&frame[5], n);
  // Header and body leave in one write, so that no small segment waits for an acknowledgement.
  Deadline deadline(timeout_ms);
  deadline.allowBody(compressed);
  int32_t total = kTcpHeaderSize + compressed, written = 0;
  while (written < total) {
    int32_t w = out.tryWrite(frame.get() + written, total - written);
    if (w == ByteStream::kWouldBlock) {
      int32_t wait = deadline.nextWait();
      if (wait < 0 || !out.waitWritable(wait)) {
        setFailure(error, kTcpSendTimedOut, waitedFor("the peer took nothing", timeout_ms));
        return -1;
      }
      w = out.write(frame.get() + written, total - written);
    }
    if (w <= 0) {
      if (written >= kTcpHeaderSize) break;
      setFailure(error,
                 written < 1   ? kImprintFailed
                 : written < 5 ? kCompressedLengthWriteFailed
                               : kLengthWriteFailed,
                 w == 0 ? std::string(kClosedByPeer) : out.failureText());
      return -1;
    }
    written += w;
  }
  return written - kTcpHeaderSize;
}

std::unique_ptr<uint8_t[]> readTcpFrame(ByteStream& in, int32_t timeout_ms, Error& error,
                                        int32_t& n) {
  n = 0;
  uint8_t version = 0;
  int32_t r = in.tryRead(&version, 1);
  if (r == ByteStream::kWouldBlock) {
    if (!in.waitReadable(std::max(timeout_ms, 0))) {
      setFailure(error, kTcpReceiveTimedOut, waitedFor("no answer", timeout_ms));
      return nullptr;
    }
    r = in.read(&version, 1);
  }
  if (r == 0) {
    setFailure(error, kBlankMessage, std::string(kClosedByPeer) + " without an answer");
    return nullptr;
  }
  if (r < 0) {
    setFailure(error, kTcpReceiveFailed, in.failureText());
    return nullptr;
  }
  if (version != kCommVersion) {
    setVersion(error, kTcpVersionMismatch, version);
    return nullptr;
  }
  Deadline deadline(timeout_ms);
  int32_t compressed = 0, length = 0;
  if (!readLengths(in, deadline, error, compressed, length)) return nullptr;
  if (int64_t{length} > int64_t{compressed} * kMaxInflateRatio + kInflateSlack) {
    setFailure(
        error, kUncompressFailed,
        std::to_string(compressed) + " compressed bytes cannot hold " + std::to_string(length));
    return nullptr;
  }
  deadline.allowBody(compressed);
  // The body buffer grows as bytes arrive, so a header alone never costs its claimed length.
  std::vector<uint8_t> body;
  size_t got = 0;
  while (got < static_cast<size_t>(compressed)) {
    size_t want = std::min<size_t>(static_cast<size_t>(compressed),
                                   std::max<size_t>(64 << 10, body.size() * 2));
    if (body.size() < want) {
      try {
        body.resize(want);
      } catch (const std::bad_alloc&) {
        error.setCode(kOutOfMemory);
        return nullptr;
      }
    }
    int32_t done = 0;
    ReadOutcome outcome =
        readExact(in, body.data() + got, static_cast<int32_t>(body.size() - got), deadline, &done);
    std::string progress = "after " + std::to_string(got + static_cast<size_t>(done)) + " of its " +
                           std::to_string(compressed) + " bytes";
    if (outcome == ReadOutcome::kTimedOut) {
      setFailure(error, kTcpReceiveTimedOut, "the message stopped " + progress);
      return nullptr;
    }
    if (outcome != ReadOutcome::kDone) {
      setFailure(error, kPeerClosedInBody,
                 (outcome == ReadOutcome::kClosed ? std::string(kClosedByPeer) : in.failureText()) +
                     " inside a message, " + progress);
      return nullptr;
    }
    got = body.size();
  }
  std::unique_ptr<uint8_t[]> inflated = uncompressBody(body.data(), compressed, length);
  if (!inflated) {
    setFailure(error, kUncompressFailed,
               "the body does not inflate to the " + std::to_string(length) + " bytes it claims");
    return nullptr;
  }
  n = length;
  return inflated;
}

int32_t writeRaw(ByteStream& out, const uint8_t* bytes, int32_t n, int32_t timeout_ms,
                 Error& error) {
  int32_t written = 0;
  while (written < n) {
    if (!out.waitWritable(std::max(timeout_ms, 0))) {
      setFailure(error, kRawSendTimedOut, waitedFor("the peer took nothing", timeout_ms));
      return -1;
    }
    int32_t w = out.write(bytes + written, n - written);
    if (w <= 0) break;
    written += w;
  }
  return written;
}

std::unique_ptr<uint8_t[]> readRaw(ByteStream& in, int32_t timeout_ms, Error& error, int32_t& n) {
  n = 0;
  int32_t capacity = 256;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[static_cast<size_t>(capacity)]);
  if (!buffer) {
    error.setCode(kOutOfMemory);
    return nullptr;
  }
  bool ready = in.waitReadable(std::max(timeout_ms, 0));
  while (ready && n < maxFrameBody()) {
    if (n == capacity) {
      int32_t grown = capacity > maxFrameBody() / 2 ? maxFrameBody() : capacity * 2;
      std::unique_ptr<uint8_t[]> bigger(new (std::nothrow) uint8_t[static_cast<size_t>(grown)]);
      if (!bigger) break;
      std::memcpy(bigger.get(), buffer.get(), static_cast<size_t>(n));
      buffer = std::move(bigger);
      capacity = grown;
    }
    int32_t r = in.read(buffer.get() + n, capacity - n);
    if (r <= 0) break;
    n += r;
    ready = in.waitReadable(0);
  }
  return buffer;
}

bool buildDatagram(const uint8_t* body, int32_t n, std::vector<uint8_t>& datagram, Error& error) {
  if (n < 0 || n > std::numeric_limits<int32_t>::max() - kDatagramHeaderSize) {
    setFailure(error, kUdpSendFailed, "message too long for a datagram");
    return false;
  }
  datagram.resize(static_cast<size_t>(n) + kDatagramHeaderSize);
  datagram[0] = kCommVersion;
  storeInt32(&datagram[1], n);
  if (n > 0) std::memcpy(&datagram[kDatagramHeaderSize], body, static_cast<size_t>(n));
  return true;
}

std::unique_ptr<uint8_t[]> parseDatagram(const uint8_t* datagram, int32_t size, Error& error,
                                         int32_t& n) {
  n = 0;
  if (size <= kDatagramHeaderSize) {
    setFailure(error, kUdpBlankMessage,
               "a datagram of " + std::to_string(size) + " bytes holds no message");
    return nullptr;
  }
  if (datagram[0] != kCommVersion) {
    setVersion(error, kUdpVersionMismatch, datagram[0]);
    return nullptr;
  }
  int32_t length = readInt32(datagram + 1);
  if (length <= 0 || length > size - kDatagramHeaderSize) {
    setFailure(error, kUdpBlankMessage,
               "a datagram of " + std::to_string(size) + " bytes claims a message of " +
                   std::to_string(length));
    return nullptr;
  }
  std::unique_ptr<uint8_t[]> body(new (std::nothrow) uint8_t[static_cast<size_t>(length)]);
  if (!body) {
    error.setCode(kUdpBufferAllocationFailed);
    return nullptr;
  }
  std::memcpy(body.get(), datagram + kDatagramHeaderSize, static_cast<size_t>(length));
  n = length;
  return body;
}

}  // namespace tq

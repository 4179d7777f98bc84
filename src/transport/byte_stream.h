// What the frame readers and writers move bytes through: a connected socket in the product, a
// memory buffer in fuzz targets and unit tests, so that the frame code can be driven with any
// byte sequence without a network.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/socket.h"

namespace tq {

class ByteStream {
 public:
  virtual ~ByteStream() = default;
  // Waits up to ms milliseconds until a read (or write) would not block. False when the wait
  // timed out or failed.
  virtual bool waitReadable(int32_t ms) = 0;
  virtual bool waitWritable(int32_t ms) = 0;
  // Up to n bytes: the count moved, 0 when the peer has closed (reading), -1 on failure.
  virtual int32_t read(uint8_t* bytes, int32_t n) = 0;
  virtual int32_t write(const uint8_t* bytes, int32_t n) = 0;
  // Why the last read or write failed.
  virtual std::string failureText() const = 0;

  // read() and write() when they would not block, else kWouldBlock without waiting.
  static constexpr int32_t kWouldBlock = platform::kWouldBlock;
  virtual int32_t tryRead(uint8_t* bytes, int32_t n) {
    return waitReadable(0) ? read(bytes, n) : kWouldBlock;
  }
  virtual int32_t tryWrite(const uint8_t* bytes, int32_t n) {
    return waitWritable(0) ? write(bytes, n) : kWouldBlock;
  }
};

// A connected stream socket.
class SocketStream : public ByteStream {
 public:
  explicit SocketStream(platform::SocketHandle socket) : socket_(socket) {}
  bool waitReadable(int32_t ms) override;
  bool waitWritable(int32_t ms) override;
  int32_t read(uint8_t* bytes, int32_t n) override;
  int32_t write(const uint8_t* bytes, int32_t n) override;
  std::string failureText() const override { return platform::socketErrorText(); }
  int32_t tryRead(uint8_t* bytes, int32_t n) override {
    return platform::receiveAvailable(socket_, bytes, n);
  }
  int32_t tryWrite(const uint8_t* bytes, int32_t n) override {
    return platform::sendAvailable(socket_, bytes, n);
  }

 private:
  platform::SocketHandle socket_;
};

// Reads a fixed byte sequence, at most `chunk` bytes per read, then reports the peer closed;
// collects what is written. Never waits.
class MemoryStream : public ByteStream {
 public:
  explicit MemoryStream(std::vector<uint8_t> input, int32_t chunk = 1 << 30)
      : input_(std::move(input)), chunk_(chunk < 1 ? 1 : chunk) {}
  bool waitReadable(int32_t) override { return true; }
  bool waitWritable(int32_t) override { return true; }
  int32_t read(uint8_t* bytes, int32_t n) override;
  int32_t write(const uint8_t* bytes, int32_t n) override;
  std::string failureText() const override { return "memory stream"; }

  const std::vector<uint8_t>& written() const { return output_; }
  size_t unread() const { return input_.size() - position_; }

 private:
  std::vector<uint8_t> input_;
  size_t position_ = 0;
  int32_t chunk_;
  std::vector<uint8_t> output_;
};

}  // namespace tq

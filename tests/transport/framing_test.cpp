// The frame code on hand-made byte sequences (a memory stream stands in for the socket).
#include "transport/framing.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "support/loopback.h"
#include "transport/compression.h"
#include "transport/limits.h"

namespace tq {
namespace {

using test::appendInt32;
using test::frameHeader;
using Bytes = std::vector<uint8_t>;

Bytes zlibOf(const std::string& text) {
  uLongf n = compressBound(static_cast<uLong>(text.size()));
  Bytes out(n);
  compress(out.data(), &n, reinterpret_cast<const Bytef*>(text.data()),
           static_cast<uLong>(text.size()));
  out.resize(n);
  return out;
}

Bytes frameOf(const Bytes& body, int32_t length) {
  Bytes out = frameHeader(2, static_cast<int32_t>(body.size()), length);
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

struct Read {
  std::unique_ptr<uint8_t[]> body;
  int32_t n = 0;
  Error error;
  std::string text() const { return body ? std::string(body.get(), body.get() + n) : ""; }
};

Read readFrame(MemoryStream& in) {
  Read r;
  r.body = readTcpFrame(in, 5000, r.error, r.n);
  return r;
}

Read readFrame(const Bytes& bytes, int32_t chunk = 1 << 30) {
  MemoryStream in(bytes, chunk);
  return readFrame(in);
}

TEST(TcpFrame, GoldenBytesForAShortBody) {
  MemoryStream out({});
  Error error;
  const std::string body = "hello, supervisor";
  int32_t sent = writeTcpFrame(out, reinterpret_cast<const uint8_t*>(body.data()),
                               static_cast<int32_t>(body.size()), 50, error);
  std::ifstream golden(TQ_TEST_SOURCE_DIR "/transport/golden/hello_frame.bin", std::ios::binary);
  Bytes expected((std::istreambuf_iterator<char>(golden)), std::istreambuf_iterator<char>());
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(out.written(), expected);
  EXPECT_EQ(sent, static_cast<int32_t>(expected.size()) - 9);
}

TEST(TcpFrame, RoundTripsAnyBodyEvenReadOneByteAtATime) {
  std::string body(100000, '\0');
  for (size_t i = 0; i < body.size(); ++i) body[i] = static_cast<char>((i * 7919) >> 3);
  MemoryStream out({});
  Error error;
  ASSERT_GT(writeTcpFrame(out, reinterpret_cast<const uint8_t*>(body.data()),
                          static_cast<int32_t>(body.size()), 50, error),
            0);
  Read r = readFrame(out.written(), 1);
  ASSERT_TRUE(r.body) << r.error.text();
  EXPECT_EQ(r.text(), body);
}

TEST(TcpFrame, VersionByteOneIsRefusedAndTheRestStaysUnread) {
  Bytes bytes = frameOf(zlibOf("abc"), 3);
  bytes[0] = 1;
  MemoryStream in(bytes);
  Read r = readFrame(in);
  EXPECT_FALSE(r.body);
  EXPECT_EQ(r.error.code(), 18);
  EXPECT_EQ(r.error.text(), TqString("tcp comm version doesn't match - version: 1"));
  EXPECT_EQ(in.unread(), bytes.size() - 1);
}

TEST(TcpFrame, VersionByteIsReportedSigned) {
  Read r = readFrame(Bytes{0xFF, 0, 0, 0, 1});
  EXPECT_EQ(r.error.text(), TqString("tcp comm version doesn't match - version: -1"));
}

TEST(TcpFrame, ZeroLengthIsRefusedBeforeTheBodyIsRead) {
  Bytes bytes = frameOf(zlibOf("abc"), 0);
  MemoryStream in(bytes);
  Read r = readFrame(in);
  EXPECT_EQ(r.error.code(), 20);
  EXPECT_EQ(r.error.text().str(), "no data in comm: the frame header claims " +
                                      std::to_string(zlibOf("abc").size()) +
                                      " compressed bytes and 0 in all (each must be 1 to " +
                                      std::to_string(maxFrameBody()) + ")");
  EXPECT_EQ(in.unread(), bytes.size() - 9);
  EXPECT_EQ(readFrame(frameHeader(2, 0, 5)).error.code(), 20);
  EXPECT_EQ(readFrame(frameHeader(2, -7, 5)).error.code(), 20);
  EXPECT_EQ(readFrame(frameHeader(2, 5, -1)).error.code(), 20);
}

TEST(TcpFrame, HostileLengthsAreRefusedBeforeAnythingIsAllocated) {
  // Lengths up to 2 GiB, which a 32-bit process could neither allocate nor double.
  EXPECT_EQ(readFrame(frameHeader(2, 0x7FFFFFFF, 10)).error.code(), 20);
  EXPECT_EQ(readFrame(frameHeader(2, 10, 0x7FFFFFFF)).error.code(), 20);
  EXPECT_EQ(readFrame(frameHeader(2, maxFrameBody() + 1, 10)).error.code(), 20);
  // Ten bytes of zlib cannot inflate to a megabyte.
  EXPECT_EQ(readFrame(frameHeader(2, 10, 1 << 20)).error.code(), 21);
}

TEST(TcpFrame, PeerClosingEarlyEndsTheReceive) {
  EXPECT_EQ(readFrame(Bytes{}).error.code(), 16);
  EXPECT_EQ(readFrame(Bytes{}).error.text(),
            TqString("blank message: connection closed by peer without an answer"));
  Read header = readFrame(Bytes{2, 0, 0});
  EXPECT_EQ(header.error.code(), 19);
  EXPECT_EQ(header.error.text(),
            TqString("couldn't read tcp comm length: connection closed by peer"));
  Bytes body = frameOf(zlibOf("abcdef"), 6);
  body.resize(body.size() - 2);
  Read cut = readFrame(body, 3);
  EXPECT_EQ(cut.error.code(), 41);
  // A code without a text of its own reads as its reason.
  const size_t sent = zlibOf("abcdef").size();
  EXPECT_EQ(cut.error.text().str(), "connection closed by peer inside a message, after " +
                                        std::to_string(sent - 2) + " of its " +
                                        std::to_string(sent) + " bytes");
}

TEST(TcpFrame, BodyMustInflateToExactlyL) {
  Bytes z = zlibOf("0123456789");
  EXPECT_EQ(readFrame(frameOf(z, 9)).error.code(), 21);                   // inflates past L
  EXPECT_EQ(readFrame(frameOf(z, 11)).error.code(), 21);                  // falls short of L
  EXPECT_EQ(readFrame(frameOf(Bytes{1, 2, 3, 4}, 10)).error.code(), 21);  // not zlib
  EXPECT_EQ(readFrame(frameOf(z, 10)).text(), "0123456789");
}

TEST(TcpFrame, SenderFramesAnEmptyBodyThatNoReceiverTakes) {
  MemoryStream out({});
  Error error;
  EXPECT_GT(writeTcpFrame(out, nullptr, 0, 50, error), 0);
  EXPECT_EQ(readFrame(out.written()).error.code(), 20);
}

TEST(Compression, ThinWrappersOverZlib) {
  const std::string text(5000, 'x');
  int32_t c = -1;
  auto z = compressBody(reinterpret_cast<const uint8_t*>(text.data()), 5000, c);
  ASSERT_TRUE(z);
  EXPECT_LT(c, 100);
  auto back = uncompressBody(z.get(), c, 5000);
  ASSERT_TRUE(back);
  EXPECT_EQ(std::string(back.get(), back.get() + 5000), text);
  EXPECT_FALSE(uncompressBody(z.get(), c, 4999));
  EXPECT_FALSE(compressBody(nullptr, -1, c));
  EXPECT_EQ(c, 0);
}

TEST(Compression, TheKeptStreamWritesWhatCompressWritesCallAfterCallAndAcrossThreads) {
  // Bodies of every shape, in an order that makes the kept stream carry state from a large
  // body into an empty one and back.
  std::string mixed;
  for (uint32_t i = 0; i < 300000; ++i) mixed.push_back(static_cast<char>(i * 7919u % 251u));
  const std::vector<std::string> bodies = {
      std::string(1223, 'j'), mixed, "", "a", mixed.substr(0, 70000), std::string(1223, 'j')};
  auto compressedOf = [](const std::string& body) {
    int32_t c = -1;
    auto z = compressBody(reinterpret_cast<const uint8_t*>(body.data()),
                          static_cast<int32_t>(body.size()), c, 10);
    return z ? Bytes(z.get() + 10, z.get() + 10 + c) : Bytes{};
  };
  // (Compared as booleans: a printed difference of 300,000 bytes would help nobody.)
  for (const std::string& body : bodies)
    EXPECT_TRUE(compressedOf(body) == zlibOf(body)) << body.size() << " bytes";
  // Two threads at once: one of them sets up a stream of its own; both get compress()'s bytes.
  std::vector<Bytes> results(2 * bodies.size());
  std::thread other([&] {
    for (size_t i = 0; i < bodies.size(); ++i) results[i] = compressedOf(bodies[i]);
  });
  for (size_t i = 0; i < bodies.size(); ++i) results[bodies.size() + i] = compressedOf(bodies[i]);
  other.join();
  for (size_t i = 0; i < results.size(); ++i)
    EXPECT_TRUE(results[i] == zlibOf(bodies[i % bodies.size()])) << "body " << i;
}

struct Datagram {
  std::unique_ptr<uint8_t[]> body;
  int32_t n = 0;
  Error error;
};

Datagram parse(const Bytes& bytes) {
  Datagram d;
  d.body = parseDatagram(bytes.data(), static_cast<int32_t>(bytes.size()), d.error, d.n);
  return d;
}

TEST(UdpDatagram, HeaderThenBodyUncompressed) {
  Bytes d;
  Error error;
  ASSERT_TRUE(buildDatagram(reinterpret_cast<const uint8_t*>("abc"), 3, d, error));
  EXPECT_EQ(d, (Bytes{2, 0, 0, 0, 3, 'a', 'b', 'c'}));
  Datagram back = parse(d);
  ASSERT_TRUE(back.body);
  EXPECT_EQ(std::string(back.body.get(), back.body.get() + back.n), "abc");
}

TEST(UdpDatagram, ShortEmptyOrOverlongIsBlank) {
  EXPECT_EQ(parse(Bytes{2, 0, 0, 0, 1}).error.code(), 30);  // header only
  EXPECT_EQ(parse(Bytes{2}).error.code(), 30);
  EXPECT_EQ(parse(Bytes{2, 0, 0, 0, 0, 'x'}).error.code(), 30);
  EXPECT_EQ(parse(Bytes{2, 0xFF, 0xFF, 0xFF, 0xFF, 'x'}).error.code(), 30);
  // L claims more than arrived: refused rather than read past the datagram.
  EXPECT_EQ(parse(Bytes{2, 0, 0, 0, 9, 'x', 'y'}).error.code(), 30);
  EXPECT_EQ(parse(Bytes{2, 0, 0, 0, 1, 'x'}).error.code(), 0);
  Datagram v = parse(Bytes{7, 0, 0, 0, 1, 'x'});
  EXPECT_EQ(v.error.text(), TqString("udp comm version doesn't match - version: 7"));
}

TEST(RawStream, ReadsUntilThePeerCloses) {
  Bytes bytes(1000);
  for (size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<uint8_t>(i);
  MemoryStream in(bytes, 7);
  Error error;
  int32_t n = -1;
  auto got = readRaw(in, 50, error, n);
  ASSERT_TRUE(got);
  EXPECT_EQ(Bytes(got.get(), got.get() + n), bytes);
  MemoryStream empty({});
  auto none = readRaw(empty, 50, error, n);
  EXPECT_TRUE(none);
  EXPECT_EQ(n, 0);
}

TEST(RawStream, StopsAtTheFrameLimitLeavingTheRest) {
  int32_t previous = maxFrameBody();
  setMaxFrameBody(1000);
  MemoryStream in(Bytes(5000, 'r'), 300);
  Error error;
  int32_t n = 0;
  auto got = readRaw(in, 50, error, n);
  setMaxFrameBody(previous);
  EXPECT_EQ(n, 1000);
  EXPECT_EQ(in.unread(), 4000u);
}

}  // namespace
}  // namespace tq

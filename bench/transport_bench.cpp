// Cost of the TCP frame: one submit-sized message (a job list of one render job) and a job list
// of 10,000 render jobs, sent and received as frames over a loopback connection, beside zlib's
// own compress() and uncompress() of the same body in the same run. The counter
// "frame_vs_zlib" is the frame's time over zlib's one-shot calls; the frame keeps its deflate
// stream between calls, so "frame_vs_zlib_stream" also compares it with zlib driven the same
// way (deflateReset on one stream, then uncompress): what framing and the socket add.
#include <benchmark/benchmark.h>
#include <zlib.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "client/static_host.h"
#include "client/submitter.h"
#include "job/message.h"
#include "transport/comm.h"
#include "transport/listener.h"

namespace {

using Clock = std::chrono::steady_clock;

std::string submitBody(int jobs) {
  tq::StaticHost host;
  host.project = "D:/jobs/shot.aep";
  host.composition_mode = true;
  host.selected = tq::TqString("Main");
  host.texts[tq::WindowItem::kFrameRange] = "1-100";
  host.texts[tq::WindowItem::kOutputFile] = "D:/renders/shot_[####].png";
  tq::JobList list;
  for (int i = 0; i < jobs; ++i) {
    host.texts[tq::WindowItem::kName] = tq::TqString(("shot_" + std::to_string(i)).c_str());
    list.append(tq::Submitter(host).buildJob());
  }
  tq::Message request(200);
  request.user = "ann";
  request.setContentRef(list);
  request.encode();
  std::string body(request.encoded());
  request.releaseContent();
  return body;
}

struct Connection {
  tq::Listener listener;
  std::unique_ptr<tq::Comm> client;
  std::unique_ptr<tq::Comm> server;
  Connection() {
    listener.add(0x7F000001u, 0, tq::Comm::kTcp);
    client = std::make_unique<tq::Comm>("127.0.0.1", listener.port(0), tq::Comm::kTcp);
    server = listener.accept(-1);
    client->setTimeout(60000);
    server->setTimeout(60000);
  }
};

double seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

void BM_TcpFrame(benchmark::State& state) {
  const std::string body = submitBody(static_cast<int>(state.range(0)));
  const auto* bytes = reinterpret_cast<const uint8_t*>(body.data());
  const auto n = static_cast<int32_t>(body.size());
  Connection c;
  double frame_time = 0, zlib_time = 0, stream_time = 0;
  z_stream kept{};
  deflateInit(&kept, Z_DEFAULT_COMPRESSION);
  std::vector<uint8_t> packed(compressBound(static_cast<uLong>(n))), unpacked(body.size());
  for (auto _ : state) {
    auto start = Clock::now();
    int32_t received = 0;
    std::unique_ptr<uint8_t[]> got;
    if (n < (64 << 10)) {
      c.client->send(bytes, n);
      got = c.server->receive(received);
    } else {
      // A large frame does not fit the socket buffers: the peer reads while we write.
      std::thread peer([&] { got = c.server->receive(received); });
      c.client->send(bytes, n);
      peer.join();
    }
    frame_time += seconds(Clock::now() - start);
    if (received != n) state.SkipWithError("frame lost");

    start = Clock::now();
    uLongf packed_n = static_cast<uLongf>(packed.size()), unpacked_n = unpacked.size();
    compress(packed.data(), &packed_n, bytes, static_cast<uLong>(n));
    uncompress(unpacked.data(), &unpacked_n, packed.data(), packed_n);
    zlib_time += seconds(Clock::now() - start);
    benchmark::DoNotOptimize(unpacked.data());

    start = Clock::now();
    deflateReset(&kept);
    kept.next_in = const_cast<Bytef*>(bytes);
    kept.avail_in = static_cast<uInt>(n);
    kept.next_out = packed.data();
    kept.avail_out = static_cast<uInt>(packed.size());
    if (deflate(&kept, Z_FINISH) != Z_STREAM_END) state.SkipWithError("deflate failed");
    unpacked_n = unpacked.size();
    uncompress(unpacked.data(), &unpacked_n, packed.data(), kept.total_out);
    stream_time += seconds(Clock::now() - start);
    benchmark::DoNotOptimize(unpacked.data());
  }
  double iterations = static_cast<double>(state.iterations());
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * n);
  state.counters["body_bytes"] = n;
  state.counters["frame_us"] = frame_time / iterations * 1e6;
  state.counters["zlib_us"] = zlib_time / iterations * 1e6;
  state.counters["zlib_stream_us"] = stream_time / iterations * 1e6;
  state.counters["frame_vs_zlib"] = frame_time / zlib_time;
  state.counters["frame_vs_zlib_stream"] = frame_time / stream_time;
  deflateEnd(&kept);
}
BENCHMARK(BM_TcpFrame)->Arg(1)->Arg(10000)->Unit(benchmark::kMicrosecond);

}  // namespace

// Speed of the record codecs: a list of 10,000 job ids and a record holding a 1 MiB string, in
// the binary field stream and the text form. Reports bytes per second of encoding.
#include <benchmark/benchmark.h>

#include <string>

#include "records/basic_records.h"

namespace {

tq::JobIdList makeIds() {
  tq::JobIdList list;
  for (int i = 0; i < 10000; ++i) list.append(tq::JobId(i, i % 7));
  return list;
}

tq::ErrorText makeBig() {
  tq::ErrorText big;
  big.value = tq::TqString(std::string(1 << 20, 'x'));
  return big;
}

template <class R>
void encodeBinary(benchmark::State& state, R record) {
  int64_t bytes = 0;
  for (auto _ : state) {
    bytes += record.encode();
    benchmark::DoNotOptimize(record.buffer());
  }
  state.SetBytesProcessed(bytes);
}

template <class R>
void decodeBinary(benchmark::State& state, R record) {
  record.encode();
  std::string bytes(record.encoded());
  int64_t total = 0;
  for (auto _ : state) {
    R fresh;
    fresh.decode(reinterpret_cast<const uint8_t*>(bytes.data()),
                 static_cast<int32_t>(bytes.size()));
    benchmark::DoNotOptimize(fresh);
    total += static_cast<int64_t>(bytes.size());
  }
  state.SetBytesProcessed(total);
}

template <class R>
void encodeText(benchmark::State& state, R record) {
  int64_t bytes = 0;
  for (auto _ : state) {
    bytes += record.encodeText();
    benchmark::DoNotOptimize(record.buffer());
  }
  state.SetBytesProcessed(bytes);
}

template <class R>
void decodeText(benchmark::State& state, R record) {
  record.encodeText();
  std::string text = "<pack>" + std::string(record.encoded()) + "</pack>";
  int64_t total = 0;
  for (auto _ : state) {
    R fresh;
    fresh.decodeText(text.data(), static_cast<int32_t>(text.size()));
    benchmark::DoNotOptimize(fresh);
    total += static_cast<int64_t>(text.size());
  }
  state.SetBytesProcessed(total);
}

void BM_JobIdListEncodeBinary(benchmark::State& s) { encodeBinary(s, makeIds()); }
void BM_JobIdListDecodeBinary(benchmark::State& s) { decodeBinary(s, makeIds()); }
void BM_JobIdListEncodeText(benchmark::State& s) { encodeText(s, makeIds()); }
void BM_JobIdListDecodeText(benchmark::State& s) { decodeText(s, makeIds()); }
void BM_BigStringEncodeBinary(benchmark::State& s) { encodeBinary(s, makeBig()); }
void BM_BigStringDecodeBinary(benchmark::State& s) { decodeBinary(s, makeBig()); }
void BM_BigStringEncodeText(benchmark::State& s) { encodeText(s, makeBig()); }
void BM_BigStringDecodeText(benchmark::State& s) { decodeText(s, makeBig()); }

BENCHMARK(BM_JobIdListEncodeBinary);
BENCHMARK(BM_JobIdListDecodeBinary);
BENCHMARK(BM_JobIdListEncodeText);
BENCHMARK(BM_JobIdListDecodeText);
BENCHMARK(BM_BigStringEncodeBinary);
BENCHMARK(BM_BigStringDecodeBinary);
BENCHMARK(BM_BigStringEncodeText);
BENCHMARK(BM_BigStringDecodeText);

}  // namespace

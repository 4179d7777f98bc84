// Speed of the job codecs: a job_list of 1,000 render jobs, each with an agenda of 100 work
// items, in the binary field stream and the text form. Reports jobs and bytes per second.
#include <benchmark/benchmark.h>

#include <string>

#include "job/job.h"

namespace {

tq::JobList makeJobs() {
  tq::JobList jobs;
  for (int j = 0; j < 1000; ++j) {
    tq::Job job;
    job.id = j + 1;
    job.name = tq::TqString(("shot_" + std::to_string(j)).c_str());
    job.prototype = "aftereffects";
    job.user = "ann";
    job.setCpus(2);
    job.data = "(=(Project_path=D:/jobs/shot.aep)(appversion=7.0)(Comp_name=Main))";
    for (int w = 0; w < 100; ++w) {
      tq::Work work;
      work.name = tq::TqString(std::to_string(w + 1).c_str());
      work.id = w;
      work.status.value = 320;
      job.agenda.append(std::move(work));
    }
    jobs.append(std::move(job));
  }
  return jobs;
}

const tq::JobList& jobs() {
  static const tq::JobList list = makeJobs();
  return list;
}

void report(benchmark::State& state, int64_t bytes) {
  state.SetBytesProcessed(bytes);
  state.counters["jobs_per_second"] = benchmark::Counter(
      static_cast<double>(state.iterations()) * 1000, benchmark::Counter::kIsRate);
}

void BM_JobListEncodeBinary(benchmark::State& state) {
  tq::JobList list = jobs();
  int64_t bytes = 0;
  for (auto _ : state) bytes += list.encode();
  report(state, bytes);
}

void BM_JobListDecodeBinary(benchmark::State& state) {
  tq::JobList list = jobs();
  list.encode();
  std::string bytes(list.encoded());
  int64_t total = 0;
  for (auto _ : state) {
    tq::JobList fresh;
    fresh.decode(reinterpret_cast<const uint8_t*>(bytes.data()),
                 static_cast<int32_t>(bytes.size()));
    benchmark::DoNotOptimize(fresh.count());
    total += static_cast<int64_t>(bytes.size());
  }
  report(state, total);
}

void BM_JobListEncodeText(benchmark::State& state) {
  tq::JobList list = jobs();
  int64_t bytes = 0;
  for (auto _ : state) bytes += list.encodeText();
  report(state, bytes);
}

void BM_JobListDecodeText(benchmark::State& state) {
  tq::JobList list = jobs();
  list.encodeText();
  std::string text = "<pack>" + std::string(list.encoded()) + "</pack>";
  int64_t total = 0;
  for (auto _ : state) {
    tq::JobList fresh;
    fresh.decodeText(text.data(), static_cast<int32_t>(text.size()));
    benchmark::DoNotOptimize(fresh.count());
    total += static_cast<int64_t>(text.size());
  }
  report(state, total);
}

BENCHMARK(BM_JobListEncodeBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JobListDecodeBinary)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JobListEncodeText)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_JobListDecodeText)->Unit(benchmark::kMillisecond);

}  // namespace

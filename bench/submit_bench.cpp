// Cost of the road's client side against the stand-in supervisor on loopback: one stamped
// request/reply exchange, one tq::submit of a render job, and a submission of 10,000 render
// jobs. The supervisor runs on a thread of this process; everything lives in a temporary
// directory (its own tq.conf), and the counters split the time into where it goes. Wall time
// includes the stand-in's own work (it writes two files per accepted job); CPU time is the
// client's thread.
#include <benchmark/benchmark.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "client/static_host.h"
#include "client/submit.h"
#include "client/submitter.h"
#include "dev_supervisor.h"
#include "platform/environment.h"
#include "platform/stop_signal.h"
#include "transport/client.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// A stand-in supervisor on a thread, in a temporary directory that tq.conf points at.
class Farm {
 public:
  Farm() {
    auto stamp = Clock::now().time_since_epoch().count();
    dir_ = fs::temp_directory_path() / ("tq-submit-bench-" + std::to_string(stamp));
    fs::create_directories(dir_);
    for (const char* name : {"TQWINDIR", "TQTEMPDIR", "HOME"})
      tq::platform::setEnvironmentVariable(name, dir_.string());
    tq::platform::setEnvironmentVariable("TQPATH", TQ_SOURCE_DIR "/jobtypes");
    tq::DevSupervisorOptions options;
    options.data_directory = tq::TqString(dir_.string() + "/data");
    supervisor_ = std::make_unique<tq::DevSupervisor>(options);
    supervisor_->open();
    std::ofstream(dir_ / "tq.conf")
        << "supervisor_host = 127.0.0.1\nsupervisor_port = " << supervisor_->port() << "\n";
    thread_ = std::thread([this] { supervisor_->run(); });
  }
  ~Farm() {
    tq::platform::requestStop();
    thread_.join();
    fs::remove_all(dir_);
  }

 private:
  fs::path dir_;
  std::unique_ptr<tq::DevSupervisor> supervisor_;
  std::thread thread_;
};

Farm& farm() {
  static Farm f;
  return f;
}

tq::JobList renderJobs(int count) {
  tq::StaticHost host;
  host.project = "D:/jobs/shot.aep";
  host.composition_mode = true;
  host.selected = tq::TqString("Main");
  host.texts[tq::WindowItem::kFrameRange] = "1-100";
  tq::JobList jobs;
  for (int i = 0; i < count; ++i) {
    host.texts[tq::WindowItem::kName] = tq::TqString(("shot_" + std::to_string(i)).c_str());
    jobs.append(tq::Submitter(host).buildJob());
  }
  return jobs;
}

double micros(Clock::duration d) { return std::chrono::duration<double, std::micro>(d).count(); }

// One exchange of a submission-sized request: the stand-in answers it (tag 77) with a refusal,
// without the job files it writes for a real submission, so this is the road's own cost.
void BM_Exchange(benchmark::State& state) {
  farm();
  tq::JobList jobs = renderJobs(1);
  for (auto _ : state) {
    tq::Client client;
    tq::applyOverrides(client);
    tq::Message request(77), reply;
    request.setContentRef(jobs);
    bool ok = client.request(request, reply);
    request.releaseContent();
    if (!ok) state.SkipWithError("exchange failed");
  }
}
BENCHMARK(BM_Exchange)->Unit(benchmark::kMicrosecond);

void BM_Submit(benchmark::State& state) {
  farm();
  const int count = static_cast<int>(state.range(0));
  double build_us = 0, submit_us = 0;
  for (auto _ : state) {
    auto start = Clock::now();
    tq::JobList jobs = renderJobs(count), accepted;
    auto built = Clock::now();
    if (!tq::submit(jobs, accepted) || accepted.count() != count)
      state.SkipWithError("submission failed");
    build_us += micros(built - start);
    submit_us += micros(Clock::now() - built);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["build_jobs_us"] = build_us / n;
  state.counters["submit_us"] = submit_us / n;
}
BENCHMARK(BM_Submit)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Submit)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

// Where the client's time goes: completing the jobs (an offline submission sends nothing), and
// encoding the request (the frame's cost is in transport_bench).
void BM_SubmitParts(benchmark::State& state) {
  farm();
  const int count = static_cast<int>(state.range(0));
  double prepare_us = 0, encode_us = 0;
  for (auto _ : state) {
    tq::JobList jobs = renderJobs(count), accepted;
    auto start = Clock::now();
    tq::setOffline("bench");
    tq::submit(jobs, accepted);
    tq::setOffline("");
    auto prepared = Clock::now();
    tq::Message request(200);
    request.setContentRef(jobs);
    benchmark::DoNotOptimize(request.encode());
    request.releaseContent();
    prepare_us += micros(prepared - start);
    encode_us += micros(Clock::now() - prepared);
  }
  double n = static_cast<double>(state.iterations());
  state.counters["prepare_us"] = prepare_us / n;
  state.counters["encode_us"] = encode_us / n;
}
BENCHMARK(BM_SubmitParts)->Arg(1)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SubmitParts)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

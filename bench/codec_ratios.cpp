// The record codecs against anchors measured in the same run, printed as ratios:
//   binary encode and decode of a job list   / protobuf, with the same fields (bench/proto/)
//   text read                                / Expat alone over the same text, fed whole and
//                                              in pieces of 256 KiB
//   text write                               / a plain copy of the written bytes
//   memory of a decoded 10,000-job list      / its binary encoding
// Two data sets of render jobs, each job with an agenda of 100 work items and an environment of
// 30 variables, in two shapes of string:
//   set A   names "shot_<n>", a 68-byte package, keys "VAR_<n>", values of 20 bytes;
//   set B   what a farm holds after a submission: names of 14 bytes ("shot_0042_comp"),
//           packages of about 230 bytes, work items "1" to "100", keys of 11 bytes
//           ("VARIABLE_07") and values of 40 to 69 bytes; most strings shorter than 16 bytes.
// 1,000 jobs, and 10 for the small-list figures (binary and text). Each time is the best of
// several runs, on a heap kept warm. Without protobuf the binary ratios are skipped with a message.
#include <expat.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "job/job.h"

#ifdef TQ_HAVE_PROTOBUF
#include "job_twin.pb.h"
#endif

namespace {

using tq::TqString;

TqString text(const std::string& s) { return TqString(std::string_view(s)); }

enum class Shape { kA, kB };

const char* shapeName(Shape shape) { return shape == Shape::kA ? "set A" : "set B"; }

std::string padded(int value, int width) {
  std::string digits = std::to_string(value);
  return std::string(static_cast<size_t>(std::max(0, width - static_cast<int>(digits.size()))),
                     '0') +
         digits;
}

// A package of about 230 bytes, as the submission window writes for one composition.
std::string packageB(int32_t id) {
  return "(=(Project_path=//fileserver/projects/show/shots/shot_" + padded(id % 10000, 4) +
         "/comp/shot_" + padded(id % 10000, 4) + "_comp_v012.aep)(appversion=7.0)" +
         "(Comp_name=shot_" + padded(id % 10000, 4) + "_comp)(Output_path=//fileserver/" +
         "renders/show/shot_" + padded(id % 10000, 4) + "/v012/frame_[#####].tif)" +
         "(Frames=1-100)(Chunk=10))";
}

tq::Job renderJob(int32_t id, Shape shape) {
  tq::Job job;
  job.id = id;
  job.prototype = "aftereffects";
  job.user = "ann";
  job.setCpus(2);
  if (shape == Shape::kA) {
    job.name = text("shot_" + std::to_string(id));
    job.data = "(=(Project_path=D:/jobs/shot.aep)(appversion=7.0)(Comp_name=Main))";
  } else {
    job.name = text("shot_" + padded(id % 10000, 4) + "_comp");
    job.data = text(packageB(id));
  }
  for (int v = 0; v < 30; ++v) {
    if (shape == Shape::kA) {
      job.env.setVariable(text("VAR_" + std::to_string(v)),
                          text("/value/of/variable/" + std::to_string(v)));
    } else {
      // Values of 40 to 69 bytes: a path grown by one byte per variable.
      std::string value = "/usr/local/share/render/plugins/v" + padded(v, 2) + "/";
      value.append(static_cast<size_t>(40 + v) - value.size() - 2, 'x');
      value += padded(v, 2);
      job.env.setVariable(text("VARIABLE_" + padded(v, 2)), text(value));
    }
  }
  for (int w = 0; w < 100; ++w) {
    tq::Work work;
    work.name = text(std::to_string(w + 1));
    work.id = w;
    work.status.value = 320;
    job.agenda.append(std::move(work));
  }
  return job;
}

tq::JobList renderJobs(int n, Shape shape) {
  tq::JobList list;
  for (int j = 0; j < n; ++j) list.append(renderJob(j + 1, shape));
  return list;
}

double best(int runs, const std::function<void()>& f) {
  double best_seconds = 1e30;
  for (int i = 0; i < runs; ++i) {
    auto start = std::chrono::steady_clock::now();
    f();
    double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    best_seconds = std::min(best_seconds, s);
  }
  return best_seconds;
}

void ratio(const char* what, const char* anchor, double ours, double theirs) {
  std::printf("%-28s ours %9.3f ms  %-15s %9.3f ms  ratio %5.2f\n", what, ours * 1e3, anchor,
              theirs * 1e3, ours / theirs);
}

#ifdef TQ_HAVE_PROTOBUF
void twinJob(const tq::Job& job, tqbench::Job& out) {
  out.set_id(job.id);
  out.set_pid(job.pid);
  out.set_pgrp(job.pgrp);
  out.set_priority(job.priority);
  out.set_user(job.user.str());
  out.mutable_status()->set_value(job.status.value);
  out.set_name(job.name.str());
  out.set_cpus(job.cpus);
  out.set_data(job.data.str());
  out.set_prototype(job.prototype.str());
  out.set_timeout(job.timeout);
  out.set_retry_subjob(job.retry_subjob);
  out.set_retry_work(job.retry_work);
  for (int32_t i = 0; i < job.env.keys.count(); ++i) {
    out.mutable_env()->add_keys(job.env.keys[i].str());
    out.mutable_env()->add_values(job.env.values[i].str());
  }
  // Every sub-record the job always writes.
  out.mutable_cpus_tally();
  out.mutable_todo_tally();
  out.mutable_time_submit();
  out.mutable_time_complete();
  out.mutable_time_start();
  out.mutable_last_update();
  out.mutable_agenda_status();
  out.mutable_subjob_status();
  out.mutable_path_map();
  out.mutable_deadline();
  out.mutable_source_host();
  out.mutable_mask_status();
  for (int32_t w = 0; w < job.agenda.count(); ++w) {
    const tq::Work& work = job.agenda[w];
    tqbench::Work* t = out.add_agenda();
    t->set_name(work.name.str());
    t->set_id(work.id);
    t->mutable_status()->set_value(work.status.value);
    t->mutable_address();
    t->mutable_last_update();
    t->mutable_time_start();
    t->mutable_time_complete();
    t->mutable_mac_address();
  }
}

tqbench::JobList twinList(const tq::JobList& list) {
  tqbench::JobList out;
  for (int32_t j = 0; j < list.count(); ++j) twinJob(list[j], *out.add_items());
  return out;
}
#endif

void binaryRatios(const char* label, const tq::JobList& list, int runs) {
  tq::JobList ours = list;
  ours.encode();
  std::string bytes(ours.encoded());
  double encode = best(runs, [&] { ours.encode(); });
  double decode = best(runs, [&] {
    tq::JobList fresh;
    fresh.decode(reinterpret_cast<const uint8_t*>(bytes.data()),
                 static_cast<int32_t>(bytes.size()));
  });
#ifdef TQ_HAVE_PROTOBUF
  tqbench::JobList twin = twinList(list);
  std::string pb;
  twin.SerializeToString(&pb);
  double pb_encode = best(runs, [&] { twin.SerializeToString(&pb); });
  double pb_decode = best(runs, [&] {
    tqbench::JobList fresh;
    fresh.ParseFromString(pb);
  });
  std::printf("%s: %zu bytes ours, %zu bytes protobuf\n", label, bytes.size(), pb.size());
  ratio("binary encode", "protobuf", encode, pb_encode);
  ratio("binary decode", "protobuf", decode, pb_decode);
#else
  std::printf("%s: binary encode %.3f ms, decode %.3f ms (protobuf is not installed: no ratio)\n",
              label, encode * 1e3, decode * 1e3);
#endif
}

void XMLCALL noStart(void*, const XML_Char*, const XML_Char**) {}
void XMLCALL noEnd(void*, const XML_Char*) {}
void XMLCALL noText(void*, const XML_Char*, int) {}

void textRatios(const char* label, const tq::JobList& list, int runs) {
  tq::JobList ours = list;
  int32_t n = ours.encodeText();
  std::string written(ours.encoded());
  std::string wrapped = "<pack>\n" + written + "\n</pack>";
  std::vector<char> copy(written.size());
  // Writing takes a hundredth of reading: more runs for it and its anchor cost little and
  // steady the figure on a busy machine.
  double write = best(runs * 5, [&] { ours.encodeText(); });
  double memcpy_time = best(runs * 5, [&] {
    std::memcpy(copy.data(), ours.buffer(), static_cast<size_t>(n));
    asm volatile("" : : "r"(copy.data()) : "memory");
  });
  double read = best(runs, [&] {
    tq::JobList fresh;
    fresh.decodeText(wrapped.data(), static_cast<int32_t>(wrapped.size()));
  });
  // Expat over the whole text at once, and (as our reader feeds it) in pieces of 256 KiB.
  auto expatIn = [&](size_t piece) {
    return best(runs, [&] {
      XML_Parser p = XML_ParserCreate("ISO-8859-1");
      XML_SetElementHandler(p, noStart, noEnd);
      XML_SetCharacterDataHandler(p, noText);
      for (size_t at = 0; at < wrapped.size(); at += piece) {
        size_t part = std::min(piece, wrapped.size() - at);
        XML_Parse(p, wrapped.data() + at, static_cast<int>(part), at + part == wrapped.size());
      }
      XML_ParserFree(p);
    });
  };
  double expat = expatIn(wrapped.size()), expat_pieces = expatIn(256 * 1024);
  std::printf("%s: %zu bytes of text\n", label, written.size());
  ratio("text read", "Expat", read, expat);
  ratio("text read", "Expat in pieces", read, expat_pieces);
  ratio("text write", "memcpy", write, memcpy_time);
}

// Bytes in use on the heap (freed memory that the allocator keeps does not count).
int64_t heapInUse() {
  struct mallinfo2 info = mallinfo2();
  return static_cast<int64_t>(info.uordblks + info.hblkhd);
}

void memoryRatio(Shape shape) {
  const int kJobs = 10000;
  std::string bytes;
  {
    tq::Job job = renderJob(1, shape);
    tq::JobList one;
    one.append(job);
    one.encode();
    std::string element(one.encoded().substr(12));
    bytes.reserve(12 + element.size() * kJobs);
    bytes.append(one.encoded().substr(0, 8));
    int32_t count = kJobs;
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(static_cast<char>(count >> shift));
    for (int i = 0; i < kJobs; ++i) bytes += element;
  }
  int64_t before = heapInUse();
  tq::JobList list;
  list.decode(reinterpret_cast<const uint8_t*>(bytes.data()), static_cast<int32_t>(bytes.size()));
  int64_t after = heapInUse();
  double per_job = static_cast<double>(after - before) / kJobs;
  double encoded_per_job = static_cast<double>(bytes.size()) / kJobs;
  std::printf(
      "%s memory: %d jobs decoded, %.0f bytes per job in memory, %.0f encoded  ratio %5.2f\n",
      shapeName(shape), list.count(), per_job, encoded_per_job, per_job / encoded_per_job);
}

}  // namespace

int main() {
  // The heap stays with the process between runs (no trimming, large blocks on the heap too),
  // so that every run of either codec finds the same warm heap: the times are of the codecs,
  // not of the page faults that refill a heap given back to the system.
  mallopt(M_TRIM_THRESHOLD, 1 << 30);
  mallopt(M_MMAP_THRESHOLD, 32 << 20);
  for (Shape shape : {Shape::kA, Shape::kB}) {
    const char* name = shapeName(shape);
    std::string large_label = std::string(name) + ", 1,000 jobs";
    std::string small_label = std::string(name) + ", 10 jobs";
    tq::JobList large = renderJobs(1000, shape);
    tq::JobList small = renderJobs(10, shape);
    binaryRatios(large_label.c_str(), large, 7);
    binaryRatios(small_label.c_str(), small, 301);
    textRatios(large_label.c_str(), large, 5);
    textRatios(small_label.c_str(), small, 101);
    memoryRatio(shape);
  }
  return 0;
}

// The stand-in supervisor serving on a thread of the test, on free ports of 127.0.0.1, until
// the test is done with it.
#pragma once

#include <cstdint>
#include <thread>

#include "dev_supervisor.h"

namespace tq::test {

class RunningSupervisor {
 public:
  explicit RunningSupervisor(DevSupervisorOptions options) : supervisor_(std::move(options)) {
    supervisor_.setWaitTimeout(20);
    opened_ = supervisor_.open();
    if (opened_) thread_ = std::thread([this] { served_ = supervisor_.run(); });
  }
  ~RunningSupervisor() { stop(); }
  RunningSupervisor(const RunningSupervisor&) = delete;
  RunningSupervisor& operator=(const RunningSupervisor&) = delete;

  // Stops serving and answers the number of requests served.
  int32_t stop() {
    supervisor_.stop();
    if (thread_.joinable()) thread_.join();
    return served_;
  }
  bool opened() const { return opened_; }
  DevSupervisor& supervisor() { return supervisor_; }
  // tq.conf lines that send every client operation and job program to this supervisor.
  std::string configLines() const {
    return "supervisor_host = 127.0.0.1\nsupervisor_port = " + std::to_string(supervisor_.port()) +
           "\nsupervisor_sub_port = " + std::to_string(supervisor_.subPort()) +
           "\nworker_port = " + std::to_string(supervisor_.workerPort()) + "\n";
  }

 private:
  DevSupervisor supervisor_;
  std::thread thread_;
  bool opened_ = false;
  int32_t served_ = 0;
};

}  // namespace tq::test

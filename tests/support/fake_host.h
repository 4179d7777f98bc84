// The host of the submit action's tests: a StaticHost with a sample project.
#pragma once

#include "client/static_host.h"

namespace tq::test {

class FakeHost : public StaticHost {
 public:
  FakeHost() { project = "D:/jobs/shot.aep"; }
};

}  // namespace tq::test

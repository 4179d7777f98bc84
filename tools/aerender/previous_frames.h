// Frame files that are there before a run: moved aside, so that only what the run writes
// counts as written, and put back afterwards where the run did not write them again (a failed
// run loses nothing an earlier one rendered).
//
// A file "F" is renamed "F.tq-aerender-previous" (a copy of that name left by an earlier run
// that was ended is removed first). Where the rename fails, the file stays and counts as
// written when its modification time (seconds) or size changed.
#pragma once

#include <cstdint>
#include <map>
#include <string>

namespace tq::aerender {

inline constexpr char kPreviousSuffix[] = ".tq-aerender-previous";

class PreviousFrames {
 public:
  PreviousFrames() = default;
  // Settles every file moved aside.
  ~PreviousFrames();
  PreviousFrames(const PreviousFrames&) = delete;
  PreviousFrames& operator=(const PreviousFrames&) = delete;

  // Before the run, for each file the run is asked to write.
  void moveAside(const std::string& path);
  // After the run: whether the run wrote the file.
  bool written(const std::string& path) const;
  // Removes the previous copy of each file written, and puts back the others.
  void settle();

 private:
  struct Previous {
    bool moved = false;
    int64_t time = -1;  // where it was not moved
    int64_t size = -1;
  };
  std::map<std::string, Previous> previous_;
};

}  // namespace tq::aerender

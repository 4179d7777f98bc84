// The frames of a render: which frames a work item or the job's Frame_range names, how they are
// cut into runs of the renderer, where the renderer writes each frame, and which frame one of
// its progress lines reports. tq-aerender and the stand-in renderer share these rules.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tq::aerender {

// One run of the renderer: frames first, first + step, ... up to last (-s, -e and -i).
struct FrameRun {
  int32_t first = 0;
  int32_t last = 0;
  int32_t step = 1;

  std::vector<int32_t> frames() const;
  // "5", "1-10", "1-9x2": the run as a number list, which is also its work item's name.
  std::string text() const;
};

// The frames of a number list ("1-10", "0001", "1-10x2", "1,5,9-12", config/number_list.h).
// False, with the reason in `why`, for text that is not wholly a number list, or that names more
// frames than the reader takes (kMaxNumberListLength).
bool readFrames(std::string_view text, std::vector<int32_t>& frames, std::string& why);

// The frames in ascending order, each once, cut into runs of one step each and at most `chunk`
// frames (a chunk below 1 counts as 1). A run's step is the distance of its first two frames.
std::vector<FrameRun> cutIntoRuns(std::vector<int32_t> frames, int32_t chunk);

// The file the renderer writes a frame to: every "[#...#]" of the output path replaced by the
// frame number, zero-padded to the number of '#' ("shot_[####].png" gives shot_0007.png); a path
// without one gets the number padded to five digits before the extension of its last element
// ("shot.png" gives shot00007.png, "shot" gives shot00007). A negative frame keeps its '-'
// before the padded digits.
std::string framePath(std::string_view output, int32_t frame);
bool hasFramePlaceholder(std::string_view output);

// The frame a renderer's progress line reports: a line that starts with "PROGRESS:" (after
// blanks) and holds a frame number in brackets, as in "PROGRESS:  0:00:00:05 (6): 0 Seconds".
std::optional<int32_t> progressFrame(std::string_view line);

}  // namespace tq::aerender

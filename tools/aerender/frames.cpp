#include "frames.h"

#include <algorithm>
#include <cstdlib>

#include "config/number_list.h"

namespace tq::aerender {
namespace {

constexpr int kAppendedWidth = 5;

bool isDigit(char c) { return c >= '0' && c <= '9'; }
bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

// A scanner over one item of a number list: N, N-M or N-MxS (or X), blanks between the parts.
class ItemScanner {
 public:
  explicit ItemScanner(std::string_view text) : text_(text) {}
  bool wellFormed() {
    if (!number()) return false;
    if (take('-')) {
      if (!number()) return false;
      if ((take('x') || take('X')) && !number()) return false;
    }
    skipBlanks();
    return at_ == text_.size();
  }

 private:
  void skipBlanks() {
    while (at_ < text_.size() && isBlank(text_[at_])) ++at_;
  }
  bool take(char c) {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == c) {
      ++at_;
      return true;
    }
    return false;
  }
  bool number() {
    skipBlanks();
    if (at_ < text_.size() && text_[at_] == '-') ++at_;
    size_t start = at_;
    while (at_ < text_.size() && isDigit(text_[at_])) ++at_;
    return at_ > start;
  }

  std::string_view text_;
  size_t at_ = 0;
};

std::string padded(int64_t frame, int width) {
  std::string digits = std::to_string(frame < 0 ? -frame : frame);
  if (static_cast<int>(digits.size()) < width)
    digits.insert(0, static_cast<size_t>(width) - digits.size(), '0');
  return frame < 0 ? "-" + digits : digits;
}

}  // namespace

std::vector<int32_t> FrameRun::frames() const {
  std::vector<int32_t> all;
  for (int64_t f = first; f <= last; f += step) all.push_back(static_cast<int32_t>(f));
  return all;
}

std::string FrameRun::text() const {
  std::string text = std::to_string(first);
  if (last != first) text += "-" + std::to_string(last);
  if (last != first && step > 1) text += "x" + std::to_string(step);
  return text;
}

bool readFrames(std::string_view text, std::vector<int32_t>& frames, std::string& why) {
  frames.clear();
  why.clear();
  size_t start = 0;
  for (;;) {
    size_t comma = text.find(',', start);
    std::string_view item =
        text.substr(start, comma == std::string_view::npos ? text.npos : comma - start);
    if (!ItemScanner(item).wellFormed()) {
      why = "'" + std::string(text) + "' is not a frame or a list of frames (such as 1-10)";
      return false;
    }
    if (comma == std::string_view::npos) break;
    start = comma + 1;
  }
  NumberList list;
  list.parse(text);
  if (list.truncated()) {
    why = "'" + std::string(text) + "' names more than " + std::to_string(kMaxNumberListLength) +
          " frames";
    return false;
  }
  frames = list.numbers();
  return true;
}

std::vector<FrameRun> cutIntoRuns(std::vector<int32_t> frames, int32_t chunk) {
  if (chunk < 1) chunk = 1;
  std::sort(frames.begin(), frames.end());
  frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
  std::vector<FrameRun> runs;
  size_t i = 0;
  while (i < frames.size()) {
    FrameRun run;
    run.first = run.last = frames[i];
    size_t next = i + 1;
    if (next < frames.size() && chunk > 1) {
      int64_t step = static_cast<int64_t>(frames[next]) - frames[i];
      if (step <= INT32_MAX) {
        run.step = static_cast<int32_t>(step);
        for (int32_t count = 1; next < frames.size() && count < chunk &&
                                static_cast<int64_t>(frames[next]) - frames[next - 1] == step;
             ++next, ++count) {
          run.last = frames[next];
        }
      }
    }
    runs.push_back(run);
    i = next;
  }
  return runs;
}

bool hasFramePlaceholder(std::string_view output) {
  for (size_t open = output.find('['); open != std::string_view::npos;
       open = output.find('[', open + 1)) {
    size_t end = open + 1;
    while (end < output.size() && output[end] == '#') ++end;
    if (end > open + 1 && end < output.size() && output[end] == ']') return true;
  }
  return false;
}

std::string framePath(std::string_view output, int32_t frame) {
  if (!hasFramePlaceholder(output)) {
    size_t element = output.find_last_of("/\\");
    element = element == std::string_view::npos ? 0 : element + 1;
    size_t dot = output.rfind('.');
    // A name that only starts with a dot has no extension.
    if (dot == std::string_view::npos || dot <= element) dot = output.size();
    return std::string(output.substr(0, dot)) + padded(frame, kAppendedWidth) +
           std::string(output.substr(dot));
  }
  std::string path;
  size_t at = 0;
  while (at < output.size()) {
    size_t end = at + 1;
    if (output[at] == '[') {
      while (end < output.size() && output[end] == '#') ++end;
      if (end > at + 1 && end < output.size() && output[end] == ']') {
        path += padded(frame, static_cast<int>(end - at - 1));
        at = end + 1;
        continue;
      }
    }
    path += output[at];
    ++at;
  }
  return path;
}

std::optional<int32_t> progressFrame(std::string_view line) {
  size_t start = 0;
  while (start < line.size() && isBlank(line[start])) ++start;
  line.remove_prefix(start);
  constexpr std::string_view kProgress = "PROGRESS:";
  if (line.substr(0, kProgress.size()) != kProgress) return std::nullopt;
  for (size_t open = line.find('('); open != std::string_view::npos;
       open = line.find('(', open + 1)) {
    size_t end = open + 1;
    if (end < line.size() && line[end] == '-') ++end;
    size_t digits = end;
    while (end < line.size() && isDigit(line[end])) ++end;
    if (end > digits && end - digits <= 9 && end < line.size() && line[end] == ')')
      return static_cast<int32_t>(
          std::atol(std::string(line.substr(open + 1, end - open - 1)).c_str()));
  }
  return std::nullopt;
}

}  // namespace tq::aerender

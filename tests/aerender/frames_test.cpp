// The frames of a render: reading frame lists, cutting them into runs, frame paths and the
// renderer's progress lines.
#include "frames.h"

#include <gtest/gtest.h>

#include <climits>

#include "render_run.h"

namespace tq::aerender {
namespace {

std::vector<int32_t> framesOf(const char* text) {
  std::vector<int32_t> frames;
  std::string why;
  EXPECT_TRUE(readFrames(text, frames, why)) << text << ": " << why;
  return frames;
}

std::vector<std::string> runTexts(const std::vector<int32_t>& frames, int32_t chunk) {
  std::vector<std::string> texts;
  for (const FrameRun& run : cutIntoRuns(frames, chunk)) texts.push_back(run.text());
  return texts;
}

TEST(FramesTest, FrameListsAreReadWhole) {
  EXPECT_EQ(framesOf("0001"), std::vector<int32_t>({1}));
  EXPECT_EQ(framesOf("1-10x2"), std::vector<int32_t>({1, 3, 5, 7, 9}));
  EXPECT_EQ(framesOf(" 1, 5 ,9 - 11 "), std::vector<int32_t>({1, 5, 9, 10, 11}));
  EXPECT_EQ(framesOf("-2-1").size(), 4u);
  for (const char* bad : {"", "abc", "1-", "x5", "1,,2", "5abc", "1-10y2", "1;2", "1 2"}) {
    std::vector<int32_t> frames = {7};
    std::string why;
    EXPECT_FALSE(readFrames(bad, frames, why)) << bad;
    EXPECT_TRUE(frames.empty()) << bad;
    EXPECT_NE(why.find("is not a frame or a list of frames"), std::string::npos) << bad;
  }
  std::vector<int32_t> frames;
  std::string why;
  EXPECT_FALSE(readFrames("1-2000000", frames, why));
  EXPECT_NE(why.find("names more than 1000000 frames"), std::string::npos) << why;
}

TEST(FramesTest, FramesAreCutIntoRunsOfOneStepAndAtMostAChunk) {
  EXPECT_EQ(runTexts(framesOf("1-25"), 10), std::vector<std::string>({"1-10", "11-20", "21-25"}));
  EXPECT_EQ(runTexts(framesOf("1-10x2"), 10), std::vector<std::string>({"1-9x2"}));
  EXPECT_EQ(runTexts(framesOf("1-10x2"), 2), std::vector<std::string>({"1-3x2", "5-7x2", "9"}));
  EXPECT_EQ(runTexts(framesOf("1,2,5,9,10,11"), 10),
            std::vector<std::string>({"1-2", "5-9x4", "10-11"}));
  // Sorted, each frame once; a chunk below 1 is one frame.
  EXPECT_EQ(runTexts({3, 1, 2, 2}, 10), std::vector<std::string>({"1-3"}));
  EXPECT_EQ(runTexts({1, 2}, 0), std::vector<std::string>({"1", "2"}));
  // A step beyond the 32-bit range makes no run.
  EXPECT_EQ(runTexts({INT_MIN, INT_MAX}, 10),
            std::vector<std::string>({std::to_string(INT_MIN), std::to_string(INT_MAX)}));
  FrameRun run = cutIntoRuns(framesOf("1-10x3"), 10).front();
  EXPECT_EQ(run.frames(), std::vector<int32_t>({1, 4, 7, 10}));
  EXPECT_EQ(run.step, 3);
}

TEST(FramesTest, FramePathsFillPlaceholdersOrAppendTheNumber) {
  EXPECT_EQ(framePath("D:/r/shot_[####].png", 7), "D:/r/shot_0007.png");
  EXPECT_EQ(framePath("shot_[#].png", 123), "shot_123.png");
  EXPECT_EQ(framePath("[##]/x_[###]", 5), "05/x_005");
  EXPECT_EQ(framePath("shot_[####].png", -3), "shot_-0003.png");
  EXPECT_EQ(framePath("shot.png", 7), "shot00007.png");
  EXPECT_EQ(framePath("renders.v2/shot", 7), "renders.v2/shot00007");
  EXPECT_EQ(framePath("C:\\r\\.hidden", 7), "C:\\r\\.hidden00007");
  EXPECT_EQ(framePath("a[x]b[].png", 1), "a[x]b[]00001.png");
  EXPECT_TRUE(hasFramePlaceholder("a[#]"));
  EXPECT_FALSE(hasFramePlaceholder("a[#"));
  EXPECT_FALSE(hasFramePlaceholder("a#]"));
}

TEST(FramesTest, ProgressLinesGiveTheirFrame) {
  EXPECT_EQ(progressFrame("PROGRESS:  0:00:00:05 (6): 0 Seconds"), 6);
  EXPECT_EQ(progressFrame("  PROGRESS: 3/14/2008 (Main) done (12): 1 Seconds\r"), 12);
  EXPECT_EQ(progressFrame("PROGRESS:  (-4): 0 Seconds"), -4);
  EXPECT_EQ(progressFrame("PROGRESS:  Total Time Elapsed: 3 Seconds"), std::nullopt);
  EXPECT_EQ(progressFrame("aerender ERROR: frame (5) failed"), std::nullopt);
  EXPECT_EQ(progressFrame("PROGRESS:  (12345678901)"), std::nullopt);
  EXPECT_EQ(progressFrame("PROGRESS:  (5"), std::nullopt);
}

TEST(LineSplitterTest, LinesEndAtLfCrLfOrALoneCrWhereverThePiecesBreak) {
  std::vector<std::string> lines;
  LineSplitter splitter([&](const std::string& line) { lines.push_back(line); });
  splitter.add("a\r");
  splitter.add("\nb\rc\n\nd");
  splitter.add(std::string(kLongestLine + 2, 'x'));
  splitter.finish();
  ASSERT_EQ(lines.size(), 6u);
  EXPECT_EQ(lines[0], "a");
  EXPECT_EQ(lines[1], "b");
  EXPECT_EQ(lines[2], "c");
  EXPECT_EQ(lines[3], "");
  EXPECT_EQ(lines[4], "d" + std::string(kLongestLine - 1, 'x'));
  EXPECT_EQ(lines[5], "xxx");
}

}  // namespace
}  // namespace tq::aerender

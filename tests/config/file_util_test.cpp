#include "config/file_util.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

namespace fs = std::filesystem;

std::string slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream out;
  out << in.rdbuf();
  return out.str();
}

// A path of exactly `length` characters below `dir`, its directories created.
std::string pathOfLength(const test::TempDir& dir, size_t length) {
  std::string path = dir.path();
  while (path.size() + 1 + 100 + 1 + 20 < length) {
    path += std::string(1, static_cast<char>(fs::path::preferred_separator)) + std::string(99, 'd');
    fs::create_directory(path);
  }
  path += static_cast<char>(fs::path::preferred_separator);
  path += std::string(length - path.size(), 'f');
  return path;
}

TEST(MaxPathTest, PathOf259CharactersIsCheckedNormally) {
  test::TempDir dir;
  std::string path = pathOfLength(dir, 259);
  ASSERT_EQ(path.size(), 259u);
  std::ofstream(path) << "x";
  test::LogCapture log;
  EXPECT_TRUE(pathExists(TqString(path)));
  EXPECT_FALSE(isDirectory(TqString(path)));
  EXPECT_TRUE(isDirectory(TqString(directoryName(TqString(path)))));
  EXPECT_EQ(readWholeFile(TqString(path)), TqString("x"));
  EXPECT_EQ(log.text(), "");
}

TEST(MaxPathTest, PathOf260CharactersIsRefusedWithAWarning) {
  test::TempDir dir;
  std::string path = pathOfLength(dir, 260);
  ASSERT_EQ(path.size(), 260u);
  test::LogCapture log;
  EXPECT_FALSE(pathExists(TqString(path)));
  EXPECT_EQ(log.text(), "WARNING: " + path + " exceeds MAX_PATH.\n");
  EXPECT_FALSE(isDirectory(TqString(path)));
  EXPECT_FALSE(isHidden(TqString(path)));
  EXPECT_FALSE(clearHidden(TqString(path)));
  EXPECT_FALSE(createIfMissing(TqString(path)));
  EXPECT_TRUE(readWholeFile(TqString(path)).empty());
  TqString out;
  EXPECT_EQ(readFileFrom(TqString(path), 0, out), -1);
  std::string expected;
  for (int i = 0; i < 7; ++i) expected += "WARNING: " + path + " exceeds MAX_PATH.\n";
  EXPECT_EQ(log.text(), expected);
}

TEST(FileUtilTest, WriteAppendAndReadBack) {
  test::TempDir dir;
  TqString path(dir.file("data.txt"));
  ASSERT_TRUE(writeFile(path, "first line\n"));
  ASSERT_TRUE(appendFile(path, "second\n"));
  EXPECT_EQ(readWholeFile(path), TqString("first line\nsecond\n"));
  ASSERT_TRUE(writeFile(path, "short"));  // truncates
  EXPECT_EQ(readWholeFile(path), TqString("short"));
  EXPECT_TRUE(readWholeFile(TqString(dir.file("missing"))).empty());
  EXPECT_FALSE(writeFile(TqString(dir.file("no-dir") + "/x"), "data"));
}

TEST(FileUtilTest, LargeFilesAreReadWhole) {
  test::TempDir dir;
  std::string big;
  for (int i = 0; i < 5000; ++i) big += "line " + std::to_string(i) + "\n";
  std::ofstream(dir.file("big.txt"), std::ios::binary) << big;
  EXPECT_EQ(readWholeFile(TqString(dir.file("big.txt"))).str(), big);
}

TEST(FileUtilTest, BinaryModeKeepsEveryByte) {
  test::TempDir dir;
  const std::string bytes(
      "a\r\nb\x1a"
      "c\0d\xff",
      9);
  TqString path(dir.file("blob.bin"));
  ASSERT_TRUE(writeFile(path, TqString(bytes.data(), static_cast<int32_t>(bytes.size()))));
  EXPECT_EQ(slurp(path.str()), bytes);  // written unchanged
  EXPECT_EQ(readWholeFile(path, ReadMode::kBinary).str(), bytes);
#ifdef _WIN32
  // Text mode turns CR LF into LF and stops at Ctrl-Z, as configuration readers expect.
  EXPECT_EQ(readWholeFile(path).str(), "a\nb");
#else
  EXPECT_EQ(readWholeFile(path).str(), bytes);
#endif
}

TEST(FileUtilTest, ReadFileFromOffsetsAndLimits) {
  test::TempDir dir;
  TqString path(dir.file("log.txt"));
  ASSERT_TRUE(writeFile(path, "0123456789"));
  TqString out(">");
  EXPECT_EQ(readFileFrom(path, 0, out), 10);
  EXPECT_EQ(out, TqString(">0123456789"));  // appended, not replaced

  out.clear();
  EXPECT_EQ(readFileFrom(path, 3, 4, out), 7);
  EXPECT_EQ(out, TqString("3456"));
  // Continue from where the last read stopped, as a log follower does.
  EXPECT_EQ(readFileFrom(path, 7, 100, out), 10);
  EXPECT_EQ(out, TqString("3456789"));

  out.clear();
  EXPECT_EQ(readFileFrom(path, 10, out), 10);  // at the end: nothing more
  EXPECT_TRUE(out.empty());
  EXPECT_EQ(readFileFrom(path, 4, 0, out), 10);  // a limit of 0 reads to the end
  EXPECT_EQ(out, TqString("456789"));

  ASSERT_TRUE(appendFile(path, "ABC"));  // the file grows
  out.clear();
  EXPECT_EQ(readFileFrom(path, 10, out), 13);
  EXPECT_EQ(out, TqString("ABC"));

  EXPECT_EQ(readFileFrom(path, -1, out), -1);
  EXPECT_EQ(readFileFrom(TqString(dir.file("missing")), 0, out), -1);
}

TEST(FileUtilTest, BaseAndDirectoryNames) {
  EXPECT_EQ(baseName("C:\\jobs\\scene.aep"), TqString("scene.aep"));
  EXPECT_EQ(directoryName("C:\\jobs\\scene.aep"), TqString("C:\\jobs"));
  EXPECT_EQ(baseName("/mnt/a\\b/c.txt"), TqString("c.txt"));
  EXPECT_EQ(directoryName("/mnt/a\\b/c.txt"), TqString("/mnt/a\\b"));
  EXPECT_EQ(baseName("plain"), TqString("plain"));
  EXPECT_EQ(directoryName("plain"), TqString(""));
  EXPECT_EQ(baseName("dir/"), TqString(""));
  EXPECT_EQ(directoryName("/top"), TqString(""));
}

TEST(FileUtilTest, CreateIfMissingLeavesExistingFilesAlone) {
  test::TempDir dir;
  TqString path(dir.file("made.txt"));
  EXPECT_TRUE(createIfMissing(path));
  EXPECT_TRUE(pathExists(path));
  EXPECT_EQ(slurp(path.str()), "");
  ASSERT_TRUE(writeFile(path, "keep"));
  EXPECT_TRUE(createIfMissing(path));
  EXPECT_EQ(slurp(path.str()), "keep");
  EXPECT_FALSE(createIfMissing(TqString(dir.file("no-dir") + "/x")));
}

TEST(FileUtilTest, TemporaryNamesCountUp) {
  TqString first = temporaryName();
  TqString second = temporaryName();
  ASSERT_EQ(first.view().substr(0, 5), "kervu");
  ASSERT_EQ(first.view().substr(static_cast<size_t>(first.length()) - 4), ".tmp");
  TqString n1(first.view().substr(5, static_cast<size_t>(first.length()) - 9));
  TqString n2(second.view().substr(5, static_cast<size_t>(second.length()) - 9));
  EXPECT_TRUE(n1.isInteger());
  EXPECT_EQ(n2.toInt(), n1.toInt() + 1);
}

TEST(FileUtilTest, HiddenFiles) {
  test::TempDir dir;
  TqString plain(dir.file("plain.txt"));
  ASSERT_TRUE(writeFile(plain, "x"));
  EXPECT_FALSE(isHidden(plain));
  EXPECT_TRUE(clearHidden(plain));
  EXPECT_FALSE(isHidden(TqString(dir.file("missing"))));
#ifndef _WIN32
  TqString dotted(dir.file(".profile"));
  ASSERT_TRUE(writeFile(dotted, "x"));
  EXPECT_TRUE(isHidden(dotted));
  EXPECT_FALSE(clearHidden(dotted));  // a dot-file cannot stop being hidden
#endif
}

#ifndef _WIN32
TEST(FileUtilTest, EveryoneAccessFollowsTheModeBits) {
  test::TempDir dir;
  TqString path(dir.file("f"));
  ASSERT_TRUE(writeFile(path, "x"));
  fs::permissions(path.str(), fs::perms::owner_all | fs::perms::others_read);
  EXPECT_FALSE(everyoneHasFullAccess(path));
  fs::permissions(path.str(), fs::perms::all);
  EXPECT_TRUE(everyoneHasFullAccess(path));
}
#endif

}  // namespace
}  // namespace tq

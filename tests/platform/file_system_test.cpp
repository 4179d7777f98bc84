#include "platform/file_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>

#include "support/temp_dir.h"

namespace tq::platform {
namespace {

namespace fs = std::filesystem;

void touch(const std::string& path) { std::ofstream(path) << "x"; }

bool contains(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

TEST(FileSystemTest, ListPatternAddsBackslashOnlyWhenNeeded) {
  EXPECT_EQ(listPattern("C:\\logs"), "C:\\logs\\*.*");
  EXPECT_EQ(listPattern("C:\\logs\\"), "C:\\logs\\*.*");
  EXPECT_EQ(listPattern("/var/log/"), "/var/log/*.*");
}

TEST(FileSystemTest, ListingKeepsDotEntriesAndEveryName) {
  test::TempDir dir;
  touch(dir.file("a.txt"));
  touch(dir.file("b"));
  fs::create_directory(dir.file("sub"));
  std::vector<std::string> names;
  ASSERT_TRUE(listDirectory(dir.path(), names));
  EXPECT_EQ(names.size(), 5u);
  for (const char* name : {".", "..", "a.txt", "b", "sub"}) EXPECT_TRUE(contains(names, name));

  EXPECT_FALSE(listDirectory(dir.file("missing"), names));
  EXPECT_TRUE(names.empty());
}

TEST(FileSystemTest, AttributesTellFilesFromDirectories) {
  test::TempDir dir;
  touch(dir.file("plain"));
  FileAttributes file = fileAttributes(dir.file("plain"));
  EXPECT_TRUE(file.exists);
  EXPECT_FALSE(file.directory);
  EXPECT_FALSE(file.link);
  FileAttributes directory = fileAttributes(dir.path());
  EXPECT_TRUE(directory.exists);
  EXPECT_TRUE(directory.directory);
  EXPECT_FALSE(fileAttributes(dir.file("missing")).exists);
}

TEST(FileSystemTest, UnusablePathsAreRefused) {
  test::TempDir dir;
  touch(dir.file("a"));
  std::string with_nul = dir.file("a") + std::string("\0b", 2);
  EXPECT_FALSE(fileAttributes(with_nul).exists);
  EXPECT_FALSE(removeFile(with_nul));
  EXPECT_EQ(openFile(with_nul, "r"), nullptr);
  EXPECT_FALSE(fileAttributes("").exists);
  EXPECT_FALSE(makeDirectory(""));
  EXPECT_TRUE(fs::exists(dir.file("a")));
}

TEST(FileSystemTest, MakeAndRemoveDirectoriesAndFiles) {
  test::TempDir dir;
  std::string sub = dir.file("made");
  ASSERT_TRUE(makeDirectory(sub));
  EXPECT_FALSE(makeDirectory(sub));  // already there
  // The owner can use what was made: create a file inside it.
  std::string inner = (fs::path(sub) / "inner.txt").string();
  touch(inner);
  EXPECT_TRUE(fileAttributes(inner).exists);
  EXPECT_FALSE(removeDirectory(sub));  // not empty
  EXPECT_TRUE(removeFile(inner));
  EXPECT_FALSE(removeFile(inner));
  EXPECT_TRUE(removeDirectory(sub));
  EXPECT_FALSE(fileAttributes(sub).exists);
}

#ifndef _WIN32
TEST(FileSystemTest, MadeDirectoryIsForItsOwnerOnly) {
  test::TempDir dir;
  std::string sub = dir.file("private");
  ASSERT_TRUE(makeDirectory(sub));
  EXPECT_EQ(fs::status(sub).permissions() & fs::perms::all, fs::perms::owner_all);
}

TEST(FileSystemTest, BackslashIsASeparatorOnPosix) {
  EXPECT_EQ(nativePath("/etc\\tq.conf"), "/etc/tq.conf");
  test::TempDir dir;
  fs::create_directory(dir.file("sub"));
  touch(dir.file("sub") + "/f.txt");
  std::string windows_style = dir.path() + "\\sub\\f.txt";
  EXPECT_TRUE(fileAttributes(windows_style).exists);
  std::FILE* file = openFile(windows_style, "r");
  ASSERT_NE(file, nullptr);
  std::fclose(file);
}

TEST(FileSystemTest, DotFilesAreHiddenAndCannotBeCleared) {
  test::TempDir dir;
  touch(dir.file(".secret"));
  touch(dir.file("open"));
  EXPECT_TRUE(fileAttributes(dir.file(".secret")).hidden);
  EXPECT_FALSE(clearHiddenAttribute(dir.file(".secret")));
  EXPECT_FALSE(fileAttributes(dir.file("open")).hidden);
  EXPECT_TRUE(clearHiddenAttribute(dir.file("open")));
  EXPECT_FALSE(clearHiddenAttribute(dir.file("missing")));
  EXPECT_FALSE(fileAttributes(dir.path() + "/.").hidden);
  EXPECT_FALSE(fileAttributes(dir.path() + "/..").hidden);
}

TEST(FileSystemTest, LinksAreReportedAndRemovedWithoutTheirTarget) {
  test::TempDir dir;
  fs::create_directory(dir.file("target"));
  touch(dir.file("target") + "/keep.txt");
  fs::create_directory_symlink(dir.file("target"), dir.file("link"));
  FileAttributes link = fileAttributes(dir.file("link"));
  EXPECT_TRUE(link.link);
  EXPECT_TRUE(link.directory);
  EXPECT_TRUE(removeLink(dir.file("link")));
  EXPECT_FALSE(fs::exists(dir.file("link")));
  EXPECT_TRUE(fs::exists(dir.file("target") + "/keep.txt"));
}
#else
TEST(FileSystemTest, HiddenAttributeCanBeCleared) {
  test::TempDir dir;
  std::string path = dir.file("h.txt");
  touch(path);
  EXPECT_FALSE(fileAttributes(path).hidden);
  EXPECT_TRUE(clearHiddenAttribute(path));  // nothing to clear
}
#endif

TEST(FileSystemTest, ChangeDirectoryMovesTheWorkingDirectory) {
  test::TempDir dir;
  std::string before = currentDirectory();
  ASSERT_FALSE(before.empty());
  ASSERT_TRUE(changeDirectory(dir.path()));
  EXPECT_TRUE(fs::equivalent(fs::path(currentDirectory()), fs::path(dir.path())));
  EXPECT_FALSE(changeDirectory(dir.file("missing")));
  ASSERT_TRUE(changeDirectory(before));
}

TEST(FileSystemTest, ModificationTimeFollowsTheFile) {
  test::TempDir dir;
  std::string path = dir.file("m.txt");
  touch(path);
  std::optional<int64_t> now = modificationTime(path);
  ASSERT_TRUE(now.has_value());
  fs::last_write_time(path, fs::last_write_time(path) - std::chrono::hours(48));
  std::optional<int64_t> earlier = modificationTime(path);
  ASSERT_TRUE(earlier.has_value());
  EXPECT_NEAR(static_cast<double>(*now - *earlier), 48 * 3600.0, 2.0);
  EXPECT_FALSE(modificationTime(dir.file("missing")).has_value());
}

TEST(FileSystemTest, SeekAndTellBeyondTheStart) {
  test::TempDir dir;
  std::string path = dir.file("s.bin");
  std::ofstream(path, std::ios::binary) << "0123456789";
  std::FILE* file = openFile(path, "rb");
  ASSERT_NE(file, nullptr);
  EXPECT_TRUE(seekFile(file, 4));
  EXPECT_EQ(std::fgetc(file), '4');
  EXPECT_EQ(tellFile(file), 5);
  EXPECT_FALSE(seekFile(file, -1));
  std::fclose(file);
}

}  // namespace
}  // namespace tq::platform

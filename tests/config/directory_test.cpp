#include "config/directory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <set>

#include "config/file_util.h"
#include "platform/file_system.h"
#include "support/log_capture.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

namespace fs = std::filesystem;

std::set<std::string> names(const Directory& directory) {
  std::set<std::string> out;
  for (int32_t i = 0; i < directory.entryCount(); ++i) out.insert(directory.entry(i).str());
  return out;
}

TEST(DirectoryTest, ListsEveryEntryAtConstruction) {
  test::TempDir dir;
  std::ofstream(dir.file("a.txt")) << "a";
  fs::create_directory(dir.file("sub"));
  Directory directory{TqString(dir.path())};
  EXPECT_EQ(names(directory), (std::set<std::string>{".", "..", "a.txt", "sub"}));
  EXPECT_TRUE(directory.entry(-1).empty());
  EXPECT_TRUE(directory.entry(directory.entryCount()).empty());

  std::ofstream(dir.file("later.txt")) << "b";
  EXPECT_EQ(directory.entryCount(), 4);  // read once

  Directory missing{TqString(dir.file("missing"))};
  EXPECT_EQ(missing.entryCount(), 0);
}

TEST(DirectoryTest, RemoveTreeTakesNestedContents) {
  test::TempDir dir;
  std::string root = dir.file("tree");
  fs::create_directories(root + "/a/b/c");
  std::ofstream(root + "/top.txt") << "1";
  std::ofstream(root + "/a/b/deep.txt") << "2";
  std::ofstream(root + "/a/b/c/.hidden") << "3";
  // Written the library's way, with '\' between the parts.
  EXPECT_TRUE(Directory(TqString(root)).removeTree());
  EXPECT_FALSE(fs::exists(root));
  EXPECT_TRUE(fs::exists(dir.path()));
}

TEST(DirectoryTest, RemoveTreeOfAMissingDirectoryReportsNothingLeft) {
  test::TempDir dir;
  EXPECT_TRUE(Directory(TqString(dir.file("missing"))).removeTree());
}

TEST(DirectoryTest, RemoveTreeReportsWhatItCouldNotRemove) {
  test::TempDir dir;
  std::string root = dir.file("tree");
  fs::create_directory(root);
  Directory directory{TqString(root)};
  std::ofstream(root + "/arrived-later.txt") << "x";  // not in the listing
  EXPECT_FALSE(directory.removeTree());
  EXPECT_TRUE(fs::exists(root + "/arrived-later.txt"));
}

#ifndef _WIN32
TEST(DirectoryTest, RemoveTreeNeverFollowsLinks) {
  test::TempDir dir;
  std::string outside = dir.file("outside");
  fs::create_directory(outside);
  std::ofstream(outside + "/precious.txt") << "keep";
  std::string root = dir.file("tree");
  fs::create_directory(root);
  fs::create_directory_symlink(outside, root + "/link-to-outside");
  fs::create_directory_symlink(outside, dir.file("top-link"));

  EXPECT_TRUE(Directory(TqString(root)).removeTree());
  EXPECT_FALSE(fs::exists(root));
  EXPECT_TRUE(Directory(TqString(dir.file("top-link"))).removeTree());
  EXPECT_FALSE(fs::is_symlink(dir.file("top-link")));
  EXPECT_TRUE(fs::exists(outside + "/precious.txt"));
}

TEST(DirectoryTest, MadeDirectoryBelongsToItsOwnerAlone) {
  test::TempDir dir;
  Directory made{TqString(dir.file("private"))};
  ASSERT_TRUE(made.makeDirectory());
  EXPECT_EQ(fs::status(dir.file("private")).permissions() & fs::perms::all, fs::perms::owner_all);
  // An existing directory keeps its permission.
  fs::create_directory(dir.file("shared"));
  fs::permissions(dir.file("shared"), fs::perms::all);
  EXPECT_TRUE(Directory(TqString(dir.file("shared"))).makeDirectory());
  EXPECT_EQ(fs::status(dir.file("shared")).permissions() & fs::perms::all, fs::perms::all);
}
#endif

TEST(DirectoryTest, MakeDirectoryAnswersWhetherItExists) {
  test::TempDir dir;
  Directory made{TqString(dir.file("new"))};
  EXPECT_TRUE(made.makeDirectory());
  EXPECT_TRUE(isDirectory(TqString(dir.file("new"))));
  std::ofstream(dir.file("new") + "/inside.txt") << "usable";
  EXPECT_TRUE(fs::exists(dir.file("new") + "/inside.txt"));
  EXPECT_FALSE(Directory(TqString(dir.file("no") + "/such/parent")).makeDirectory());
}

TEST(DirectoryTest, ChangeDirectoryAppliesTheMaxPathRule) {
  test::TempDir dir;
  std::string before = platform::currentDirectory();
  EXPECT_TRUE(changeDirectory(TqString(dir.path())));
  EXPECT_TRUE(fs::equivalent(fs::current_path(), fs::path(dir.path())));
  ASSERT_TRUE(changeDirectory(TqString(before)));

  test::LogCapture log;
  std::string long_path(300, 'x');
  EXPECT_FALSE(changeDirectory(TqString(long_path)));
  EXPECT_EQ(log.text(), "WARNING: " + long_path + " exceeds MAX_PATH.\n");
  EXPECT_EQ(platform::currentDirectory(), before);
}

}  // namespace
}  // namespace tq

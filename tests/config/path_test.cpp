#include "config/path.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tq {
namespace {

std::vector<std::string> parts(const Path& path) {
  std::vector<std::string> out;
  for (const TqString& c : path.components()) out.push_back(c.str());
  return out;
}

TEST(PathTest, ClassifiesByText) {
  EXPECT_EQ(Path::classify(""), Path::kUnknown);
  EXPECT_EQ(Path::classify("C:\\work\\scene.aep"), Path::kDos);
  EXPECT_EQ(Path::classify("relative\\dir"), Path::kDos);
  EXPECT_EQ(Path::classify("\\\\server\\share"), Path::kUnc);
  EXPECT_EQ(Path::classify("\\\\x"), Path::kUnc);
  EXPECT_EQ(Path::classify("\\\\"), Path::kDos);  // two backslashes alone are too short
  EXPECT_EQ(Path::classify("/mnt/projects"), Path::kUnix);
  EXPECT_EQ(Path::classify("fileserver:/export/a"), Path::kNfs);
  EXPECT_EQ(Path::classify("C:/work"), Path::kNfs);  // a ':' before any '/'
  EXPECT_EQ(Path::classify("dir/with:colon"), Path::kUnknown);
  EXPECT_EQ(Path::classify("plain"), Path::kUnknown);
}

TEST(PathTest, KindNames) {
  EXPECT_STREQ(Path(TqString("\\\\srv\\s")).kindName(), "unc");
  EXPECT_STREQ(Path(TqString("C:\\x")).kindName(), "dos");
  EXPECT_STREQ(Path(TqString("/x")).kindName(), "unix");
  EXPECT_STREQ(Path(TqString("h:/x")).kindName(), "nfs");
  EXPECT_STREQ(Path(TqString("x")).kindName(), "unknown");
  EXPECT_STREQ(Path::kindName(7), "unknown");
  EXPECT_STREQ(Path::kindName(-1), "unknown");
}

TEST(PathTest, ComponentsDropEmptyPieces) {
  EXPECT_EQ(parts(Path(TqString("\\\\srv\\share\\dir\\"))),
            (std::vector<std::string>{"srv", "share", "dir"}));
  EXPECT_EQ(parts(Path(TqString("/a//b/c"))), (std::vector<std::string>{"a", "b", "c"}));
  EXPECT_EQ(parts(Path(TqString("C:\\mixed/parts\\x"))),
            (std::vector<std::string>{"C:", "mixed", "parts", "x"}));
  EXPECT_TRUE(parts(Path(TqString(""))).empty());
  EXPECT_EQ(Path::separatorFor(Path::kUnc), '\\');
  EXPECT_EQ(Path::separatorFor(Path::kDos), '\\');
  EXPECT_EQ(Path::separatorFor(Path::kUnix), '/');
  EXPECT_EQ(Path::separatorFor(Path::kNfs), '/');
}

TEST(PathTest, MakeAbsoluteLeavesAbsolutePathsAlone) {
  for (const char* text : {"C:\\work", "c:/work\\x", "\\\\srv\\share", "/mnt/a", "host:/a"}) {
    Path path{TqString(text)};
    path.makeAbsolute("D:\\base");
    EXPECT_EQ(path.text(), TqString(text)) << text;
  }
}

TEST(PathTest, MakeAbsolutePrefixesTheBaseAndReclassifies) {
  Path relative{TqString("shots\\s01")};
  relative.makeAbsolute("D:\\projects");
  EXPECT_EQ(relative.text(), TqString("D:\\projects\\shots\\s01"));
  EXPECT_EQ(relative.kind(), Path::kDos);
  EXPECT_EQ(parts(relative), (std::vector<std::string>{"D:", "projects", "shots", "s01"}));

  Path plain{TqString("scene.aep")};
  plain.makeAbsolute("/mnt/work/");
  EXPECT_EQ(plain.text(), TqString("/mnt/work/scene.aep"));
  EXPECT_EQ(plain.kind(), Path::kUnix);

  Path no_drive{TqString("\\rooted")};  // dos without a drive letter is not absolute
  no_drive.makeAbsolute("E:\\");
  EXPECT_EQ(no_drive.text(), TqString("E:\\\\rooted"));

  Path drive_relative{TqString("C:x\\y")};
  drive_relative.makeAbsolute("F:\\z");
  EXPECT_EQ(drive_relative.text(), TqString("F:\\z\\C:x\\y"));
}

}  // namespace
}  // namespace tq

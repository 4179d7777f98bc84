#include "config/path_map.h"

#include <gtest/gtest.h>

#include <string>

#include "config/file_util.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

void direct(PathMap& map, const char* from, const char* to) {
  map.direct_map.insert(TqString(from), TqString(to));
}
void logical(PathMap& map, const char* name, const char* path) {
  map.logical_map.insert(TqString(name), TqString(path));
}
std::string translate(const char* path, const PathMap& from, const PathMap& to, bool on = true) {
  return translatePath(TqString(path), from, to, on).str();
}

TEST(PathTranslationTest, DirectPrefixOfTheSourceIsReplaced) {
  PathMap windows, linux_box;
  direct(windows, "\\\\srv\\projects", "/mnt/projects");
  EXPECT_EQ(translate("\\\\srv\\projects\\shot01\\comp.aep", windows, linux_box),
            "/mnt/projects/shot01/comp.aep");
  EXPECT_EQ(translate("\\\\SRV\\Projects\\a", windows, linux_box), "/mnt/projects/a");
  EXPECT_EQ(translate("\\\\srv\\projects", windows, linux_box), "/mnt/projects");
  // Matching is by whole components, never by a prefix of the text.
  EXPECT_EQ(translate("\\\\srv\\projects2\\a", windows, linux_box), "\\\\srv\\projects2\\a");
  // A unix path with the same components names another place.
  EXPECT_EQ(translate("/srv/projects/a", windows, linux_box), "/srv/projects/a");
}

TEST(PathTranslationTest, SeparatorFollowsTheReplacementKind) {
  PathMap from, to;
  direct(from, "/mnt/renders", "R:\\");
  direct(from, "/mnt/cache/", "\\\\cache\\tmp");
  direct(from, "C:\\work", "fileserver:/export/work");
  EXPECT_EQ(translate("/mnt/renders/s01/f.0001.exr", from, to), "R:\\s01\\f.0001.exr");
  EXPECT_EQ(translate("/mnt/cache//x/", from, to), "\\\\cache\\tmp\\x");
  EXPECT_EQ(translate("C:/work/a\\b", from, to), "fileserver:/export/work/a/b");
}

TEST(PathTranslationTest, LongestMatchWinsThenSourceThenDestination) {
  PathMap from, to;
  direct(from, "/mnt", "M:\\");
  direct(from, "/mnt/a", "A:\\");
  direct(to, "/mnt/a/b", "B:\\");
  direct(to, "/mnt/a", "ignored:");
  EXPECT_EQ(translate("/mnt/a/b/c", from, to), "B:\\c");
  EXPECT_EQ(translate("/mnt/a/x", from, to), "A:\\x");  // a tie goes to the source's map
  EXPECT_EQ(translate("/mnt/z", from, to), "M:\\z");
  // A bare "N:" has the kind of host:path, so its separator is '/' (which Windows accepts).
  direct(from, "/net", "N:");
  EXPECT_EQ(translate("/net/z", from, to), "N:/z");

  // Two keys that differ only in case or separators: the smaller key decides, every time.
  PathMap twins;
  direct(twins, "/Data", "first:/");
  direct(twins, "/data/", "second:/");
  EXPECT_EQ(translate("/data/f", twins, to), "first:/f");
}

TEST(PathTranslationTest, LogicalNamesMapThroughBothMaps) {
  PathMap studio, farm;
  logical(studio, "projects", "P:\\projects");
  logical(studio, "only_here", "Q:\\q");
  logical(farm, "projects", "/net/projects");
  EXPECT_EQ(translate("p:\\Projects\\show\\x.aep", studio, farm), "/net/projects/show/x.aep");
  EXPECT_EQ(translate("Q:\\q\\x", studio, farm), "Q:\\q\\x");  // the farm lacks the name

  // A direct entry of the same length beats the logical one.
  direct(farm, "P:\\projects", "/direct/projects");
  EXPECT_EQ(translate("P:\\projects\\x", studio, farm), "/direct/projects/x");
}

TEST(PathTranslationTest, EmptyAndRootEntriesNeverMatch) {
  PathMap from, to;
  direct(from, "/", "/swallowed");
  direct(from, "", "/swallowed");
  direct(from, "\\\\", "/swallowed");
  for (const char* path : {"/a/b", "", "\\\\", "C:\\x", "relative/name"}) {
    EXPECT_EQ(translate(path, from, to), path) << path;
  }
}

TEST(PathTranslationTest, TranslationOffOnlyTurnsBackslashes) {
  PathMap from, to;
  direct(from, "C:\\work", "/work");
  EXPECT_EQ(translate("C:\\work\\a b\\c", from, to, false), "C:/work/a b/c");
  EXPECT_EQ(translate("", from, to, false), "");
}

const char kMapText[] =
    "[logical]\n"
    "projects = \\\\srv\\projects\n"
    "renders = \"R:\\renders\"\n"
    "[direct]\n"
    "{\\\\srv\\cache} = /mnt/cache\n"
    "/mnt/a = fileserver:/export/a\n"
    "[other]\n"
    "ignored = 1\n";

std::string valueOf(const StringHash& hash, const char* key) {
  const TqString* value = hash.find(TqString(key));
  return value ? value->str() : std::string("<absent>");
}

TEST(PathMapTest, LoadsTheDirectAndLogicalSections) {
  PathMap map;
  map.direct_map.insert(TqString("/mnt/a"), TqString("replaced"));
  map.direct_map.insert(TqString("/kept"), TqString("kept"));
  map.loadFromText(kMapText);
  EXPECT_EQ(map.logical_map.count(), 2);
  EXPECT_EQ(valueOf(map.logical_map, "projects"), "\\\\srv\\projects");
  EXPECT_EQ(valueOf(map.logical_map, "renders"), "R:\\renders");
  EXPECT_EQ(map.direct_map.count(), 3);
  EXPECT_EQ(valueOf(map.direct_map, "\\\\srv\\cache"), "/mnt/cache");
  EXPECT_EQ(valueOf(map.direct_map, "/mnt/a"), "fileserver:/export/a");
  EXPECT_EQ(valueOf(map.direct_map, "/kept"), "kept");
  EXPECT_EQ(valueOf(map.direct_map, "ignored"), "<absent>");

  PathMap here;
  EXPECT_EQ(translatePath("\\\\srv\\cache\\x\\y", map, here).str(), "/mnt/cache/x/y");
}

TEST(PathMapTest, ReadsAFileAndToleratesBadInput) {
  test::TempDir dir;
  const std::string file = dir.file("pathmap.conf");
  ASSERT_TRUE(writeFile(TqString(file), TqString(kMapText)));
  PathMap from_file{TqString(file)};
  EXPECT_EQ(from_file.logical_map.count(), 2);
  EXPECT_EQ(from_file.direct_map.count(), 2);

  PathMap missing{TqString(dir.file("no such file"))};
  EXPECT_EQ(missing.logical_map.count() + missing.direct_map.count(), 0);

  // Whatever the text, loading ends and keeps what came before the point it gave up.
  PathMap odd;
  odd.loadFromText("[direct]\n/a = /b\nstray words here\n/c = /d\n");
  EXPECT_EQ(valueOf(odd.direct_map, "/a"), "/b");
  EXPECT_EQ(valueOf(odd.direct_map, "/c"), "<absent>");
  std::string hostile = "[direct]\n" + std::string(200000, '/') + " = " + std::string(200000, 'x') +
                        "\n[" + std::string(5000, '[') + "\n";
  hostile += std::string("\0\xff=\n", 4);
  odd.loadFromText(TqString(hostile));
  EXPECT_EQ(valueOf(odd.direct_map, std::string(200000, '/').c_str()), std::string(200000, 'x'));
}

TEST(PathMapTest, CopyReplacesBothMapsAndRoundTrips) {
  PathMap source;
  logical(source, "projects", "P:\\projects");
  direct(source, "\\\\srv\\a", "/a");
  PathMap copy;
  direct(copy, "stale", "x");
  copy.copyFrom(source);
  EXPECT_EQ(copy.direct_map.count(), 1);
  ASSERT_NE(copy.direct_map.find("\\\\srv\\a"), nullptr);
  EXPECT_EQ(*copy.logical_map.find("projects"), TqString("P:\\projects"));
  copy.copyFrom(copy);
  EXPECT_EQ(copy.logical_map.count(), 1);

  ASSERT_GT(source.encode(), 0);
  PathMap back;
  ASSERT_EQ(back.decode(source.buffer(), source.bufferLength()), kDecoded);
  EXPECT_EQ(*back.logical_map.find("projects"), TqString("P:\\projects"));
  EXPECT_EQ(*back.direct_map.find("\\\\srv\\a"), TqString("/a"));
  EXPECT_EQ(std::string(back.typeName()), "pathmap");
  EXPECT_EQ(back.classId(), 154);
}

}  // namespace
}  // namespace tq

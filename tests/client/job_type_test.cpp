// Finding and reading job types along a search path.
#include "client/job_type.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <clocale>
#include <filesystem>
#include <fstream>
#include <string>

#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace tq::test {
namespace {

namespace fs = std::filesystem;
using platform::ScopedEnvironmentVariable;

const char kSep = platform::kNativeSeparator;

std::string join(const std::string& a, const std::string& b) { return a + kSep + b; }

// A directory `root`/`name` holding a job.conf with `text` (none when `text` is null).
std::string makeType(const std::string& root, const std::string& name, const char* text) {
  std::string dir = join(root, name);
  fs::create_directories(dir);
  if (text != nullptr) std::ofstream(join(dir, "job.conf")) << text;
  return dir;
}

void writeFile(const std::string& path, const std::string& text) { std::ofstream(path) << text; }

// Keeps the machine's tq.conf and home out of the default search path.
class JobTypeTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string first = join(dir.path(), "first");
  std::string second = join(dir.path(), "second");
  ScopedEnvironmentVariable windir{platform::kWindowsDirectoryVariable, dir.path()};
  ScopedEnvironmentVariable tempdir{platform::kTemporaryDirectoryVariable, dir.path()};
  ScopedEnvironmentVariable home{"HOME", dir.path()};

  void SetUp() override {
    fs::create_directories(first);
    fs::create_directories(second);
  }
  TqString twoElements() const { return TqString(first + ";" + second); }
};

TEST_F(JobTypeTest, FirstOfTwoTqpathDirectoriesWins) {
  makeType(first, "aftereffects", "detail = first\n");
  makeType(second, "aftereffects", "detail = second\n");
  ScopedEnvironmentVariable tqpath("TQPATH", first + ";" + second);
  JobType type("aftereffects");
  ASSERT_TRUE(type.isValid()) << type.problem();
  EXPECT_EQ(type.detail(), TqString("first"));
  EXPECT_EQ(type.directory(), TqString(join(first, "aftereffects")));
  EXPECT_TRUE(type.problem().empty());
  // The default path is TQPATH, then worker_template_path and texts 302 and 112.
  EXPECT_EQ(type.path().view().substr(0, first.size() + second.size() + 2),
            first + ";" + second + ";");
}

TEST_F(JobTypeTest, EmptyElementsAreSkippedAndALaterElementIsSearched) {
  makeType(second, "nuke", "detail = later\n");
  JobType type("nuke", TqString(";;" + join(dir.path(), "missing") + ";;" + second + ";"));
  ASSERT_TRUE(type.isValid()) << type.problem();
  EXPECT_EQ(type.detail(), TqString("later"));
  std::vector<TqString> parts = splitSearchPath(";a;;b;");
  ASSERT_EQ(parts.size(), 2u);
  EXPECT_EQ(parts[0], TqString("a"));
  EXPECT_EQ(parts[1], TqString("b"));
}

TEST_F(JobTypeTest, ATypeDirectoryWithoutJobConfStopsTheSearch) {
  makeType(first, "aftereffects", nullptr);
  makeType(second, "aftereffects", "detail = second\n");
  JobType type("aftereffects", twoElements());
  EXPECT_FALSE(type.isValid());
  EXPECT_EQ(type.directory(), TqString(join(first, "aftereffects")));
  EXPECT_TRUE(type.detail().empty());
  EXPECT_NE(type.problem().view().find("job.conf"), std::string_view::npos);
}

TEST_F(JobTypeTest, AFileOfTheTypesNameIsNotATypeDirectory) {
  writeFile(join(first, "aftereffects"), "detail = file\n");
  makeType(second, "aftereffects", "detail = second\n");
  JobType type("aftereffects", twoElements());
  ASSERT_TRUE(type.isValid());
  EXPECT_EQ(type.detail(), TqString("second"));
}

TEST_F(JobTypeTest, CaseDifferentDirectoryNamesDoNotMatch) {
  makeType(first, "AfterEffects", "detail = wrong\n");
  JobType type("aftereffects", twoElements());
  EXPECT_FALSE(type.isValid());
  EXPECT_TRUE(type.directory().empty());
  EXPECT_TRUE(type.detail().empty());
  EXPECT_NE(type.problem().view().find("no job type \"aftereffects\""), std::string_view::npos);
  makeType(second, "aftereffects", "detail = right\n");
  JobType later("aftereffects", twoElements());
  ASSERT_TRUE(later.isValid());
  EXPECT_EQ(later.detail(), TqString("right"));
}

TEST_F(JobTypeTest, DotNamesAndEmptyNamesAreNeverTypes) {
  writeFile(join(first, "job.conf"), "detail = element itself\n");
  for (const char* name : {"", ".", ".."}) {
    JobType type(name, TqString(first));
    EXPECT_FALSE(type.isValid()) << name;
    EXPECT_TRUE(type.detail().empty()) << name;
  }
}

struct VersionCase {
  const char* key;
  const char* value;
  bool valid;
};

TEST_F(JobTypeTest, VersionChecksCompareSinglePrecisionNumbers) {
  const VersionCase cases[] = {
      {"minimum_kerv_version", "5.2", true},   {"minimum_kerv_version", "5.3", false},
      {"minimum_kerv_version", "5.1", true},   {"minimum_kerv_version", "5.20", true},
      {"minimum_kerv_version", "+5.2", true},  {"minimum_kerv_version", "5.20000001", true},
      {"minimum_kerv_version", "5.21", false}, {"minimum_kerv_version", "6", false},
      {"minimum_kerv_version", "new", true},   {"minimum_kerv_version", "5.3a", true},
      {"minimum_kerv_version", ".", true},     {"minimum_kerv_version", "-", true},
      {"minimum_kerv_version", "\"\"", true},  {"required_kerv_version", "5.0", false},
      {"required_kerv_version", "5.2", true},  {"required_kerv_version", "5.20", true},
      {"required_kerv_version", "5.3", false}, {"required_kerv_version", "any", true},
  };
  for (const VersionCase& c : cases) {
    std::string text = std::string(c.key) + " = " + c.value + "\ndetail = read\n";
    makeType(first, "t", text.c_str());
    JobType type("t", TqString(first));
    EXPECT_EQ(type.isValid(), c.valid) << c.key << " " << c.value;
    EXPECT_EQ(type.problem().empty(), c.valid) << c.key << " " << c.value;
    // The other keys are read either way.
    EXPECT_EQ(type.detail(), TqString("read")) << c.key << " " << c.value;
  }
}

// Under a locale whose decimal point is ',' (strtof would read "5.3" as 5 and let it pass).
TEST_F(JobTypeTest, VersionChecksIgnoreTheLocalesDecimalPoint) {
  std::string before = std::setlocale(LC_ALL, nullptr);
  const char* comma = nullptr;
  for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "German_Germany.1252", "German"})
    if (std::setlocale(LC_ALL, name) != nullptr && *std::localeconv()->decimal_point == ',') {
      comma = name;
      break;
    }
  if (comma == nullptr) {
    std::setlocale(LC_ALL, before.c_str());
    GTEST_SKIP() << "no locale with a decimal comma here (scripts/install-deps.sh makes one)";
  }
  makeType(first, "t", "minimum_kerv_version = 5.3\n");
  bool newer_refused = !JobType("t", TqString(first)).isValid();
  makeType(first, "t", "required_kerv_version = 5.2\n");
  bool same_accepted = JobType("t", TqString(first)).isValid();
  std::setlocale(LC_ALL, before.c_str());
  EXPECT_TRUE(newer_refused) << "under " << comma;
  EXPECT_TRUE(same_accepted) << "under " << comma;
}

TEST(JobTypeVersionTest, VersionNumberAcceptsOnlyPlainDecimals) {
  float number = 0.0f;
  ASSERT_TRUE(JobType::versionNumber("5.2", number));
  EXPECT_EQ(number, 5.2f);
  ASSERT_TRUE(JobType::versionNumber("-1", number));
  EXPECT_EQ(number, -1.0f);
  for (const char* text : {"", "5.2.1", "5,2", "5e1", " 5.2", "x", ".", "-", "+"})
    EXPECT_FALSE(JobType::versionNumber(text, number)) << text;
}

TEST_F(JobTypeTest, RelativeLibraryValuesResolveInsideTheTypeDirectory) {
  std::string type_dir = makeType(first, "t",
                                  "callback_library = callbacks.conf\n"
                                  "gui_icon = icons\\t.png\n"
                                  "submit_library = lib/submit.dll\n"
                                  "display_library = /opt/tq/display.so\n"
                                  "execute_library_winnt = \\\\server\\share\\exec.dll\n"
                                  "execute_binding_winnt = dll\n"
                                  "gui_binding_winnt = dll\n"
                                  "gui_job_display_library_winnt = C:\\kerv\\jd.dll\n"
                                  "gui_subjob_display_library_winnt = d:/kerv/sd.dll\n"
                                  "gui_submit_library_winnt = \\root.dll\n"
                                  "submit_binding = exe\n");
  JobType type("t", TqString(first));
  ASSERT_TRUE(type.isValid());
  EXPECT_EQ(type.callbackLibrary(), TqString(join(type_dir, "callbacks.conf")));
  EXPECT_EQ(type.guiIcon(), TqString(join(type_dir, "icons\\t.png")));
  EXPECT_EQ(type.submitLibrary(), TqString(join(type_dir, "lib/submit.dll")));
  // Absolute values stay as written.
  EXPECT_EQ(type.displayLibrary(), TqString("/opt/tq/display.so"));
  EXPECT_EQ(type.executeLibrary(), TqString("\\\\server\\share\\exec.dll"));
  EXPECT_EQ(type.guiJobDisplayLibrary(), TqString("C:\\kerv\\jd.dll"));
  EXPECT_EQ(type.guiSubjobDisplayLibrary(), TqString("d:/kerv/sd.dll"));
  EXPECT_EQ(type.guiSubmitLibrary(), TqString("\\root.dll"));
  // Bindings are texts, never resolved.
  EXPECT_EQ(type.submitBinding(), TqString("exe"));
  // Any key, resolved on request.
  EXPECT_EQ(type.value("submit_binding", true), TqString(join(type_dir, "exe")));
  EXPECT_EQ(type.value("submit_binding", false), TqString("exe"));
  EXPECT_TRUE(type.value("absent", true).empty());
}

TEST_F(JobTypeTest, ADirectoryEndingInASeparatorGetsNoSecond) {
  makeType(first, "t", "gui_icon = t.png\n");
  for (char sep : {'/', '\\'}) {
    JobType type("t", TqString(first + sep));
    ASSERT_TRUE(type.isValid()) << sep;
    EXPECT_EQ(type.directory(), TqString(first + sep + "t"));
    EXPECT_EQ(type.guiIcon(), TqString(join(first + sep + "t", "t.png")));
  }
}

TEST_F(JobTypeTest, WindowsBindingsComeFirstAndGenericPairsReplaceBoth) {
  const char* generic =
      "gui_job_display_binding = tcl\ngui_job_display_library = jd.tcl\n"
      "gui_subjob_display_binding = tcl2\ngui_subjob_display_library = /abs/sd.tcl\n"
      "gui_submit_binding = tcl3\ngui_submit_library = sub.tcl\n"
      "execute_binding = perl\nexecute_library = exec.pl\n"
      "gui_job_display_library_winnt = jd.dll\ngui_subjob_display_library_winnt = sd.dll\n"
      "gui_submit_library_winnt = sub.dll\nexecute_library_winnt = exec.dll\n";
  std::string windows =
      std::string(generic) + "gui_binding_winnt = dll\nexecute_binding_winnt = dllx\n";
  std::string dir_a = makeType(first, "win", windows.c_str());
  JobType win("win", TqString(first));
  ASSERT_TRUE(win.isValid());
  EXPECT_EQ(win.guiJobDisplayBinding(), TqString("dll"));
  EXPECT_EQ(win.guiSubjobDisplayBinding(), TqString("dll"));
  EXPECT_EQ(win.guiSubmitBinding(), TqString("dll"));
  EXPECT_EQ(win.guiJobDisplayLibrary(), TqString(join(dir_a, "jd.dll")));
  EXPECT_EQ(win.guiSubjobDisplayLibrary(), TqString(join(dir_a, "sd.dll")));
  EXPECT_EQ(win.guiSubmitLibrary(), TqString(join(dir_a, "sub.dll")));
  EXPECT_EQ(win.executeBinding(), TqString("dllx"));
  EXPECT_EQ(win.executeLibrary(), TqString(join(dir_a, "exec.dll")));

  std::string dir_b = makeType(first, "generic", generic);
  JobType gen("generic", TqString(first));
  ASSERT_TRUE(gen.isValid());
  EXPECT_EQ(gen.guiJobDisplayBinding(), TqString("tcl"));
  EXPECT_EQ(gen.guiJobDisplayLibrary(), TqString(join(dir_b, "jd.tcl")));
  EXPECT_EQ(gen.guiSubjobDisplayBinding(), TqString("tcl2"));
  EXPECT_EQ(gen.guiSubjobDisplayLibrary(), TqString("/abs/sd.tcl"));
  EXPECT_EQ(gen.guiSubmitBinding(), TqString("tcl3"));
  EXPECT_EQ(gen.guiSubmitLibrary(), TqString(join(dir_b, "sub.tcl")));
  EXPECT_EQ(gen.executeBinding(), TqString("perl"));
  EXPECT_EQ(gen.executeLibrary(), TqString(join(dir_b, "exec.pl")));

  // Without a generic library the Windows library goes too: the pair is replaced whole.
  makeType(first, "half",
           "gui_job_display_library_winnt = jd.dll\nexecute_library_winnt = e.dll\n");
  JobType half("half", TqString(first));
  ASSERT_TRUE(half.isValid());
  EXPECT_TRUE(half.guiJobDisplayLibrary().empty());
  EXPECT_TRUE(half.executeLibrary().empty());
}

TEST_F(JobTypeTest, TextKeysAndJobDefaultsAreReadAsWritten) {
  makeType(first, "t",
           "parent_type = base\ndetail = \"A long text\"\nshort_detail = short\nversion = 2.1\n"
           "job_priority = 10\njob_cluster = /farm\njob_requirements = \"mem>2\"\n"
           "job_restrictions = r\njob_reservations = \"host.processors=1\"\njob_kind = k\n"
           "job_label = render\njob_account = acc\njob_hosts = h1,h2\njob_groups = g\n"
           "job_flags = auto_mount,mail\njob_cpus = 4\njob_name = n\njob_status = blocked\n");
  JobType type("t", TqString(first));
  ASSERT_TRUE(type.isValid());
  EXPECT_EQ(type.parentType(), TqString("base"));
  EXPECT_EQ(type.detail(), TqString("A long text"));
  EXPECT_EQ(type.shortDetail(), TqString("short"));
  EXPECT_EQ(type.version(), TqString("2.1"));
  EXPECT_EQ(type.jobPriority(), TqString("10"));
  EXPECT_EQ(type.jobCluster(), TqString("/farm"));
  EXPECT_EQ(type.jobRequirements(), TqString("mem>2"));
  EXPECT_EQ(type.jobRestrictions(), TqString("r"));
  EXPECT_EQ(type.jobReservations(), TqString("host.processors=1"));
  EXPECT_EQ(type.jobKind(), TqString("k"));
  EXPECT_EQ(type.jobLabel(), TqString("render"));
  EXPECT_EQ(type.jobAccount(), TqString("acc"));
  EXPECT_EQ(type.jobHosts(), TqString("h1,h2"));
  EXPECT_EQ(type.jobGroups(), TqString("g"));
  EXPECT_EQ(type.jobFlags(), TqString("auto_mount,mail"));
  EXPECT_EQ(type.jobCpus(), TqString("4"));
  EXPECT_EQ(type.jobName(), TqString("n"));
  EXPECT_EQ(type.jobStatus(), TqString("blocked"));
  EXPECT_EQ(type.value("job_label"), TqString("render"));
  EXPECT_EQ(type.configuration().count(), 18);
}

TEST_F(JobTypeTest, CallbacksComeFromQualifyingSectionsInOrder) {
  std::string type_dir = makeType(first, "t", "callback_library = cb.conf\n");
  writeFile(join(type_dir, "cb.conf"),
            "[job_done]\nlanguage = perl\ncode = \"print 'done'\"\nmax = 3\n"
            "[no_language]\ncode = x\n"
            "[no_code]\nlanguage = perl\n"
            "[work_failed]\nlanguage = perl,python\ncode = {mail user}\nmax =\n"
            "[odd]\nlanguage = cobol\ncode = c\nmax = 12x\n");
  JobType type("t", TqString(first));
  ASSERT_TRUE(type.isValid());
  CallbackList list;
  Callback existing;
  existing.code = "kept";
  list.append(existing);
  EXPECT_EQ(type.addCallbacks(list), 3);
  ASSERT_EQ(list.count(), 4);
  EXPECT_EQ(list[0].code, TqString("kept"));
  EXPECT_EQ(list[1].triggers, TqString("job_done"));
  EXPECT_EQ(list[1].language, 2);
  EXPECT_EQ(list[1].code, TqString("print 'done'"));
  EXPECT_EQ(list[1].max, 3);
  EXPECT_EQ(list[2].triggers, TqString("work_failed"));
  EXPECT_EQ(list[2].language, 6);
  EXPECT_EQ(list[2].code, TqString("mail user"));
  EXPECT_EQ(list[2].max, 0);
  // An unknown language name reads as no language bits; max takes its leading digits.
  EXPECT_EQ(list[3].triggers, TqString("odd"));
  EXPECT_EQ(list[3].language, 0);
  EXPECT_EQ(list[3].max, 12);
}

TEST_F(JobTypeTest, NoLibraryOrAMissingFileAddsNothing) {
  makeType(first, "t", "detail = d\n");
  JobType type("t", TqString(first));
  CallbackList list;
  EXPECT_EQ(type.addCallbacks(list), 0);
  EXPECT_EQ(JobType::addCallbacks(TqString(join(first, "absent.conf")), list), 0);
  EXPECT_EQ(list.count(), 0);
}

TEST_F(JobTypeTest, AvailableTypesAreValidFirstOfTheirNameAndNotHidden) {
  makeType(first, "alpha", "detail = first alpha\n");
  makeType(first, "newer", "minimum_kerv_version = 9\n");
  makeType(first, ".hidden", "detail = h\n");
  makeType(first, "empty", nullptr);
  writeFile(join(first, "gamma"), "detail = a file\n");
  makeType(second, "alpha", "detail = second alpha\n");
  makeType(second, "newer", "detail = shadowed by the invalid one\n");
  makeType(second, "gamma", "detail = g\n");
  std::vector<JobType> types = JobType::available(twoElements() + ";" + TqString(first));
  std::vector<std::string> names;
  for (const JobType& t : types) names.push_back(t.name().str() + "=" + t.detail().str());
  std::sort(names.begin(), names.end());
  ASSERT_EQ(names.size(), 2u);
  EXPECT_EQ(names[0], "alpha=first");
  EXPECT_EQ(names[1], "gamma=g");
  for (const JobType& t : types) {
    JobType by_name(t.name(), t.path());
    EXPECT_EQ(by_name.directory(), t.directory());
  }
}

TEST_F(JobTypeTest, TheRepositorysAftereffectsTypeIsValidWithRenderDefaults) {
  ScopedEnvironmentVariable tqpath("TQPATH", TQ_SOURCE_DIR "/jobtypes");
  JobType type("aftereffects");
  ASSERT_TRUE(type.isValid()) << type.problem();
  EXPECT_EQ(type.minimumVersion(), TqString("5.2"));
  EXPECT_FALSE(type.jobPriority().empty());
  EXPECT_GE(type.jobPriority().toInt(), 0);
  EXPECT_GE(type.jobCpus().toInt(), 1);
  EXPECT_FALSE(type.shortDetail().empty());
  EXPECT_TRUE(type.callbackLibrary().empty());
}

}  // namespace
}  // namespace tq::test

#include "config/sectioned_config.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/config_limits.h"
#include "config/file_util.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

std::vector<std::string> namesOf(const Config& config) {
  StringList list;
  config.sectionNames(list);
  std::vector<std::string> names;
  for (int32_t i = 0; i < list.count(); ++i) names.push_back(list[i].str());
  return names;
}

std::string valueOf(const Config& config, const char* section, const char* key) {
  const ConfigRecord* s = config.section(section);
  return s ? s->get(key).str() : "<no section>";
}

// Parses with the error stream captured; answers what was written there.
std::string parseCapturingErrors(Config& config, const char* text) {
  testing::internal::CaptureStderr();
  config.parse(text);
  return testing::internal::GetCapturedStderr();
}

TEST(SectionedConfigTest, KeysBeforeAnyHeaderBelongToLocalhost) {
  Config c;
  c.parse("root = C:\\farm\n[render]\nroot = D:\\\n");
  EXPECT_EQ(namesOf(c), (std::vector<std::string>{"localhost", "render"}));
  EXPECT_EQ(valueOf(c, "localhost", "root"), "C:\\farm");
  EXPECT_EQ(valueOf(c, "render", "root"), "D:\\");
  EXPECT_EQ(c.section("render")->name(), TqString("render"));
  EXPECT_EQ(c.section("absent"), nullptr);
}

TEST(SectionedConfigTest, ValueForms) {
  Config c;
  c.parse(
      "words = a b c\n"
      "quoted = \"a b \\\"c\\\"\"\n"
      "braced = {a b\n  {c\\}}\n"
      "empty =\n"
      "comment = x # not part of it\n"
      "colon = C:\\path\n");
  EXPECT_EQ(valueOf(c, "localhost", "words"), "abc");
  EXPECT_EQ(valueOf(c, "localhost", "quoted"), "a b \"c\"");
  EXPECT_EQ(valueOf(c, "localhost", "braced"), "a b\n  {c}");
  EXPECT_TRUE(c.section("localhost")->has("empty"));
  EXPECT_EQ(valueOf(c, "localhost", "empty"), "");
  EXPECT_EQ(valueOf(c, "localhost", "comment"), "x");
  EXPECT_EQ(valueOf(c, "localhost", "colon"), "C:\\path");
}

TEST(SectionedConfigTest, HeadersWithNumberListsAndGeneratedNames) {
  Config c;
  c.parse("[node[08-11]]\na = 1\n[1-3]\n[1-9x4]\n[render[01-02],edit]\n[render01-render03]\n");
  EXPECT_EQ(namesOf(c),
            (std::vector<std::string>{"node08", "node09", "node10", "node11", "1", "2", "3", "5",
                                      "9", "render01", "render02", "edit", "render01-render03"}));
  EXPECT_EQ(valueOf(c, "node10", "a"), "1");
  Config padded;
  padded.parse("[h[001-002].farm, x [ 7 ] y]\n[01-02]\n");
  EXPECT_EQ(namesOf(padded), (std::vector<std::string>{"h001.farm", "h002.farm", "x7y", "1", "2"}));
}

TEST(SectionedConfigTest, AnEmptyHeaderDropsUnqualifiedAssignments) {
  Config c;
  c.parse("[]\na = 1\nkept . b = 2\n");
  EXPECT_EQ(namesOf(c), (std::vector<std::string>{"kept"}));
  EXPECT_EQ(valueOf(c, "kept", "b"), "2");
}

TEST(SectionedConfigTest, QualifiedAssignmentsNeedBlanksAroundTheDot) {
  Config c;
  c.parse("[a]\nother . k = 1\nother.k = 2\n");
  EXPECT_EQ(valueOf(c, "other", "k"), "1");
  EXPECT_EQ(valueOf(c, "a", "other.k"), "2");
  EXPECT_FALSE(c.section("a")->has("k"));
}

TEST(SectionedConfigTest, InheritanceCopiesWhatTheParentHoldsThen) {
  Config c;
  c.parse(
      "[base]\nroot = R\nshared = base\n"
      "[a,b] : base\nshared = own\n"
      "[base]\nlater = 1\n");
  EXPECT_EQ(valueOf(c, "a", "root"), "R");
  EXPECT_EQ(valueOf(c, "b", "root"), "R");
  EXPECT_EQ(valueOf(c, "a", "shared"), "own");
  EXPECT_EQ(valueOf(c, "base", "shared"), "base");
  EXPECT_FALSE(c.section("a")->has("later"));
}

TEST(SectionedConfigTest, AMissingParentIsReportedOnTheErrorStream) {
  Config c;
  std::string errors = parseCapturingErrors(c, "[a,b] : base\nk = v\n");
  EXPECT_EQ(errors, "WARNING: a,b missing parent base... skipping.\n");
  EXPECT_EQ(valueOf(c, "a", "k"), "v");
  EXPECT_EQ(valueOf(c, "b", "k"), "v");

  Config two;
  errors = parseCapturingErrors(two, "[p]\n[c] : p gone\n");
  EXPECT_EQ(errors, "WARNING: c missing parent gone... skipping.\n");
}

TEST(SectionedConfigTest, EveryTokenAfterTheColonIsAParentNamePunctuationIncluded) {
  Config c;
  std::string errors =
      parseCapturingErrors(c, "[p]\nfrom_p = 1\n[q]\nfrom_q = 2\n[c] : p q: = [x]\nk = v\n");
  EXPECT_EQ(errors,
            "WARNING: c missing parent :... skipping.\n"
            "WARNING: c missing parent =... skipping.\n"
            "WARNING: c missing parent [... skipping.\n"
            "WARNING: c missing parent x... skipping.\n"
            "WARNING: c missing parent ]... skipping.\n");
  EXPECT_EQ(valueOf(c, "c", "from_p"), "1");
  EXPECT_EQ(valueOf(c, "c", "from_q"), "2");
  EXPECT_EQ(valueOf(c, "c", "k"), "v");
  EXPECT_EQ(c.section("="), nullptr);  // a missing parent is not created
}

TEST(SectionedConfigTest, AStrayLineEndsTheParseButKeepsWhatWasRead) {
  Config c;
  c.parse("[s]\nroot = R\nbin = $self.root\\bin\nstray words\nafter = 1\n");
  EXPECT_EQ(valueOf(c, "s", "bin"), "R\\bin");  // still expanded
  EXPECT_FALSE(c.section("s")->has("after"));
  Config no_equals;
  no_equals.parse("[s]\nkey\n");
  EXPECT_EQ(no_equals.section("s")->count(), 0);
}

TEST(SectionedConfigTest, SelfReferencesKeepPointingAtTheirSection) {
  Config c;
  c.parse(
      "[parent]\nroot = P\npath = $self.root\\x\n"
      "[child] : parent\nroot = C\nown = $this._\nname = $_\nbraced = ${self}\n");
  EXPECT_EQ(valueOf(c, "parent", "path"), "P\\x");
  EXPECT_EQ(valueOf(c, "child", "path"), "P\\x");  // inherited: still the parent's root
  EXPECT_EQ(valueOf(c, "child", "own"), "child");
  EXPECT_EQ(valueOf(c, "child", "name"), "child");
  // ${self} became ${child}: an undotted reference, to a key "child" the section lacks.
  EXPECT_EQ(valueOf(c, "child", "braced"), "");
}

TEST(SectionedConfigTest, ReferencesToOtherSectionsAndKeys) {
  Config c;
  c.parse(
      "[defaults]\nroot = D\ndeep = $defaults.root\\deep\n"
      "[job]\nbase = $defaults.deep\nsect = $defaults._\nplain = ${base}\\bin\n"
      "missing = $nowhere.key\nnokey = x$defaults.none.y\n");
  EXPECT_EQ(valueOf(c, "job", "base"), "D\\deep");
  EXPECT_EQ(valueOf(c, "job", "sect"), "defaults");
  EXPECT_EQ(valueOf(c, "job", "plain"), "D\\deep\\bin");
  EXPECT_EQ(valueOf(c, "job", "missing"), ".key");
  EXPECT_EQ(valueOf(c, "job", "nokey"), "x.y");
}

// Share paths hold a '$' that starts no reference; dropping it would point at another share.
TEST(SectionedConfigTest, ADollarThatStartsNoReferenceIsKept) {
  Config c;
  c.parse(
      "[direct]\nroot = x\nshare = \"\\\\srv\\c$\"\ndata = \\\\srv\\d$\\x\n"
      "price = \"cost $ 5\"\nkey = $root$\n");
  EXPECT_EQ(valueOf(c, "direct", "share"), "\\\\srv\\c$");
  EXPECT_EQ(valueOf(c, "direct", "data"), "\\\\srv\\d$\\x");
  EXPECT_EQ(valueOf(c, "direct", "price"), "cost $ 5");
  EXPECT_EQ(valueOf(c, "direct", "key"), "x$");
}

TEST(SectionedConfigTest, ASelfReferentialValueEndsAndStaysUnexpanded) {
  Config c;
  c.parse("[farm]\na = $self.a\nb = x$farm.c\nc = y$farm.b\n");
  EXPECT_EQ(valueOf(c, "farm", "a"), "$farm.a");
  // A cycle through two keys grows by one step per level until the bound.
  std::string b = valueOf(c, "farm", "b");
  EXPECT_EQ(b.rfind("x", 0), 0u);
  EXPECT_NE(b.find("$farm."), std::string::npos);
  EXPECT_LT(b.size(), 100u);
}

TEST(SectionedConfigTest, ExponentialExpansionIsBounded) {
  std::string text = "[s]\nk0 = x\n";
  for (int i = 1; i < 30; ++i) {
    std::string ref = "$s.k" + std::to_string(i - 1);
    text += "k" + std::to_string(i) + " = " + ref + ref + ref + ref + "\n";
  }
  Config c;
  c.parse(text.c_str());
  ASSERT_NE(c.section("s"), nullptr);
  EXPECT_EQ(valueOf(c, "s", "k1"), "xxxx");
  EXPECT_LE(c.section("s")->get("k29").length(), kMaxExpandedLength);
}

TEST(SectionedConfigTest, CarriageReturnsInsideValuesDoNotStopExpansion) {
  Config c;
  c.parse("[s]\nr = R\nv = {a\r\n$self.r\r\n}\n");
  EXPECT_EQ(valueOf(c, "s", "v"), "a\r\nR\r\n");
}

TEST(SectionedConfigTest, HostileBytesAreDroppedBeforeParsing) {
  Config c;
  c.parse(
      TqString("[s]\nk = a\x01"
               "b\xff"
               "c\n",
               15));
  EXPECT_EQ(valueOf(c, "s", "k"), "abc");
}

TEST(SectionedConfigTest, HugeHeadersAreCutWithAWarning) {
  Config c;
  std::string errors = parseCapturingErrors(c, "[n[1-99999]]\nk = v\n");
  EXPECT_EQ(c.sectionCount(), kMaxSectionsPerHeader);
  EXPECT_EQ(valueOf(c, "n4096", "k"), "v");
  EXPECT_EQ(c.section("n4097"), nullptr);
  EXPECT_NE(errors.find("names more than 4096 sections"), std::string::npos);
}

// One long value assigned to thousands of sections is copied into each of them: a text of a few
// hundred kilobytes could otherwise ask for gigabytes.
TEST(SectionedConfigTest, StoredBytesAreBoundedWithAWarning) {
  const size_t value_size = 20000;
  std::string text = "[n[1-4096]]\nk = " + std::string(value_size, 'v') + "\nafter = 1\n";
  Config c;
  std::string errors = parseCapturingErrors(c, text.c_str());
  EXPECT_EQ(c.sectionCount(), kMaxSectionsPerHeader);
  EXPECT_EQ(c.section("n1")->get("k").length(), static_cast<int32_t>(value_size));
  EXPECT_FALSE(c.section("n4096")->has("k"));
  EXPECT_FALSE(c.section("n1")->has("after"));  // the rest of the input is ignored
  int64_t stored = 0;
  for (int i = 1; i <= kMaxSectionsPerHeader; ++i) {
    stored += c.section(("n" + std::to_string(i)).c_str())->get("k").length();
  }
  EXPECT_LE(stored, kMaxStoredBytesPerParse);
  EXPECT_GT(stored, kMaxStoredBytesPerParse - static_cast<int64_t>(value_size) - 2);
  EXPECT_NE(errors.find("bytes of configuration values; the rest is skipped"), std::string::npos);
}

// Every header names its sections anew, so many copies of a large header cost time even when
// they store nothing.
TEST(SectionedConfigTest, SectionNamesOfHeadersAreBoundedWithAWarning) {
  std::string text;
  int64_t headers = kMaxHeaderNamesPerParse / kMaxSectionsPerHeader + 2;
  for (int64_t i = 0; i < headers; ++i) text += "[n[1-4096]]\n";
  text += "[last]\nk = v\n";
  Config c;
  std::string errors = parseCapturingErrors(c, text.c_str());
  EXPECT_EQ(c.section("last"), nullptr);
  EXPECT_NE(errors.find("section names in headers; the rest is skipped"), std::string::npos);
}

TEST(SectionedConfigTest, MillionsOfTokensBeforeAnAssignmentAreReadThrough) {
  std::string text = "[s]\n" + std::string(2000000, '\n') + "k = v\n";
  Config c;
  c.parse(TqString(std::string_view(text)));
  EXPECT_EQ(valueOf(c, "s", "k"), "v");
}

// A long name and a number list name thousands of long names: the bound counts their bytes.
TEST(SectionedConfigTest, BytesOfGeneratedNamesAreBoundedWithAWarning) {
  std::string name(300, 'n');
  std::string text = "[small]\nk = 1\n[" + name + "[1-4096]]\nk = 2\n[after]\nk = 3\n";
  Config c;
  std::string errors = parseCapturingErrors(c, text.c_str());
  EXPECT_EQ(namesOf(c), (std::vector<std::string>{"small"}));
  EXPECT_EQ(errors, "WARNING: more than " + std::to_string(kMaxHeaderNameBytesPerParse) +
                        " bytes of section names in headers; the rest is skipped.\n");

  // Within the bound, the same names are all made.
  std::string fits = "[" + std::string(200, 'n') + "[1-4096]]\nk = 2\n";
  Config d;
  EXPECT_EQ(parseCapturingErrors(d, fits.c_str()), "");
  EXPECT_EQ(d.sectionCount(), 4096);
  EXPECT_EQ(valueOf(d, (std::string(200, 'n') + "4096").c_str(), "k"), "2");
}

TEST(SectionedConfigTest, InheritanceStopsAtTheStoreBoundWithAWarning) {
  std::string text = "[p]\n";
  for (int i = 0; i < 16; ++i) text += "k" + std::to_string(i) + " = " + std::to_string(i) + "\n";
  text += "[c[1-4096]] : p\n[after]\nk = 1\n";
  Config c;
  std::string errors = parseCapturingErrors(c, text.c_str());
  EXPECT_EQ(errors, "WARNING: more than " + std::to_string(kMaxStoresPerParse) +
                        " configuration values; the rest is skipped.\n");
  int32_t full = (kMaxStoresPerParse - 16) / 16;  // the parent's own keys count as well
  EXPECT_EQ(c.section(TqString("c" + std::to_string(full)))->count(), 16);
  EXPECT_LT(c.section(TqString("c" + std::to_string(full + 1)))->count(), 16);
  EXPECT_EQ(c.section(TqString("c" + std::to_string(full + 2)))->count(), 0);
  EXPECT_EQ(c.section("after"), nullptr);
}

TEST(SectionedConfigTest, SectionsPastTheBoundAreSkippedWithOneWarning) {
  std::string text;
  for (int i = 0; i < kMaxSections / kMaxSectionsPerHeader; ++i) {
    text += "[h" + std::to_string(i) + "_[1-" + std::to_string(kMaxSectionsPerHeader) + "]]\n";
  }
  text += "[late,later]\nk = v\n";
  Config c;
  std::string errors = parseCapturingErrors(c, text.c_str());
  EXPECT_EQ(c.sectionCount(), kMaxSections);
  EXPECT_EQ(c.section("late"), nullptr);
  EXPECT_EQ(errors, "WARNING: more than " + std::to_string(kMaxSections) +
                        " configuration sections; late and later ones skipped.\n");
}

TEST(SectionedConfigTest, WarningsAreCountedAndTheirTextsCut) {
  std::string header(1000, 'h');
  std::string text = "[" + header + "] :";
  for (int i = 0; i < 1000; ++i) text += " m" + std::to_string(i);
  text += "\nk = v\n";
  Config c;
  std::string errors = parseCapturingErrors(c, text.c_str());
  std::string shown = std::string(kMaxWarningTextLength, 'h') + "...";
  std::string first = "WARNING: " + shown + " missing parent m0... skipping.\n";
  EXPECT_EQ(errors.substr(0, first.size()), first);
  size_t lines = 0;
  for (char ch : errors) lines += ch == '\n';
  EXPECT_EQ(lines, static_cast<size_t>(kMaxWarningsPerParse) + 1);
  EXPECT_NE(errors.find("WARNING: more configuration warnings; the rest are not shown.\n"),
            std::string::npos);
  EXPECT_EQ(valueOf(c, header.c_str(), "k"), "v");  // the header itself is processed
}

// Reading a value counts against the expansion budget each time a reference reads it, also when
// it writes almost nothing (a reference to a missing section of a long name).
TEST(SectionedConfigTest, ReferencesThatRereadLongValuesSpendTheBudget) {
  std::string lookup = "[t]\nlong = $" + std::string(1 << 20, 'x') + ".k\n[s]\n";
  Config few;
  few.parse(TqString(lookup + "k = $t.long$t.long\n"));
  EXPECT_EQ(valueOf(few, "s", "k"), ".k.k");
  Config many;
  many.parse(TqString(lookup + "k = $t.long$t.long$t.long$t.long$t.long\n"));
  EXPECT_EQ(valueOf(many, "s", "k"), "$t.long$t.long$t.long$t.long$t.long");  // left as stored
}

TEST(SectionedConfigTest, ParseAddsToExistingSectionsAndExpandsOnlyNewOnes) {
  Config c;
  c.parse("[a]\nx = 1\n");
  c.parse("[a]\ny = 2\n[b]\nz = $a.y\n");
  EXPECT_EQ(valueOf(c, "a", "x"), "1");
  EXPECT_EQ(valueOf(c, "a", "y"), "2");
  EXPECT_EQ(valueOf(c, "b", "z"), "2");
  EXPECT_EQ(namesOf(c), (std::vector<std::string>{"a", "b"}));
}

TEST(SectionedConfigTest, FilesAndDump) {
  test::TempDir dir;
  TqString path(dir.file("paths.cfg"));
  ASSERT_TRUE(writeFile(path, "[b]\r\nz = 1\r\ny = 'q'\r\n"));
  Config c(path);
  EXPECT_TRUE(c.isLoaded());
  testing::internal::CaptureStdout();
  c.dump();
  EXPECT_EQ(testing::internal::GetCapturedStdout(), "[b]\ny = ''q''\nz = '1'\n");

  Config missing(TqString(dir.file("none.cfg")));
  EXPECT_FALSE(missing.isLoaded());
  EXPECT_EQ(missing.sectionCount(), 0);
}

}  // namespace
}  // namespace tq

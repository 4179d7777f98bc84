#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "config/config_limits.h"
#include "config/env_record.h"
#include "config/file_util.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "support/temp_dir.h"

namespace tq {
namespace {

using Variables = std::vector<std::pair<std::string, std::string>>;

Variables variablesOf(const Env& env) {
  Variables out;
  for (int32_t i = 0; i < env.variableCount(); ++i) {
    const TqString* value = env.values.at(i);
    out.emplace_back(env.keys[i].str(), value ? value->str() : std::string("<missing>"));
  }
  return out;
}

std::map<std::string, std::string> mountsOf(const Env& env) {
  std::map<std::string, std::string> out;
  env.mounts.forEach([&](const TqString& d, const TqString& t) { out[d.str()] = t.str(); });
  return out;
}

Env sampleEnv() {
  Env env;
  env.umask = 18;
  env.cwd = "C:\\work";
  env.setMountsFromText("Z:|\\\\srv\\share");
  env.setVariable("A", "1");
  return env;
}

void expectSameEnv(const Env& a, const Env& b) {
  EXPECT_EQ(a.umask, b.umask);
  EXPECT_EQ(a.cwd, b.cwd);
  EXPECT_EQ(mountsOf(a), mountsOf(b));
  EXPECT_EQ(variablesOf(a), variablesOf(b));
}

TEST(EnvTextTest, FourLineFormRoundTrips) {
  Env env = sampleEnv();
  const TqString text = env.toText();
  EXPECT_EQ(text.str(), "umask=18\ncwd=C:\\work\ndrivemap=Z:|\\\\srv\\share\nA=1");

  Env back;
  back.fromText(text);
  expectSameEnv(env, back);
  EXPECT_EQ(back.toText(), text);
}

TEST(EnvTextTest, EmptyNameEndsReading) {
  Env env;
  env.fromText("umask=7\ncwd=/w\nA=1\n\nB=2\ndrivemap=Y:|/y");
  EXPECT_EQ(env.umask, 7);
  EXPECT_EQ(env.cwd, TqString("/w"));
  EXPECT_EQ(variablesOf(env), (Variables{{"A", "1"}}));
  EXPECT_EQ(env.mountCount(), 0);

  env.fromText("A=1\n=C:=C:\\work\nB=2");
  EXPECT_EQ(variablesOf(env), (Variables{{"A", "1"}}));

  env.fromText("A=1\n");  // the trailing line end gives a final empty line
  EXPECT_EQ(variablesOf(env), (Variables{{"A", "1"}}));

  env.fromText("");
  EXPECT_EQ(env.variableCount(), 0);
}

TEST(EnvTextTest, ReaderTakesFirstUmaskAndCwdAndAppendsTheRest) {
  Env env;
  env.setVariable("OLD", "gone");
  env.setMountsFromText("Q:|old");
  env.fromText(
      "cwd=/first\numask=022x\numask=9\ncwd=/second\ndrivemap=X:|\\\\a\\b|ignored\n"
      "drivemap=nobar\ndrivemap=|\\\\no\\drive\nNOEQUALS\nK=v=w\nK=again");
  EXPECT_EQ(env.umask, 22);  // decimal conversion of the leading digits
  EXPECT_EQ(env.cwd, TqString("/first"));
  EXPECT_EQ(mountsOf(env), (std::map<std::string, std::string>{{"X:", "\\\\a\\b"}}));
  EXPECT_EQ(
      variablesOf(env),
      (Variables{
          {"umask", "9"}, {"cwd", "/second"}, {"NOEQUALS", ""}, {"K", "v=w"}, {"K", "again"}}));
}

TEST(EnvTextTest, WriterLeavesOutWhatTheReaderWouldMisread) {
  Env env;
  env.cwd = "/tmp/a\nb";
  // Windows keeps the per-drive directories as "=C:=C:\work": an empty name. Written as is,
  // it would end reading and lose every variable after it.
  env.keys.append(TqString(""));
  env.values.append(TqString("C:=C:\\work"));
  env.setVariable("BEFORE", "1");
  env.setVariable("drivemap", "Y:|\\\\evil\\share");
  env.setVariable("MULTI", "line1\nline2");
  env.setVariable("LINE\nNAME", "x");
  env.setVariable("A=B", "c");
  env.setVariable("AFTER", "2");
  env.mounts.insert(TqString("W:"), TqString("a|b"));
  env.mounts.insert(TqString("V:"), TqString("a\nINJECTED=1"));
  env.mounts.insert(TqString(""), TqString("nothing"));
  env.setMountsFromText("U:|\\\\srv\\u");

  Env back;
  back.fromText(env.toText());
  EXPECT_EQ(back.cwd, TqString(""));
  EXPECT_EQ(variablesOf(back), (Variables{{"BEFORE", "1"}, {"AFTER", "2"}}));
  EXPECT_EQ(mountsOf(back), (std::map<std::string, std::string>{{"U:", "\\\\srv\\u"}}));
}

TEST(EnvTextTest, MountsAreWrittenInDriveOrder) {
  Env env;
  env.setMountsFromText("Y:|y\nB:|b\nM:|m");
  EXPECT_EQ(env.toText().str(), "umask=0\ncwd=\ndrivemap=B:|b\ndrivemap=M:|m\ndrivemap=Y:|y");

  // Drives that differ only after a NUL byte still have one order, so the text is stable.
  Env odd;
  odd.mounts.insert(TqString("V:\0b", 4), TqString("2"));
  odd.mounts.insert(TqString("V:"), TqString("1"));
  odd.mounts.insert(TqString("V:\0a", 4), TqString("3"));
  EXPECT_EQ(odd.toText().str(),
            std::string("umask=0\ncwd=\ndrivemap=V:|1\ndrivemap=V:\0a|3\ndrivemap=V:\0b|2", 58));
}

TEST(EnvTextTest, HostileTextIsReadWithoutHarm) {
  Env env;
  std::string long_value(1 << 20, 'v');
  std::string text = "BIG=" + long_value + "\n" + std::string(300000, 'n') +
                     "\numask=" + std::string(5000, '9') + "\ncwd=" + std::string(100000, '\\');
  env.fromText(TqString(text));
  EXPECT_EQ(env.variable("BIG").length(), 1 << 20);
  EXPECT_EQ(env.variable(TqString(std::string(300000, 'n'))), TqString(""));
  EXPECT_EQ(env.variableCount(), 2);
  EXPECT_EQ(env.umask, 2147483647);  // clamped
  EXPECT_EQ(env.cwd.length(), 100000);

  const char with_nul[] = "A=x\0y\nB\0C=2\ndrivemap=Z:|a\0b\n\0=3\nD=4";
  env.fromText(TqString(with_nul, static_cast<int32_t>(sizeof(with_nul) - 1)));
  EXPECT_EQ(env.variable("A"), TqString("x\0y", 3));
  EXPECT_EQ(env.variable(TqString("B\0C", 3)), TqString("2"));
  EXPECT_EQ(env.mount("Z:"), TqString("a\0b", 3));
  EXPECT_EQ(env.variable(TqString("\0", 1)), TqString("3"));
  EXPECT_EQ(env.variable("D"), TqString("4"));

  for (const char* odd : {"=", "|", "\n", "drivemap=", "drivemap=|", "umask=", "umask=-", "cwd"}) {
    env.fromText(odd);
    Env again;
    again.fromText(env.toText());
    expectSameEnv(env, again);
  }
}

TEST(EnvTextTest, ReadingEndsAtTheBoundsOfVariablesAndDrives) {
  std::string text = "umask=18\ncwd=/w\n";
  for (int i = 0; i < kMaxEnvVariables; ++i) text += "V" + std::to_string(i) + "=1\n";
  text += "drivemap=Z:|\\\\srv\\share\numask=1\nLAST=2\n";
  Env env;
  env.fromText(TqString(std::string_view(text)));
  EXPECT_EQ(env.variableCount(), kMaxEnvVariables);
  EXPECT_EQ(env.variable(TqString("V" + std::to_string(kMaxEnvVariables - 1))), TqString("1"));
  EXPECT_EQ(env.mount("Z:"), TqString("\\\\srv\\share"));  // mounts have their own bound
  EXPECT_EQ(env.variable("LAST"), TqString(""));           // the line past the bound ended reading
  EXPECT_EQ(env.umask, 18);

  std::string drives;
  for (int i = 0; i <= kMaxMounts; ++i) drives += "drivemap=" + std::to_string(i) + "|t\n";
  drives += "drivemap=0|again\nA=1\n";
  env.fromText(TqString(std::string_view(drives)));
  EXPECT_EQ(env.mountCount(), kMaxMounts);
  EXPECT_EQ(env.mount("0"), TqString("t"));
  EXPECT_EQ(env.variableCount(), 0);
}

TEST(EnvMountTest, DriveMapTextAddsNoDrivePastTheBound) {
  std::string text;
  for (int i = 0; i < kMaxMounts + 5; ++i) text += std::to_string(i) + "|t" + "\n";
  text += "0|replaced\n";
  Env env;
  env.setMountsFromText(TqString(std::string_view(text)));
  EXPECT_EQ(env.mountCount(), kMaxMounts);
  EXPECT_EQ(env.mount("0"), TqString("replaced"));  // drives already there still change
  EXPECT_EQ(env.mount(TqString(kMaxMounts)), TqString(""));
}

TEST(EnvRecordTest, EncodesAndDecodesEveryField) {
  Env env = sampleEnv();
  env.setVariable("EMPTY", "");
  env.setMountsFromText("Y:|user:pw@\\\\srv\\y");
  ASSERT_GT(env.encode(), 0);
  Env binary;
  ASSERT_EQ(binary.decode(env.buffer(), env.bufferLength()), kDecoded);
  expectSameEnv(env, binary);

  test::TempDir dir;
  const std::string file = dir.file("env.txt");
  ASSERT_GT(env.saveText(file.c_str()), 0);
  Env markup;
  ASSERT_GT(markup.loadText(file.c_str()), 0);
  expectSameEnv(env, markup);
  EXPECT_EQ(std::string(env.typeName()), "env");
  EXPECT_EQ(env.classId(), 49);
}

TEST(EnvRecordTest, VariablesReplaceFirstAndAppendNew) {
  Env env;
  EXPECT_EQ(env.variable("A"), TqString(""));
  env.setVariable("A", "1");
  env.setVariable("B", "2");
  env.setVariable("A", "3");
  EXPECT_EQ(variablesOf(env), (Variables{{"A", "3"}, {"B", "2"}}));
  EXPECT_EQ(env.variable("a"), TqString(""));  // names are case-sensitive

  // A record from elsewhere may carry fewer values than names.
  env.keys.append(TqString("C"));
  env.keys.append(TqString("D"));
  EXPECT_EQ(env.variable("D"), TqString(""));
  env.setVariable("D", "4");
  EXPECT_EQ(variablesOf(env), (Variables{{"A", "3"}, {"B", "2"}, {"C", ""}, {"D", "4"}}));
  env.values.append(TqString("stray"));
  env.setVariable("E", "5");
  EXPECT_EQ(env.variable("E"), TqString("5"));
  EXPECT_EQ(env.keys.count(), env.values.count());

  env.clearVariables();
  EXPECT_EQ(env.variableCount(), 0);
  EXPECT_EQ(env.values.count(), 0);
}

class FakeDrives : public DriveProbe {
 public:
  uint32_t mask = 0;
  std::map<std::string, std::string> network;
  std::map<std::string, std::string> devices;
  mutable std::vector<std::string> asked;

  uint32_t logicalDriveMask() const override { return mask; }
  TqString networkTarget(const TqString& drive) const override {
    asked.push_back(drive.str());
    auto it = network.find(drive.str());
    return it == network.end() ? TqString() : TqString(it->second);
  }
  TqString deviceName(const TqString& drive) const override {
    auto it = devices.find(drive.str());
    return it == devices.end() ? TqString() : TqString(it->second);
  }
};

uint32_t bit(char letter) { return uint32_t{1} << (letter - 'A'); }

TEST(EnvMountTest, CaptureMapsNetworkAndSubstitutedDrivesOnly) {
  FakeDrives drives;
  drives.mask = bit('A') | bit('C') | bit('P') | bit('S') | bit('T') | bit('Z') | (1u << 26);
  drives.network["P:"] = "\\\\srv\\projects";
  drives.devices["P:"] = "\\??\\C:\\never";  // a network drive needs no device lookup
  drives.devices["C:"] = "\\Device\\HarddiskVolume1";
  drives.devices["S:"] = "\\??\\C:\\work";
  drives.devices["T:"] = "\\??\\ab";  // six characters: too short to count
  drives.devices["Q:"] = "\\??\\C:\\not-in-mask";
  Env env;
  env.mounts.insert(TqString("K:"), TqString("kept"));
  captureDriveMounts(drives, env.mounts);

  EXPECT_EQ(mountsOf(env), (std::map<std::string, std::string>{
                               {"K:", "kept"}, {"P:", "\\\\srv\\projects"}, {"S:", "C:\\work"}}));
  EXPECT_EQ(drives.asked, (std::vector<std::string>{"A:", "C:", "P:", "S:", "T:", "Z:"}));

  // The configured drive map replaces what capture found.
  env.setMountsFromText("P:|\\\\other\\projects\n  s: | D:\\elsewhere \r\nno bar line\n|x");
  EXPECT_EQ(env.mount("P:"), TqString("\\\\other\\projects"));
  EXPECT_EQ(env.mount("S:"), TqString("D:\\elsewhere"));
  EXPECT_EQ(env.mountCount(), 3);
  EXPECT_EQ(env.mount("X:"), TqString(""));

  StringList drives_list;
  env.mountDrives(drives_list);
  ASSERT_EQ(drives_list.count(), 3);
  EXPECT_EQ(drives_list[0], TqString("K:"));
  EXPECT_EQ(drives_list[1], TqString("P:"));
  EXPECT_EQ(drives_list[2], TqString("S:"));
  env.clearMounts();
  EXPECT_EQ(env.mountCount(), 0);
}

struct Split {
  std::string user, password, path;
  bool operator==(const Split& o) const {
    return user == o.user && password == o.password && path == o.path;
  }
};

Split split(const char* target) {
  TqString user("stale"), password("stale"), path("stale");
  splitMountTarget(target, user, password, path);
  EXPECT_TRUE(password.isSecure());
  return Split{user.str(), password.str(), path.str()};
}

TEST(EnvMountTest, CredentialSplit) {
  EXPECT_EQ(split("bob:secret@\\\\srv\\share"), (Split{"bob", "secret", "\\\\srv\\share"}));
  EXPECT_EQ(split("bob@\\\\srv\\share"), (Split{"bob", "", "\\\\srv\\share"}));
  EXPECT_EQ(split("\\\\srv\\share"), (Split{"", "", "\\\\srv\\share"}));
  EXPECT_EQ(split("CORP\\bob:p:w@x@/mnt/a"), (Split{"CORP\\bob", "p:w", "x@/mnt/a"}));
  EXPECT_EQ(split("bob:@path"), (Split{"bob", "", "path"}));
  EXPECT_EQ(split("@path"), (Split{"", "", "path"}));
  EXPECT_EQ(split("bob:pw@"), (Split{"bob", "pw", ""}));
  // Targets that already start as a path keep their '@'.
  EXPECT_EQ(split("\\\\server@SSL\\DavWWWRoot"), (Split{"", "", "\\\\server@SSL\\DavWWWRoot"}));
  EXPECT_EQ(split("C:\\Users\\me@corp\\files"), (Split{"", "", "C:\\Users\\me@corp\\files"}));
  EXPECT_EQ(split("/home/a@b"), (Split{"", "", "/home/a@b"}));
  EXPECT_EQ(split(""), (Split{"", "", ""}));

  Env env;
  env.setMountsFromText("Z:|bob:secret@\\\\srv\\share");
  TqString user, password, path;
  EXPECT_FALSE(env.mountCredentials("Y:", user, password, path));
  ASSERT_TRUE(env.mountCredentials("Z:", user, password, path));
  EXPECT_EQ(Split({user.str(), password.str(), path.str()}),
            (Split{"bob", "secret", "\\\\srv\\share"}));
}

// Changes the working directory for one scope.
class ScopedDirectory {
 public:
  explicit ScopedDirectory(const std::string& path) : previous_(platform::currentDirectory()) {
    EXPECT_TRUE(platform::changeDirectory(path));
  }
  ~ScopedDirectory() { platform::changeDirectory(previous_); }

 private:
  std::string previous_;
};

TEST(EnvCaptureTest, FindsTheProcessEnvironmentAndWorkingDirectory) {
  test::TempDir dir;
  const std::string sub = dir.file("capture here");
  ASSERT_TRUE(platform::makeDirectory(sub));
  ScopedDirectory in(sub);
  platform::ScopedEnvironmentVariable var("TQ_ENV_CAPTURE_TEST", "a=b c");

  Env env;
  env.umask = 18;
  env.setVariable("STALE", "x");
  env.capture();

  EXPECT_EQ(env.variable("TQ_ENV_CAPTURE_TEST"), TqString("a=b c"));
  EXPECT_EQ(env.variable("STALE"), TqString(""));
  EXPECT_EQ(env.keys.count(), env.values.count());
  EXPECT_EQ(static_cast<size_t>(env.variableCount()), platform::environmentEntries().size());
  EXPECT_EQ(env.umask, 18);
  EXPECT_EQ(baseName(env.cwd), TqString("capture here"));
  EXPECT_TRUE(isDirectory(env.cwd));
  EXPECT_EQ(processVariable("TQ_ENV_CAPTURE_TEST"), TqString("a=b c"));

  // Every captured drive is a letter and a colon; a system without drive letters has none.
  StringList drives;
  env.mountDrives(drives);
  for (int32_t i = 0; i < drives.count(); ++i) {
    EXPECT_EQ(drives[i].length(), 2);
    EXPECT_EQ(drives[i].at(1), ':');
  }
#ifndef _WIN32
  EXPECT_EQ(env.mountCount(), 0);
#endif

  // What was captured survives the text form, apart from what it cannot carry.
  Env back;
  back.fromText(env.toText());
  EXPECT_EQ(back.variable("TQ_ENV_CAPTURE_TEST"), TqString("a=b c"));
  EXPECT_EQ(back.cwd, env.cwd);
}

TEST(EnvCaptureTest, ProcessVariablesAreReadAndSet) {
  platform::ScopedEnvironmentVariable restore("TQ_ENV_PUT_TEST", "before");
  EXPECT_TRUE(putVariable("TQ_ENV_PUT_TEST", "after"));
  EXPECT_EQ(processVariable("TQ_ENV_PUT_TEST"), TqString("after"));
  EXPECT_FALSE(putVariable("", "x"));
  EXPECT_FALSE(putVariable("A=B", "x"));
  EXPECT_FALSE(putVariable(TqString("A\0B", 3), "x"));
  EXPECT_EQ(processVariable("TQ_ENV_NEVER_SET_ANYWHERE"), TqString(""));
}

}  // namespace
}  // namespace tq

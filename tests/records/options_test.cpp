// The command-line option parser: matching by prefix, the four kinds, the exact error texts,
// positional arguments, and the help and version exits (through a recording exit function).
#include "records/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/option_table.h"

namespace tq {
namespace {

class OptionParserTest : public ::testing::Test {
 protected:
  OptionParserTest() {
    parser.setExitFunction([this](int status) { exits.push_back(status); });
  }

  bool parse(std::vector<const char*> words) {
    words.insert(words.begin(), "prog");
    return parser.parse(static_cast<int>(words.size()), words.data());
  }
  std::string error() const { return parser.errorText().str(); }
  std::string value(const char* name) const {
    TqString v;
    return parser.stringValue(name, v) ? v.str() : "<unset>";
  }

  OptionParser parser;
  std::vector<int> exits;
};

TEST_F(OptionParserTest, PrefixesSelectOptionsAndSharedPrefixesAreAmbiguous) {
  parser.declareString("output");
  parser.declareString("offset");
  EXPECT_FALSE(parse({"-o", "x"}));
  EXPECT_EQ(error(), "ERROR: ambiguous option '-o'\n\tcould be:\n\t\t-output\n\t\t-offset\n");
  EXPECT_FALSE(parser.isSet("output"));

  EXPECT_TRUE(parse({"-ou", "a.txt", "-of", "7"}));
  EXPECT_EQ(value("output"), "a.txt");
  EXPECT_EQ(value("offset"), "7");
}

TEST_F(OptionParserTest, AnyNumberOfDashesNamesTheSameOption) {
  parser.declareString("output");
  EXPECT_TRUE(parse({"--output", "one"}));
  EXPECT_EQ(value("output"), "one");
  EXPECT_TRUE(parse({"-output", "two"}));
  EXPECT_EQ(value("output"), "two");
  EXPECT_TRUE(parse({"---out", "three"}));
  EXPECT_EQ(value("output"), "three");
}

TEST_F(OptionParserTest, AnExactNameWinsOverLongerNamesItPrefixes) {
  parser.declareFlag("out");
  parser.declareFlag("output");
  EXPECT_TRUE(parse({"-out"}));
  EXPECT_TRUE(parser.isSet("out"));
  EXPECT_FALSE(parser.isSet("output"));
}

TEST_F(OptionParserTest, UnknownOptionsAndEmptyOptionWordsFail) {
  parser.declareFlag("force");
  EXPECT_FALSE(parse({"-force", "-zap"}));
  EXPECT_EQ(error(), "ERROR: unknown option -zap\n");
  EXPECT_TRUE(parser.isSet("force"));  // processed before the failure
  EXPECT_FALSE(parse({"--"}));
  EXPECT_EQ(error(), "ERROR: unknown option --\n");
}

TEST_F(OptionParserTest, HelpRunsItsCallbackAfterTheArgumentsAndExitsWithZero) {
  int helped = 0;
  parser.declareFlag("verbose");
  parser.declareString("output");
  parser.setHelpCallback([&](OptionParser& p) {
    ++helped;
    EXPECT_EQ(p.programName(), TqString("prog"));
    EXPECT_TRUE(p.isSet("verbose"));  // every argument was processed first
  });
  EXPECT_TRUE(parse({"-h", "-verb", "-o", "x"}));
  EXPECT_EQ(helped, 1);
  EXPECT_EQ(exits, std::vector<int>{0});

  // "v" begins both "version" and "verbose".
  EXPECT_FALSE(parse({"-v"}));
  EXPECT_EQ(error(), "ERROR: ambiguous option '-v'\n\tcould be:\n\t\t-version\n\t\t-verbose\n");
  EXPECT_EQ(helped, 1);
}

TEST_F(OptionParserTest, HelpWinsOverVersionAndBothExitWithZero) {
  int helped = 0;
  int versioned = 0;
  parser.setHelpCallback([&](OptionParser&) { ++helped; });
  parser.setVersionCallback([&](OptionParser&) { ++versioned; });
  EXPECT_TRUE(parse({"-h", "-v"}));
  EXPECT_EQ(helped, 1);
  EXPECT_EQ(versioned, 0);
  EXPECT_EQ(exits, std::vector<int>{0});

  OptionParser only_version;
  std::vector<int> version_exits;
  only_version.setExitFunction([&](int status) { version_exits.push_back(status); });
  only_version.setVersionCallback([&](OptionParser&) { ++versioned; });
  const char* argv[] = {"prog", "--version"};
  EXPECT_TRUE(only_version.parse(2, argv));
  EXPECT_EQ(versioned, 1);
  EXPECT_EQ(version_exits, std::vector<int>{0});
}

TEST_F(OptionParserTest, WithoutCallbacksHelpStillExits) {
  EXPECT_TRUE(parse({"-help"}));
  EXPECT_EQ(exits, std::vector<int>{0});
}

TEST_F(OptionParserTest, NumbersAndPlainWordsEndTheOptions) {
  parser.declareFlag("force");
  EXPECT_TRUE(parse({"-5", "-force", "x"}));
  EXPECT_FALSE(parser.isSet("force"));
  ASSERT_EQ(parser.positionalCount(), 3);
  EXPECT_EQ(*parser.positional(0), TqString("-5"));
  EXPECT_EQ(*parser.positional(2), TqString("x"));
  EXPECT_EQ(parser.positional(3), nullptr);
  EXPECT_EQ(parser.positional(-1), nullptr);

  EXPECT_TRUE(parse({"-force", "file", "-force"}));
  EXPECT_TRUE(parser.isSet("force"));
  ASSERT_EQ(parser.positionalCount(), 2);
  EXPECT_EQ(*parser.positional(1), TqString("-force"));

  EXPECT_TRUE(parse({"-", "a"}));
  EXPECT_EQ(parser.positionalCount(), 2);
}

TEST_F(OptionParserTest, ParametersAreTheNextWordWhateverItLooksLike) {
  parser.declareString("output");
  EXPECT_TRUE(parse({"-output", "-force"}));
  EXPECT_EQ(value("output"), "-force");
  EXPECT_TRUE(parse({"-output", ""}));
  EXPECT_EQ(value("output"), "");
  EXPECT_FALSE(parse({"-output"}));
  EXPECT_EQ(error(), "ERROR: parameter '-output' missing input\n");
}

TEST_F(OptionParserTest, IntegerParametersAcceptOnlyAnOptionalMinusAndDigits) {
  parser.declareInteger("count");
  int32_t n = 0;
  EXPECT_TRUE(parse({"-c", "42"}));
  ASSERT_TRUE(parser.integerValue("count", n));
  EXPECT_EQ(n, 42);
  EXPECT_TRUE(parse({"-c", "-7"}));
  ASSERT_TRUE(parser.integerValue("count", n));
  EXPECT_EQ(n, -7);
  EXPECT_TRUE(parse({"-c", "99999999999"}));
  ASSERT_TRUE(parser.integerValue("count", n));
  EXPECT_EQ(n, 2147483647);

  EXPECT_FALSE(parse({"-c", ""}));
  EXPECT_EQ(error(), "ERROR: option expects an integer '-c'");
  EXPECT_FALSE(parse({"-c", "12a"}));
  EXPECT_EQ(error(), "ERROR: parameter '12a' is not an integer\n");
  EXPECT_FALSE(parse({"-c", "1-2"}));
  EXPECT_EQ(error(), "ERROR: parameter '1-2' is not an integer\n");
  EXPECT_FALSE(parse({"-c", "-"}));
  EXPECT_FALSE(parse({"-c"}));
  EXPECT_EQ(error(), "ERROR: parameter '-c' missing input\n");
}

TEST_F(OptionParserTest, SignedParametersGiveASignAndANumber) {
  parser.declareSignedInteger("shift");
  char sign = 0;
  int32_t n = 0;
  struct Case {
    const char* text;
    char sign;
    int32_t number;
  };
  for (const Case& c : {Case{"+5", '+', 5}, Case{"-12", '-', 12}, Case{"7", '=', 7},
                        Case{"30", '=', 30}, Case{"+0", '+', 0}}) {
    ASSERT_TRUE(parse({"-shift", c.text})) << c.text << ": " << error();
    ASSERT_TRUE(parser.signedValue("shift", sign, n));
    EXPECT_EQ(sign, c.sign) << c.text;
    EXPECT_EQ(n, c.number) << c.text;
  }

  EXPECT_FALSE(parse({"-shift", ""}));
  EXPECT_EQ(error(), "ERROR: parameter '-shift' is blank\n");
  for (const char* bad : {"x", "+", "-", "5x", "+-5", "--5", "+5-"}) {
    EXPECT_FALSE(parse({"-shift", bad})) << bad;
    EXPECT_EQ(error(), "ERROR: parameter '-shift' is not an integer\n") << bad;
  }
}

TEST_F(OptionParserTest, LookupsUseExactNamesAndAnswerFalseWhenUnset) {
  parser.declareString("output");
  parser.declareSignedInteger("shift");
  EXPECT_TRUE(parse({}));
  TqString s;
  int32_t n = 5;
  char sign = 'x';
  EXPECT_FALSE(parser.isSet("output"));
  EXPECT_FALSE(parser.stringValue("output", s));
  EXPECT_FALSE(parser.integerValue("output", n));
  EXPECT_FALSE(parser.signedValue("shift", sign, n));
  EXPECT_FALSE(parser.isSet("nothing"));
  EXPECT_EQ(n, 5);
  EXPECT_EQ(sign, 'x');

  EXPECT_TRUE(parse({"-out", "a"}));
  EXPECT_TRUE(parser.isSet("output"));
  EXPECT_FALSE(parser.isSet("out"));
}

TEST_F(OptionParserTest, UsageAndHelpListEveryOptionInDeclarationOrder) {
  parser.declareFlag("force");
  parser.declareString("output");
  EXPECT_TRUE(parse({}));
  EXPECT_EQ(parser.usageText(), TqString("help: prog -help -version -force -output \n"));
  EXPECT_EQ(parser.helpText(), TqString("help: prog\n\t-help\n\t-version\n\t-force\n\t-output\n"));
  ASSERT_EQ(parser.options().count(), 4);
  EXPECT_EQ(parser.options()[3].kind, Option::kStringParameter);
}

TEST_F(OptionParserTest, AnEmptyOrShortArgumentVectorIsAccepted) {
  EXPECT_TRUE(parser.parse(0, nullptr));
  const char* argv[] = {"prog", nullptr, "-zap"};
  EXPECT_TRUE(parser.parse(3, argv));  // the null entry ends the vector
  EXPECT_EQ(parser.programName(), TqString("prog"));
  EXPECT_EQ(parser.positionalCount(), 0);
}

}  // namespace
}  // namespace tq

namespace tq {
namespace {

struct TableSettings {
  int32_t port = 0;
  bool verbose = false;
  std::string name;
};

const OptionRow<TableSettings> kTable[] = {
    {nullptr, Option::kFlag, "", "Where", nullptr},
    {"port", Option::kIntegerParameter, "N", "the port\n(0: any)",
     [](TableSettings& s, const TqString& v, std::string& why) {
       s.port = v.toInt();
       why = "-port expects 0 to 65535";
       return s.port <= 65535;
     }},
    {"verbose", Option::kFlag, "", "say more",
     [](TableSettings& s, const TqString&, std::string&) { return s.verbose = true; }},
    {"a-rather-long-name", Option::kStringParameter, "TEXT", "wraps",
     [](TableSettings& s, const TqString& v, std::string&) {
       s.name = v.str();
       return true;
     }},
};

// One table declares the options, applies what was given and writes the help.
TEST(OptionTable, DeclaresAppliesAndDocumentsFromTheSameRows) {
  const struct {
    std::vector<const char*> argv;
    bool ok;
    int32_t port;
    bool verbose;
    std::string why;
  } runs[] = {
      {{"p", "-port", "80", "-verb"}, true, 80, true, ""},
      {{"p", "-a-rather", "x"}, true, 0, false, ""},
      {{"p", "-port", "70000"}, false, 70000, false, "-port expects 0 to 65535"},
  };
  for (const auto& run : runs) {
    OptionParser parser;
    declareOptions(parser, kTable);
    ASSERT_TRUE(parser.parse(static_cast<int>(run.argv.size()), run.argv.data()));
    TableSettings settings;
    std::string why;
    EXPECT_EQ(applyOptions(parser, kTable, settings, why), run.ok) << run.argv[1];
    EXPECT_EQ(settings.port, run.port);
    EXPECT_EQ(settings.verbose, run.verbose);
    EXPECT_EQ(why, run.why);
  }
  EXPECT_EQ(optionHelp(kTable),
            "Where:\n"
            "  -port N             the port\n"
            "                      (0: any)\n"
            "  -verbose            say more\n"
            "  -a-rather-long-name TEXT\n"
            "                      wraps\n");
}

}  // namespace
}  // namespace tq

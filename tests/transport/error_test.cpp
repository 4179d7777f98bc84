// The error record: the message table row by row against a golden file, the "$" expansion, and
// copies that carry their values.
#include "transport/error.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "job/registry.h"

namespace tq {
namespace {

Error withValue(int32_t code, const char* name, const char* text) {
  Error e(code);
  e.setValue(name, text);
  return e;
}

TEST(ErrorTable, EveryRowReadsAsTheGoldenFileSays) {
  std::ifstream golden(TQ_TEST_SOURCE_DIR "/transport/golden/message_table.txt");
  ASSERT_TRUE(golden.good());
  std::string line;
  int rows = 0;
  while (std::getline(golden, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t tab = line.find('\t');
    ASSERT_NE(tab, std::string::npos) << line;
    int32_t code = std::stoi(line.substr(0, tab));
    EXPECT_STREQ(messageTemplate(code), line.substr(tab + 1).c_str()) << "code " << code;
    ++rows;
  }
  EXPECT_EQ(rows, 85);
}

TEST(ErrorTable, UnlistedCodesReadGeneralError) {
  for (int32_t code : {0, -1, 42, 999, 2055, 5000, 100002})
    EXPECT_EQ(Error(code).text(), TqString("general error")) << code;
}

TEST(ErrorText, ExpandsBothReferenceForms) {
  EXPECT_EQ(withValue(18, "VERSION", "1").text(),
            TqString("tcp comm version doesn't match - version: 1"));
  EXPECT_EQ(withValue(1050, "ERROR", "Address already in use").text(),
            TqString("tcp bind fail: Address already in use"));
  EXPECT_EQ(withValue(3065, "SIZE", "1024").text().str().substr(0, 33),
            "log file too large >1024 bytes an");
  Error e(1);
  // A template of our own making: "$(NAME)" takes everything up to ')'.
  e.setValue("A B", "x");
  e.setValue("ERROR", "y");
  EXPECT_EQ(expandTemplate("<$(A B)|$ERROR.|$ERRORS|$|$(unclosed", e), TqString("<x|y.|||"));
}

// What the user reads says why: a reason the template leaves out follows it, or stands alone for
// a code without a text of its own; the peer follows in brackets.
TEST(ErrorText, AReasonTheTemplateLeavesOutFollowsItAndThePeerAfterThat) {
  const struct {
    int32_t code;
    const char* reason;
    const char* peer;
    const char* text;
  } rows[] = {
      {35, "Connection refused", nullptr, "unable to connect to host: Connection refused"},
      {37, "Connection refused", nullptr, "unable to connect to host: Connection refused"},
      {41, "closed early", "h port 7", "closed early (h port 7)"},
      {0, nullptr, "h port 7", "general error (h port 7)"},
      {100001, "x", nullptr, "general error: x"},
      {2051, "", nullptr, "unspecifed error"},
  };
  for (const auto& row : rows) {
    Error e(row.code);
    if (row.reason != nullptr) e.setValue("ERROR", row.reason);
    if (row.peer != nullptr) e.setValue("PEER", row.peer);
    EXPECT_EQ(e.text().str(), row.text) << row.code;
  }
}

TEST(ErrorText, UnboundVariablesExpandToNothing) {
  EXPECT_EQ(Error(11).text(), TqString("udp bind fail: "));
  EXPECT_EQ(Error(100000).text(), TqString(""));
}

TEST(ErrorText, Code100000ReadsExactlyItsErrorValue) {
  EXPECT_EQ(withValue(100000, "ERROR", "no such cluster: $x (really)").text(),
            TqString("no such cluster: $x (really)"));
}

TEST(ErrorText, LaterBindingReplacesAndCodeChangeKeepsValues) {
  Error e = withValue(17, "ERROR", "first");
  e.setValue("ERROR", "second");
  e.setCode(19);
  EXPECT_EQ(e.text(), TqString("couldn't read tcp comm length: second"));
}

TEST(ErrorCopy, CarriesCodeAndValues) {
  Error source = withValue(13, "ERROR", "Network is unreachable");
  Error copy;
  copy.copyFrom(source);
  EXPECT_EQ(copy.code(), 13);
  EXPECT_EQ(copy.text(), source.text());
  // Copying replaces what the copy held before.
  Error other = withValue(2, "ERROR", "old");
  other.copyFrom(Error(16));
  EXPECT_EQ(other.text(), TqString("blank message"));
}

TEST(ErrorRecordOnTheWire, TravelsAsErrWithItsValues) {
  Error sent = withValue(3060, "ERROR", "quota exceeded");
  sent.encode();
  std::unique_ptr<Object> received = createRecord(175);
  ASSERT_TRUE(received);
  EXPECT_STREQ(received->typeName(), "err");
  received->decode(sent.buffer(), sent.bufferLength());
  Error back;
  back.copyFrom(static_cast<const ErrorRecord&>(*received));
  EXPECT_EQ(back.text(), TqString("job submission denied - quota exceeded"));
}

TEST(LastError, IsOneProcessWideRecord) {
  lastError().setCode(2052);
  EXPECT_EQ(&lastError(), &lastError());
  EXPECT_EQ(lastError().text(), TqString("ERROR: data returned blank"));
  lastError().copyFrom(Error());
}

}  // namespace
}  // namespace tq

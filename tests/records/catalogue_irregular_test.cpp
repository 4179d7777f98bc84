// The irregular shapes of the catalogue: a field id 0, two fields sharing an id, a field named
// by a digit, the two forms of "state", classes without fields, secure passwords and the error
// record's value map.
#include <gtest/gtest.h>

#include <string>

#include "records/catalogue_access.h"
#include "records/catalogue_hosts.h"
#include "records/catalogue_jobs.h"
#include "records/catalogue_misc.h"
#include "records/catalogue_queries.h"
#include "support/catalogue_check.h"

namespace tq::test {
namespace {

std::string str(int32_t n, const std::string& s) { return be32(n) + s; }

TEST(StatusTallyTest, RunningTravelsAsFieldZero) {
  StatusTally tally;
  tally.running = 7;
  tally.badlogin = 3;
  std::string bytes = encodeBytes(tally);
  EXPECT_EQ(bytes.substr(0, 12), be32(1) + header(0, 1) + be32(7));
  EXPECT_EQ(bytes.substr(bytes.size() - 8), header(10, 1) + be32(3));

  StatusTally back;
  ASSERT_EQ(decodeBytes(back, be32(1) + header(0, 1) + be32(42)), kDecoded);
  EXPECT_EQ(back.running, 42);
  EXPECT_EQ(back.blocked, 0);
}

TEST(AccessTest, BothFieldsWithIdEightAreReadByKind) {
  std::string string_first = be32(1) + header(8, 3) + str(1, "x") + header(8, 1) + be32(1);
  std::string integer_first = be32(1) + header(8, 1) + be32(1) + header(8, 3) + str(1, "x");
  for (const std::string& bytes : {string_first, integer_first}) {
    Access access;
    ASSERT_EQ(decodeBytes(access, bytes), kDecoded);
    EXPECT_EQ(access.sudo_job_filter, TqString("x"));
    EXPECT_EQ(access.valid, 1);
  }

  Access access;
  access.sudo_job_filter = "x";
  access.valid = 1;
  std::string bytes = encodeBytes(access);
  EXPECT_NE(bytes.find(header(8, 3) + str(1, "x") + header(8, 1) + be32(1)), std::string::npos);
  Access back;
  ASSERT_EQ(decodeTextInto(back, wrapText(encodeTextOf(access))), kTextDecoded);
  EXPECT_EQ(back.sudo_job_filter, TqString("x"));
  EXPECT_EQ(back.valid, 1);
}

TEST(OrderTest, FieldTwoIsWrittenUnderTheDigitAndTheTextCannotBeReadBack) {
  Order order;
  order.field_2 = "name";
  std::string text = encodeTextOf(order);
  EXPECT_NE(text.find("\n\t<2>name</2>\n"), std::string::npos) << text;

  // "2" is not a markup name: the reader refuses the whole text and changes nothing.
  Order back;
  back.field_2 = "kept";
  EXPECT_EQ(decodeTextInto(back, wrapText(text)), kTextMalformed);
  EXPECT_EQ(back.field_2, TqString("kept"));

  // The binary form carries it as field 2.
  ASSERT_EQ(decodeBytes(back, encodeBytes(order)), kDecoded);
  EXPECT_EQ(back.field_2, TqString("name"));
}

TEST(StateTest, TheTwoFormsShareAnIdentityAndEachSkipsTheOthersValue) {
  State number;
  StateText text;
  EXPECT_EQ(number.classId(), text.classId());
  EXPECT_STREQ(number.typeName(), text.typeName());

  text.value = "up";
  number.value = 5;
  State number_back;
  number_back.value = 9;
  ASSERT_EQ(decodeBytes(number_back, encodeBytes(text)), kDecoded);
  EXPECT_EQ(number_back.value, 9);
  StateText text_back;
  ASSERT_EQ(decodeBytes(text_back, encodeBytes(number)), kDecoded);
  EXPECT_TRUE(text_back.value.empty());
}

TEST(StateTest, AHostWhoseStateCarriesTextKeepsItsOtherFields) {
  StateText text;
  text.value = "down";
  Host host;
  host.name = "before";
  host.description = "after";
  std::string fields = encodeBytes(host).substr(4);
  // Put the text state in place of the host's numeric one, keeping the fields around it.
  std::string state_field = header(6, 4) + be32(8);
  std::string state_bytes = encodeBytes(text).substr(4);
  size_t at = fields.find(header(6, 4));
  ASSERT_NE(at, std::string::npos);
  std::string numeric = encodeBytes(host.state).substr(4);
  std::string stream = be32(1) + fields.substr(0, at) + state_field +
                       be32(static_cast<int32_t>(state_bytes.size())) + state_bytes +
                       fields.substr(at + 12 + numeric.size());
  Host back;
  back.state.value = 4;
  ASSERT_EQ(decodeBytes(back, stream), kDecoded);
  EXPECT_EQ(back.state.value, 4);
  EXPECT_EQ(back.name, TqString("before"));
  EXPECT_EQ(back.description, TqString("after"));
}

TEST(FieldlessClassTest, WriteOnlyTheirFrame) {
  MutexRecord mutex;
  EXPECT_EQ(encodeBytes(mutex), be32(1));
  EXPECT_EQ(encodeTextOf(mutex), "<version>1</version>\n<object type = 'mutex'>\n</object>");
  Reference reference;
  EXPECT_EQ(decodeBytes(reference, be32(1) + header(1, 1) + be32(3)), kDecoded);
  EXPECT_EQ(encodeBytes(reference), be32(1));
}

TEST(FilterTest, FieldListTravelsUnderTheNameFields) {
  Filter filter;
  FieldRecord field;
  field.name = "user";
  field.sign = '+';
  filter.fields_list.append(field);
  filter.sign = '-';
  std::string text = encodeTextOf(filter);
  EXPECT_NE(text.find("\t<fields>\n"), std::string::npos) << text;
  Filter back;
  ASSERT_EQ(decodeTextInto(back, wrapText(text)), kTextDecoded);
  ASSERT_EQ(back.fields_list.count(), 1);
  EXPECT_EQ(back.fields_list[0].sign, '+');
  EXPECT_EQ(back.sign, '-');
}

TEST(PasswordTest, PasswordTextIsSecureInNewCopiedAndDecodedRecords) {
  Password password;
  EXPECT_TRUE(password.password.isSecure());
  EXPECT_FALSE(password.user.isSecure());
  password.password = "secret";
  Password copy(password);
  EXPECT_TRUE(copy.password.isSecure());
  PasswordList list;
  list.append(password);
  PasswordList back;
  ASSERT_EQ(decodeBytes(back, encodeBytes(list)), kDecoded);
  ASSERT_EQ(back.count(), 1);
  EXPECT_TRUE(back[0].password.isSecure());
  EXPECT_EQ(back[0].password, TqString("secret"));
}

TEST(ErrorRecordTest, ValuesAreBoundReplacedAndCopied) {
  ErrorRecord error;
  EXPECT_EQ(error.code(), 0);
  EXPECT_EQ(error.value("ERROR"), nullptr);
  error.setCode(11);
  error.setValue("ERROR", "first");
  error.setValue("ERROR", "second");
  error.setValue("SIZE", "12");
  ASSERT_NE(error.value("ERROR"), nullptr);
  EXPECT_EQ(*error.value("ERROR"), TqString("second"));
  EXPECT_EQ(error.values.value.count(), 2);

  ErrorRecord other;
  other.setValue("OLD", "gone");
  other.copyFrom(error);
  EXPECT_EQ(other.code(), 11);
  EXPECT_EQ(other.value("OLD"), nullptr);
  ASSERT_NE(other.value("SIZE"), nullptr);
  EXPECT_EQ(*other.value("SIZE"), TqString("12"));

  ErrorRecord back;
  ASSERT_EQ(decodeBytes(back, encodeBytes(error)), kDecoded);
  EXPECT_EQ(back.code(), 11);
  ASSERT_NE(back.value("ERROR"), nullptr);
  EXPECT_EQ(*back.value("ERROR"), TqString("second"));
}

}  // namespace
}  // namespace tq::test

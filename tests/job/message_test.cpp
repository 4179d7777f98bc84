// The message envelope: field order, content through the registry, ownership and copying.
#include "job/message.h"

#include <gtest/gtest.h>

#include "job/registry.h"
#include "records/file_record.h"
#include "support/log_capture.h"
#include "support/sample_records.h"
#include "support/temp_dir.h"

namespace tq::test {
namespace {

// Field ids in the order the stream carries them.
std::vector<int> fieldOrder(const std::string& bytes) {
  std::vector<int> ids;
  Decoder in(reinterpret_cast<const uint8_t*>(bytes.data()) + 4,
             static_cast<int32_t>(bytes.size()) - 4, 0);
  while (in.next()) {
    ids.push_back(in.id());
    in.skip();
  }
  return ids;
}

Message filledMessage() {
  Message m(200);
  m.user = "ann";
  m.domain = "STUDIO";
  m.mac_address.value = "00:1A:2B:3C:4D:5E";
  m.kerv_domain = "farm";
  m.kerv_region = "north";
  return m;
}

TEST(MessageTest, FreshMessageHasVersion500AndNoContent) {
  Message m;
  EXPECT_EQ(m.version, 500);
  EXPECT_EQ(m.tag, 0);
  EXPECT_EQ(m.content(), nullptr);
  EXPECT_EQ(Message(7).tag, 7);
}

TEST(MessageTest, WithoutContentTheFieldsComeInTheirOrderAndDecodeWithoutContent) {
  Message m = filledMessage();
  std::string bytes = encodeBytes(m);
  EXPECT_EQ(fieldOrder(bytes), (std::vector<int>{1, 2, 5, 6, 4, 7, 8, 9}));
  Message back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  EXPECT_EQ(back.tag, 200);
  EXPECT_EQ(back.user, TqString("ann"));
  EXPECT_EQ(back.domain, TqString("STUDIO"));
  EXPECT_EQ(back.mac_address.value, TqString("00:1A:2B:3C:4D:5E"));
  EXPECT_EQ(back.content_type, 0);
  EXPECT_EQ(back.content(), nullptr);
  EXPECT_EQ(back.kerv_region, TqString("north"));
}

TEST(MessageTest, ContentIsRebuiltThroughTheRegistry) {
  Message m = filledMessage();
  auto list = std::make_unique<JobIdList>();
  list->append(JobId(5, 1));
  m.setContent(std::move(list));
  EXPECT_EQ(m.content_type, 18);
  std::string bytes = encodeBytes(m);
  EXPECT_EQ(fieldOrder(bytes), (std::vector<int>{1, 2, 5, 6, 4, 3, 7, 8, 9}));
  Message back;
  ASSERT_EQ(decodeBytes(back, bytes), kDecoded);
  ASSERT_NE(back.content(), nullptr);
  EXPECT_EQ(back.content_type, 18);
  ASSERT_EQ(back.content()->classId(), 18);
  auto* ids = static_cast<JobIdList*>(back.content());
  ASSERT_EQ(ids->count(), 1);
  EXPECT_EQ((*ids)[0].id, 5);
  EXPECT_EQ(encodeBytes(back), bytes);
}

TEST(MessageTest, UnregisteredContentIsLoggedAndEndsTheMessage) {
  Message m = filledMessage();
  m.setContent(std::make_unique<JobId>(1, 2));
  std::string bytes = encodeBytes(m);
  // Rewrite the content's class id (19) to 200.
  std::string content = header(3, 4) + be32(19);
  size_t at = bytes.find(content);
  ASSERT_NE(at, std::string::npos);
  bytes.replace(at + 4, 4, be32(200));

  LogCapture log;
  Message back;
  back.version = 12;
  back.kerv_domain = "old";
  decodeBytes(back, bytes);
  EXPECT_EQ(log.text(), "trying to decode unregistered class: 200\n");
  EXPECT_EQ(back.content(), nullptr);
  EXPECT_EQ(back.version, 12);  // fields after the content keep their values
  EXPECT_EQ(back.kerv_domain, TqString("old"));
  EXPECT_EQ(back.tag, 200);  // fields before it were read
}

TEST(MessageTest, TruncatedContentEndsTheMessage) {
  Message m = filledMessage();
  m.setContent(std::make_unique<JobId>(1, 2));
  std::string bytes = encodeBytes(m);
  size_t at = bytes.find(header(3, 4) + be32(19));
  bytes.replace(at + 8, 4, be32(5000));
  Message back;
  back.version = 9;
  decodeBytes(back, bytes);
  EXPECT_EQ(back.content(), nullptr);
  EXPECT_EQ(back.version, 9);
}

TEST(MessageTest, CopyingMakesADefaultContentAndLogs) {
  Message m = filledMessage();
  auto file = std::make_unique<FileRecord>();
  file->data = "payload";
  m.setContent(std::move(file));
  m.sender.value = 0x7f000001;
  LogCapture log;
  Message copy(m);
  EXPECT_EQ(log.text(), "ERROR: using message copy\n");
  EXPECT_EQ(copy.user, TqString("ann"));
  EXPECT_EQ(copy.content_type, 105);
  ASSERT_NE(copy.content(), nullptr);
  EXPECT_NE(copy.content(), m.content());
  EXPECT_TRUE(static_cast<FileRecord*>(copy.content())->data.empty());
  EXPECT_EQ(copy.sender.value, 0);  // the sender address is not copied

  Message plain = filledMessage();
  Message assigned;
  assigned = plain;
  EXPECT_EQ(assigned.content(), nullptr);
  EXPECT_EQ(assigned.kerv_domain, TqString("farm"));
}

TEST(MessageTest, LentContentStaysTheCallers) {
  JobIdList jobs;
  jobs.append(JobId(3, 4));
  {
    Message m(200);
    m.setContentRef(jobs);
    EXPECT_EQ(m.content(), &jobs);
    EXPECT_EQ(m.content_type, 18);
  }
  EXPECT_EQ(jobs.count(), 1);  // still alive and whole after the message is gone
}

TEST(MessageTest, OwnedContentOfAnUnregisteredClassIsLoggedWhenReleased) {
  LogCapture log;
  {
    Message m;
    m.setContent(std::make_unique<Sample>());
  }
  EXPECT_EQ(log.text(), "ERROR: possible memory leak in message module\n");
}

TEST(MessageTest, TextFormReadsOnlyIntoAContentAlreadyHeld) {
  Message m = filledMessage();
  m.setContent(std::make_unique<JobId>(6, 7));
  m.encodeText();
  std::string text = "<pack>" + std::string(m.encoded()) + "</pack>";
  Message without;
  ASSERT_EQ(without.decodeText(text.data(), static_cast<int32_t>(text.size())), kTextDecoded);
  EXPECT_EQ(without.content(), nullptr);
  EXPECT_EQ(without.user, TqString("ann"));
  Message with;
  with.setContent(std::make_unique<JobId>());
  with.decodeText(text.data(), static_cast<int32_t>(text.size()));
  EXPECT_EQ(static_cast<JobId*>(with.content())->sub_id, 7);
}

TEST(RegistryTest, KnownIdsMakeRecordsAndOthersAreRefused) {
  auto r = createRecord(19);
  ASSERT_NE(r, nullptr);
  EXPECT_STREQ(r->typeName(), "job_id");
  EXPECT_TRUE(isRegisteredClass(105));
  EXPECT_FALSE(isRegisteredClass(7));  // a message is never a content
  LogCapture log;
  EXPECT_EQ(createRecord(2), nullptr);  // status exists only inside other records
  EXPECT_EQ(log.text(), "trying to decode unregistered class: 2\n");
}

TEST(FileRecordTest, ReadsAFileAndSavesItElsewhere) {
  TempDir dir;
  std::string path = dir.file("notes.txt");
  FileRecord missing{TqString(path)};
  EXPECT_TRUE(missing.data.empty());
  EXPECT_EQ(missing.name, TqString("notes.txt"));
  FileRecord empty_data;
  empty_data.data = "line one\nline two\n";
  ASSERT_TRUE(empty_data.save(TqString(path)));
  FileRecord read{TqString(path)};
  EXPECT_EQ(read.data, TqString("line one\nline two\n"));
  EXPECT_EQ(read.source, TqString(path));
  FileRecord binary;
  binary.data = TqString(std::string("a\r\nb\x1a\0c", 7));
  ASSERT_TRUE(binary.save(TqString(path)));
  EXPECT_EQ(FileRecord(TqString(path)).data, binary.data);  // CR LF, Ctrl-Z and NUL survive
  FileRecord back;
  decodeBytes(back, encodeBytes(read));
  EXPECT_EQ(back.name, TqString("notes.txt"));
  EXPECT_EQ(back.data, read.data);
}

}  // namespace
}  // namespace tq::test

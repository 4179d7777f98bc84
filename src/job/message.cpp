#include "job/message.h"

#include "job/registry.h"
#include "platform/log_sink.h"
#include "records/limits.h"

namespace tq {

void ContentSlot::own(std::unique_ptr<Object> record) {
  release();
  owned_ = std::move(record);
  record_ = owned_.get();
}

void ContentSlot::lend(Object* record) {
  release();
  record_ = record;
}

void ContentSlot::release() {
  if (owned_ && !isRegisteredClass(owned_->classId()))
    logLine("ERROR: possible memory leak in message module");
  owned_.reset();
  record_ = nullptr;
}

std::unique_ptr<Object> ContentSlot::take() {
  record_ = nullptr;
  return std::move(owned_);
}

bool ContentSlot::readContent(Decoder& in, int16_t id) {
  if (!in.matches(id, kRecordKind)) return false;
  int32_t class_id;
  if (!in.takeInt32(class_id)) {
    in.stop();
    return false;
  }
  release();
  // The content is the one record a few bytes can make of any class: it is charged like a
  // list element (its own size is known only once it exists).
  std::unique_ptr<Object> record =
      in.charge(kDecodeAllocationCost) ? createRecord(class_id) : nullptr;
  int32_t n;
  const uint8_t* bytes;
  if (!record || record->classId() != class_id || !in.takeInt32(n) || !in.takeBytes(n, bytes)) {
    in.stop();
    return false;
  }
  if (in.depth() + 1 <= kMaxNestingDepth)
    record->decodeFields(bytes, n, in.depth() + 1, in.budget());
  own(std::move(record));
  in.markConsumed();
  return true;
}

Message::Message(const Message& other) : Record<Message>(other) { copyFields(other); }

Message& Message::operator=(const Message& other) {
  if (this != &other) copyFields(other);
  return *this;
}

void Message::copyFields(const Message& other) {
  tag = other.tag;
  user = other.user;
  domain = other.domain;
  mac_address = other.mac_address;
  content_type = other.content_type;
  version = other.version;
  kerv_domain = other.kerv_domain;
  kerv_region = other.kerv_region;
  content_.release();
  if (other.content()) {
    content_.own(createRecord(other.content_type));
    logLine("ERROR: using message copy");
  }
}

void Message::setContent(std::unique_ptr<Object> record) {
  content_type = record ? record->classId() : 0;
  content_.own(std::move(record));
}

void Message::setContentRef(Object& record) {
  content_type = record.classId();
  content_.lend(&record);
}

void Message::releaseContent() {
  content_.release();
  content_type = 0;
}

std::unique_ptr<Object> Message::takeContent() {
  content_type = 0;
  return content_.take();
}

}  // namespace tq

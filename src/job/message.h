// tq::Message: the envelope of every request and reply.
//
// It says who asks (user, domain, hardware address, farm domain and region), what is asked (the
// tag) and carries one optional content record of a registered class. The binary form writes
// its fields in the order 1 tag, 2 user, 5 domain, 6 mac_address, 4 content_type, 3 content
// (only when there is one), 7 version, 8 kerv_domain, 9 kerv_region; the text form uses the same
// order. The sender's address is filled in by the transport and travels in neither form.
//
// Content ownership: setContent() hands the record to the message, which deletes it when it is
// replaced, released or the message dies; setContentRef() lends a record that stays the
// caller's (the submission lends its job list this way). A decoded content is always owned.
#pragma once

#include <cstdint>
#include <memory>
#include <tuple>

#include "records/basic_records.h"
#include "records/field.h"

namespace tq {

// The optional content of a message: a record of any registered class, owned or lent.
class ContentSlot {
 public:
  ContentSlot() = default;
  ContentSlot(const ContentSlot&) = delete;
  ContentSlot& operator=(const ContentSlot&) = delete;
  ~ContentSlot() { release(); }

  Object* get() const { return record_; }
  void own(std::unique_ptr<Object> record);
  void lend(Object* record);
  // Drops the content; an owned record is deleted. An owned record of a class the registry
  // does not know is logged, since no peer could have sent it.
  void release();
  // Gives an owned content to the caller (null when lent or empty).
  std::unique_ptr<Object> take();

  // Reader for the content field: the class id in the stream picks the record class through
  // the registry. An unknown or mismatching class, or a length beyond the bytes left, ends the
  // message there.
  bool readContent(Decoder& in, int16_t id);

 private:
  Object* record_ = nullptr;
  std::unique_ptr<Object> owned_;
};

template <>
struct FieldCodec<ContentSlot> {
  static constexpr int16_t kKind = kRecordKind;
  static void put(Encoder& out, int16_t id, const ContentSlot& c) {
    if (c.get()) out.putRecord(id, *c.get());
  }
  static bool get(Decoder& in, int16_t id, ContentSlot& c) { return c.readContent(in, id); }
  static void putText(TextWriter& out, TextName name, const ContentSlot& c) {
    if (c.get()) out.putRecord(name, *c.get());
  }
  // The text form cannot say which class to create: only a content already held is read.
  static bool getText(const TextFrame& f, TextKey name, ContentSlot& c) {
    return c.get() && text::getRecord(f, name, *c.get());
  }
};

class Message : public Record<Message> {
 public:
  static constexpr int32_t kClassId = 7;
  static constexpr const char* kTypeName = "message";
  static constexpr int32_t kProtocolVersion = 500;

  Message() = default;
  explicit Message(int32_t tag_value) : tag(tag_value) {}
  // Copies every field but the sender address. A content is not copied: the copy holds a new
  // default record of the same class, and "ERROR: using message copy" is logged.
  Message(const Message& other);
  Message& operator=(const Message& other);

  int32_t tag = 0;
  TqString user;
  TqString domain;
  MacAddress mac_address;
  int32_t content_type = 0;
  int32_t version = kProtocolVersion;
  TqString kerv_domain;
  TqString kerv_region;
  // The peer's address, stored by the transport when the message arrives.
  Address sender;

  Object* content() const { return content_.get(); }
  int32_t contentType() const { return content_type; }
  // The message owns the record from now on.
  void setContent(std::unique_ptr<Object> record);
  // The record stays the caller's and must outlive its use here.
  void setContentRef(Object& record);
  void releaseContent();
  std::unique_ptr<Object> takeContent();

  // The content field reader, also used for decoding.
  bool readContent(Decoder& in, int16_t id) { return content_.readContent(in, id); }

  static constexpr auto fields() {
    return std::make_tuple(
        Field(1, "tag", &Message::tag), Field(2, "user", &Message::user),
        Field(5, "domain", &Message::domain), Field(6, "mac_address", &Message::mac_address),
        Field(4, "content_type", &Message::content_type), Field(3, "content", &Message::content_),
        Field(7, "version", &Message::version), Field(8, "kerv_domain", &Message::kerv_domain),
        Field(9, "kerv_region", &Message::kerv_region));
  }

 private:
  void copyFields(const Message& other);
  ContentSlot content_;
};

// Lends a record to a message as its content for one scope: whatever path leaves the scope,
// the message gives it back and never deletes it.
class LentContent {
 public:
  LentContent(Message& message, Object& content) : message_(message) {
    message_.setContentRef(content);
  }
  ~LentContent() { message_.releaseContent(); }
  LentContent(const LentContent&) = delete;
  LentContent& operator=(const LentContent&) = delete;

 private:
  Message& message_;
};

}  // namespace tq

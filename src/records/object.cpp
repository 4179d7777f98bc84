#include "records/object.h"

#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <unordered_map>

#include "records/decode_budget.h"
#include "records/file_bytes.h"
#include "records/limits.h"
#include "records/text_form.h"
#include "records/tq_string.h"

namespace tq {

namespace {

// The buffers of the records that have been encoded, by address. The table is never destroyed:
// records in static storage may outlive it otherwise.
struct Encodings {
  std::mutex mutex;
  std::unordered_map<const Object*, std::unique_ptr<ByteBuffer>> buffers;
};

Encodings& encodings() {
  static Encodings* table = new Encodings;
  return *table;
}

}  // namespace

ByteBuffer& Object::ownBuffer() {
  Encodings& table = encodings();
  std::lock_guard<std::mutex> lock(table.mutex);
  std::unique_ptr<ByteBuffer>& slot = table.buffers[this];
  if (!slot) slot = std::make_unique<ByteBuffer>();
  has_encoding_ = true;
  return *slot;
}

const ByteBuffer* Object::lastEncoding() const {
  if (!has_encoding_) return nullptr;
  Encodings& table = encodings();
  std::lock_guard<std::mutex> lock(table.mutex);
  auto found = table.buffers.find(this);
  return found == table.buffers.end() ? nullptr : found->second.get();
}

void Object::dropEncoding() {
  if (!has_encoding_) return;
  std::unique_ptr<ByteBuffer> buffer;  // released outside the lock
  {
    Encodings& table = encodings();
    std::lock_guard<std::mutex> lock(table.mutex);
    auto found = table.buffers.find(this);
    if (found != table.buffers.end()) {
      buffer = std::move(found->second);
      table.buffers.erase(found);
    }
  }
  has_encoding_ = false;
}

const uint8_t* Object::buffer() const {
  const ByteBuffer* b = lastEncoding();
  return b ? b->data() : nullptr;
}

int32_t Object::bufferLength() const {
  const ByteBuffer* b = lastEncoding();
  return b ? b->length() : 0;
}

std::string_view Object::encoded() const {
  const ByteBuffer* b = lastEncoding();
  return b ? b->view() : std::string_view();
}

int32_t Object::encode() {
  ByteBuffer& buffer = ownBuffer();
  buffer.setTextMode(false);
  buffer.reset();
  buffer.appendInt32(kStreamVersion);
  Encoder out(buffer);
  writeFields(out);
  out.finish();
  if (buffer.failed()) {
    dropEncoding();
    return 0;
  }
  return buffer.length();
}

int Object::decode(const uint8_t* bytes, int32_t n) {
  if (bytes == nullptr || n < 4) return kDecodeTooShort;
  dropEncoding();
  if (readInt32(bytes) != kStreamVersion) return kDecodeBadVersion;
  if (n - 4 <= 0) return kDecodeEmpty;
  DecodeBudget budget(n);
  decodeFields(bytes + 4, n - 4, 0, &budget);
  return kDecoded;
}

void Object::decodeFields(const uint8_t* bytes, int32_t n, int depth, DecodeBudget* budget) {
  Decoder in(bytes, n, depth, budget);
  while (in.next()) {
    readField(in);
    if (!in.consumed()) in.skip();
  }
}

int32_t Object::saveBinary(const char* path) {
  int32_t n = encode();
  if (n == 0 || !writeFileBytes(path, encoded(), /*text=*/false)) return 0;
  return n;
}

int32_t Object::loadBinary(const char* path) {
  std::string bytes;
  if (!readFileBytes(path, bytes, /*text=*/false)) return 0;
  if (bytes.size() > INT32_MAX) return 0;
  int32_t n = static_cast<int32_t>(bytes.size());
  return decode(reinterpret_cast<const uint8_t*>(bytes.data()), n) == kDecoded ? n : 0;
}

int32_t Object::encodeText() {
  ByteBuffer& buffer = ownBuffer();
  buffer.setTextMode(true);
  buffer.reset();
  buffer.append("<version>1</version>\n");
  buffer.append("<object type = '");
  buffer.append(typeName());
  buffer.append("'>\n");
  ByteCursor cursor(buffer);
  TextWriter out(cursor, 1);
  writeNamedFields(out);
  cursor.finish();
  buffer.append("</object>");
  if (buffer.failed()) {
    dropEncoding();
    return 0;
  }
  return buffer.length();
}

int Object::decodeText(const char* text, int32_t n) {
  DecodeBudget budget(n);
  TextDocument document;
  int result = parseTextFrames(text, n, budget, document);
  if (result != kTextDecoded) return result;
  std::string_view version;
  if (!document.root().scalar("version", version)) return kTextNoVersion;
  if (TqString::toInt(version) != 1) return kTextBadVersion;
  if (const TextFrame* fields = document.root().object("undef_obj")) readNamedFields(*fields);
  return kTextDecoded;
}

int32_t Object::saveText(const char* path) {
  int32_t n = encodeText();
  if (n == 0 || !writeFileBytes(path, encoded(), /*text=*/true)) return 0;
  return n;
}

int32_t Object::loadText(const char* path) {
  std::string contents;
  if (!readFileBytes(path, contents, /*text=*/true)) return 0;
  std::string wrapped = "<pack>\n" + contents + "\n</pack>";
  if (wrapped.size() > INT32_MAX) return 0;
  int32_t n = static_cast<int32_t>(wrapped.size());
  return decodeText(wrapped.data(), n) == kTextDecoded ? n : 0;
}

// ---- Encoder ----

void Encoder::putRecord(int16_t id, const Object& record) {
  int32_t length_at = beginRecord(id, record.classId());
  if (length_at < 0) return;
  record.writeFields(*this);
  endRecord(length_at);
}

// ---- Decoder ----

bool Decoder::charge(int64_t bytes) { return budget_ == nullptr || budget_->charge(bytes); }

bool Decoder::getChar(int16_t id, char& value) {
  if (!matches(id, kCharacterKind)) return false;
  const uint8_t* p;
  if (!takeBytes(1, p)) {
    stop();
    return false;
  }
  value = static_cast<char>(*p);
  consumed_ = true;
  return true;
}

bool Decoder::getBool(int16_t id, bool& value) {
  if (!matches(id, kBooleanKind)) return false;
  const uint8_t* p;
  if (!takeBytes(1, p)) {
    stop();
    return false;
  }
  value = *p != 0;
  consumed_ = true;
  return true;
}

bool Decoder::getString(int16_t id, TqString& value) {
  if (!matches(id, kStringKind)) return false;
  int32_t n;
  const uint8_t* p;
  if (!takeInt32(n) || !takeBytes(n, p)) {
    stop();
    return false;
  }
  if (n > 0) value.assignFitted(reinterpret_cast<const char*>(p), n);
  consumed_ = true;
  return true;
}

bool Decoder::getRecord(int16_t id, Object& record) {
  const uint8_t* fields;
  int32_t n;
  if (!enterRecord(id, record.classId(), fields, n)) return false;
  // Deeper than the limit the sub-record keeps its defaults; the container goes on after it.
  if (depth_ + 1 <= kMaxNestingDepth) record.decodeFields(fields, n, depth_ + 1, budget_);
  return true;
}

void Decoder::skip() {
  int32_t n = 0;
  const uint8_t* p;
  bool ok;
  switch (kind_) {
    case kIntegerKind:
      ok = takeBytes(4, p);
      break;
    case kCharacterKind:
    case kBooleanKind:
      ok = takeBytes(1, p);
      break;
    case kStringKind:
      ok = takeInt32(n) && takeBytes(n, p);
      break;
    case kRecordKind:
      ok = takeInt32(n) && takeInt32(n) && takeBytes(n, p);
      break;
    default:
      ok = false;
  }
  if (!ok) stop();
}

}  // namespace tq

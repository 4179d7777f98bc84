#include <string>

#include "platform/socket.h"
#include "records/basic_records.h"

namespace tq {

bool Address::isDottedQuad(const TqString& text) {
  return platform::parseDottedQuad(text.str()).has_value();
}

bool Address::parse(const TqString& text) {
  uint32_t bytes[4] = {0, 0, 0, 0};
  int groups = 0;
  bool in_group = false;
  for (char c : text.view()) {
    if (c >= '0' && c <= '9') {
      if (!in_group) {
        if (groups == 4) return false;
        in_group = true;
        ++groups;
      }
      bytes[groups - 1] = (bytes[groups - 1] * 10 + static_cast<uint32_t>(c - '0')) & 0xffffu;
    } else {
      in_group = false;
    }
  }
  if (groups == 0) return false;
  set(((bytes[0] & 0xff) << 24) | ((bytes[1] & 0xff) << 16) | ((bytes[2] & 0xff) << 8) |
      (bytes[3] & 0xff));
  return true;
}

TqString Address::toText() const {
  uint32_t v = get();
  std::string text = std::to_string(v >> 24) + "." + std::to_string((v >> 16) & 0xff) + "." +
                     std::to_string((v >> 8) & 0xff) + "." + std::to_string(v & 0xff);
  return TqString(text);
}

bool Address::resolve(const TqString& name) {
  std::optional<uint32_t> found = platform::resolveHostName(name.str());
  if (!found) {
    reset();
    return false;
  }
  set(*found);
  return true;
}

void Address::readField(Decoder& in) {
  Record<Address>::readField(in);
  if (in.consumed()) unset_ = false;
}

void Address::readNamedFields(const TextFrame& frame) {
  int32_t before = value;
  Record<Address>::readNamedFields(frame);
  if (value != before) unset_ = false;
}

}  // namespace tq

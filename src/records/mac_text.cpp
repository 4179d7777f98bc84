#include "records/mac_text.h"

#include <string_view>

namespace tq {
namespace {

int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

TqString formatMacAddress(const std::array<uint8_t, 6>& bytes) {
  TqString text;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (i > 0) text.append(':');
    text.appendHexByte(bytes[i]);
  }
  return text;
}

TqString normalizeMacAddressText(const TqString& text) {
  TqString out;
  bool any_nonzero = false;
  std::string_view rest = text.view();
  for (bool first = true;; first = false) {
    size_t colon = rest.find(':');
    int value = TqString(rest.substr(0, colon)).hexByte();
    if (value != 0) any_nonzero = true;
    if (!first) out.append(':');
    out.appendHexByte(static_cast<uint8_t>(value));
    if (colon == std::string_view::npos) break;
    rest.remove_prefix(colon + 1);
  }
  return any_nonzero ? out : TqString();
}

bool isValidMacAddressText(const TqString& text) {
  std::string_view rest = text.view();
  for (int part = 0; part < 6; ++part) {
    if (part > 0) {
      if (rest.empty() || rest[0] != ':') return false;
      rest.remove_prefix(1);
    }
    size_t digits = 0;
    int value = 0;
    while (digits < rest.size() && hexDigitValue(rest[digits]) >= 0) {
      value = value * 16 + hexDigitValue(rest[digits]);
      if (value > 255) return false;
      ++digits;
    }
    if (digits == 0) return false;
    rest.remove_prefix(digits);
  }
  return rest.empty();
}

}  // namespace tq

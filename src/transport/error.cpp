#include "transport/error.h"

#include <cstring>

namespace tq {

namespace {

bool usesVariable(const char* pattern, const char* name) {
  std::string plain = std::string("$") + name, bracketed = std::string("$(") + name + ")";
  return std::strstr(pattern, plain.c_str()) != nullptr ||
         std::strstr(pattern, bracketed.c_str()) != nullptr;
}

}  // namespace

TqString Error::text() const {
  const char* pattern = messageTemplate(code());
  TqString out = expandTemplate(pattern, *this);
  const TqString* reason = value(TqString("ERROR"));
  if (reason != nullptr && !reason->empty() && !usesVariable(pattern, "ERROR")) {
    // A code without a text of its own says no more than its reason.
    if (out == TqString(messageTemplate(kGeneralError)) && code() != kGeneralError) {
      out = *reason;
    } else {
      out.append(": ");
      out.append(*reason);
    }
  }
  const TqString* peer = value(TqString("PEER"));
  if (peer != nullptr && !peer->empty()) {
    out.append(" (");
    out.append(*peer);
    out.append(")");
  }
  return out;
}

Error& lastError() {
  static Error error;
  return error;
}

}  // namespace tq
